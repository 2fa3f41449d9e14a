#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/win/Application.h"

namespace {

TEST(DefaultErrorBox, ShowsTheMessageOfAnEscapedException) {
    tk::Application().SetTitle(L"Path Warden");
    qdtest::MessageBoxAnswerer answer(IDOK);
    tk::Application().HandleException(std::make_exception_ptr(tk::ERegistryException(L"Invalid data type for 'N1'")));
    EXPECT_TRUE(answer.Answered());
    EXPECT_EQ(answer.Text(), L"Invalid data type for 'N1'");
}

TEST(DefaultErrorBox, IsCaptionedWithTheTitleOrBeforeThereIsOneWithTheProgramsName) {
    std::vector<std::wstring> captions;
    for (const wchar_t* title : {L"", L"Path Warden"}) {
        tk::Application().SetTitle(title);
        qdtest::UiScript answer(nullptr, [&](DWORD ui) {
            HWND box = qdtest::WaitForSystemDialog(ui);
            if (!box) return;
            captions.push_back(qdtest::WindowText(box));
            qdtest::PressDialogButton(box, IDOK);
        });
        tk::Application().HandleException(std::make_exception_ptr(tk::ERegistryException(L"Invalid data type for 'N0'")));
    }
    EXPECT_EQ(captions, (std::vector<std::wstring>{L"toolkit_win_tests", L"Path Warden"}));
}

}  // namespace
