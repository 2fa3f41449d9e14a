// The find box as a person uses it, with the real keys, on 10,000 rows: Ctrl+F opens it over the
// list, typing chooses the first row whose alias or path holds the text, Enter and F3 go on,
// Shift+F3 goes back, a text no row holds keeps the row and turns the box pink, Esc closes it and
// keeps the row. The time each keystroke takes is measured and reported, not asserted (the search
// alone: bench_find). Saves a look at the window with the box open (realinput::SaveScreenshot).
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "app/FindBox.h"
#include "tests/app/FolderCheckSupport.h"
#include "tests/support/RealInput.h"

namespace {

using Clock = std::chrono::steady_clock;

class FindBoxTest : public testing::Test, public foldertest::MainWindowWithRows {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        realinput::MouseAway();
    }
    void ClickRow(int row) {
        RECT r{LVIR_BOUNDS};
        SendMessageW(form->lvMain->Handle(), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        realinput::Click(form->lvMain->Handle(), r.left + 30, (r.top + r.bottom) / 2);
        realinput::Settle(100);
    }
    void Chord(WORD modifier, WORD vk) {
        realinput::KeyDown(modifier);
        realinput::Key(vk);
        realinput::KeyUp(modifier);
        realinput::Settle(100);
    }
    // Capital letters type small ones: they are the keys' codes.
    void Type(const char* letters) {
        for (const char* c = letters; *c; ++c) realinput::Key(static_cast<WORD>(*c));
        realinput::Settle(100);
    }
    void Press(WORD vk, int times = 1) {
        while (times-- > 0) realinput::Key(vk);
        realinput::Settle(100);
    }
    qd::TFindBox& Box() { return *form->FindBox(); }
    int Chosen() { return form->lvMain->ItemIndex(); }
};

TEST_F(FindBoxTest, TypingChoosesTheFirstRowHoldingTheTextAndTheKeysGoOnAndBack) {
    foldertest::Rows rows{{L"Music", L"D:\\Media\\Music"}, {L"项目文档", L"D:\\资料\\项目"},
                          {L"Photos", L"E:\\Pictures\\Holiday"}, {L"Work", L"\\\\server\\docs"},
                          {L"Docs", L"C:\\Users\\Me\\Documents"}, {L"Holiday 2", L"F:\\Trips"}};
    for (int i = static_cast<int>(rows.size()); i < 10000; ++i)
        rows.emplace_back(L"项目 " + std::to_wstring(i), L"D:\\资料\\Folder " + std::to_wstring(i) + L"\\Sub");
    rows.back().second += L"\\Zielordner";
    Start(rows, true);
    SetWindowPos(form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(form->Handle());
    realinput::Settle(150);
    // The box's own work for each keystroke: the search and choosing the row.
    std::vector<double> keystrokeMs;
    const tk::TNotifyEvent search = Box().OnChange;
    Box().OnChange = [&](tk::TComponent* sender) {
        const auto t0 = Clock::now();
        search(sender);
        keystrokeMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
    };

    ClickRow(0);
    Chord(VK_CONTROL, 'F');
    ASSERT_TRUE(Box().IsOpen());
    ASSERT_EQ(GetFocus(), Box().Handle());
    struct Step {
        const char* what;
        std::function<void()> keys;
        int chosen;
        bool found;
    } steps[] = {
        {"type HOL", [&] { Type("HOL"); }, 2, true},  // in a path, typed in another case
        {"F3", [&] { Press(VK_F3); }, 5, true},      // in an alias
        {"Enter", [&] { Press(VK_RETURN); }, 2, true},   // round past the end of the list
        {"Shift+F3", [&] { Chord(VK_SHIFT, VK_F3); }, 5, true},
        {"Shift+F3 again", [&] { Chord(VK_SHIFT, VK_F3); }, 2, true},
        {"type X", [&] { Type("X"); }, 2, false},     // "holx": no row has it; the row stays
        {"Backspace", [&] { Press(VK_BACK); }, 2, true},
        {"Shift+Enter", [&] { Chord(VK_SHIFT, VK_RETURN); }, 5, true},
        {"type HOL afresh", [&] { Press(VK_BACK, 3); Type("HOL"); }, 2, true},  // from the top, not the chosen row
        {"type MUSIC", [&] { Press(VK_BACK, 3); Type("MUSIC"); }, 0, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.what);
        s.keys();
        EXPECT_EQ(Chosen(), s.chosen);
        EXPECT_EQ(form->SelIndex(), s.chosen);
        EXPECT_EQ(Box().Found(), s.found);
        EXPECT_EQ(Box().Color(), s.found ? tk::clWhite : qd::TFindBox::kNotFoundColor);
        EXPECT_EQ(GetFocus(), Box().Handle()) << "the box keeps the keys";
    }
    realinput::SaveScreenshot(form->Handle(), "find-box");

    // Esc closes the box; the row stays chosen and the list has the keys again.
    Press(VK_ESCAPE);
    EXPECT_FALSE(Box().IsOpen());
    EXPECT_EQ(GetFocus(), form->lvMain->Handle());
    EXPECT_EQ(Chosen(), 0);
    ASSERT_TRUE(form->Visible());
    // F3 with the box closed goes on with the text last typed.
    ClickRow(3);
    Press(VK_F3);
    EXPECT_EQ(Chosen(), 0);
    EXPECT_FALSE(Box().IsOpen());

    // Ctrl+F again: the text is chosen, so typing replaces it. A text only the last row holds
    // makes every keystroke look at every row.
    Chord(VK_CONTROL, 'F');
    keystrokeMs.clear();
    Type("ZIELORDNER");
    EXPECT_EQ(Box().Text(), L"zielordner");
    EXPECT_EQ(Chosen(), 9999);
    std::string each;
    for (double ms : keystrokeMs) each += " " + std::to_string(ms).substr(0, 5);
    // The first of them also scrolls the list from its top to its end.
    std::printf("find on 10000 rows, the box's work per keystroke (ms):%s\n", each.c_str());
    RecordProperty("find_keystroke_ms", each);
}

}  // namespace
