// A flat control whose painting fails: the paint context, the off-screen picture and the objects
// drawn with are all given back, and the error shows in one box once the paint has returned.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "flat/FlatButton.h"
#include "flat/FlatCheckBox.h"
#include "tests/support/ResourceLedger.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Form.h"

namespace {

struct Painter {
    const char* name;
    std::function<tk::TWinControl*(tk::TForm&)> make;
};

TEST(FlatPaintFault, EachControlGivesEverythingBackAndShowsOneBox) {
    const Painter painters[] = {
        {"flat button", [](tk::TForm& f) -> tk::TWinControl* { return new TFlatButton(&f); }},
        {"flat speed button", [](tk::TForm& f) -> tk::TWinControl* { return new TFlatSpeedButton(&f); }},
        {"flat check box", [](tk::TForm& f) -> tk::TWinControl* { return new TFlatCheckBox(&f); }},
    };
    tk::Application().Initialize();
    for (const Painter& p : painters) {
        SCOPED_TRACE(p.name);
        tk::TForm form(nullptr);
        form.SetClientSize(160, 80);
        tk::TWinControl* control = p.make(form);
        control->SetParent(&form);
        control->SetBounds(10, 10, 90, 25);
        control->SetCaption(L"Caption");
        form.Show();
        qdtest::PumpIdle();

        // A text of its own for each control: the same error would be shown once only.
        const std::wstring message = L"Painting failed: " + std::wstring(p.name, p.name + std::strlen(p.name));
        qdtest::ResourceLedger ledger;
        qdtest::MessageBoxCounter boxes;
        {
            qdtest::PaintFault fault(1, message);
            // Without erasing: the failure comes inside the paint itself.
            InvalidateRect(control->Handle(), nullptr, FALSE);
            UpdateWindow(control->Handle());
            ASSERT_EQ(fault.Thrown(), 1);
            EXPECT_EQ(boxes.Shown(), 0) << "a box opened inside the paint";
            EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
            ASSERT_TRUE(qdtest::PumpUntil(
                [&] { return boxes.Shown() == 1 && tk::Application().DeferredErrorCount() == 0; }));
        }
        qdtest::PumpIdle();
        EXPECT_EQ(boxes.Shown(), 1);
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{message});
        EXPECT_EQ(ledger.Held(), 0) << ledger.HeldText();
    }
}

}  // namespace
