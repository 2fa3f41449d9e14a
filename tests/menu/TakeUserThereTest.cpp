// Taking the user to a folder with something other than a well-behaved file dialog in front:
// nothing in particular (a new Explorer window, with the verb of the option), a dialog whose field
// cannot hold the path, a dialog that does not answer, and Explorer.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "app/Global.h"
#include "menu/FileDialogSwitch.h"
#include "menu/NavigationRules.h"
#include "menu/OtherProcess.h"
#include "menu/TakeUserThere.h"
#include "tests/menu/OtherProgram.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Scoped.h"

namespace {

namespace fs = std::filesystem;

struct WindowDestroyer {
    void operator()(HWND window) const { DestroyWindow(window); }
};

class TakeUserThereTest : public testing::Test {
protected:
    void SetUp() override { tk::Application().Initialize(); }

    qd::ShellFolderRunner Recorder() { return qdtest::RecordInto(calls); }
    static std::wstring Text(HWND window) {
        std::wstring text = L"<no answer>";
        qd::menu::ForeignText(window, text);
        return text;
    }

    qdtest::TempDir dir;
    std::vector<qdtest::ShellCall> calls;
};

TEST_F(TakeUserThereTest, AnythingElseInFrontGetsANewExplorerWindowWithTheVerbOfTheOption) {
    const std::wstring folder = dir.Path().wstring();
    const tk::ScopedHandleOf<HWND, WindowDestroyer> plain(
        CreateWindowExW(0, L"Static", L"a program", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr));
    // A box of the dialog class without a file name field.
    const tk::ScopedHandleOf<HWND, WindowDestroyer> box(
        CreateWindowExW(0, L"#32770", L"a message", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr));
    const HWND fronts[] = {nullptr, GetDesktopWindow(), plain.get(), box.get()};
    for (const HWND front : fronts) {
        for (const bool explore : {false, true}) {
            calls.clear();
            qd::menu::TakeUserThere(front, folder, explore, Recorder());
            EXPECT_EQ(calls, (std::vector<qdtest::ShellCall>{{explore ? L"explore" : L"open", folder}}));
        }
        std::wstring shown;
        EXPECT_FALSE(qd::menu::FolderOfWindow(front, shown));
    }
}

// A folder that is not there, and one on a computer that does not answer, are never handed to the
// shell; the message says which it is. (Under Wine a network path fails at once; on Windows the
// wait for it ends at the limit.)
TEST_F(TakeUserThereTest, AFolderNotThereOrNotAnsweringIsNamedAndNeverHandedToTheShell) {
    const struct {
        std::wstring folder;
        const wchar_t* says;
    } cases[] = {
        {(dir.Path() / L"gone").wstring(), qd::kNotAnExistingFolder},
        {L"\\\\10.255.255.1\\share\\docs", qd::kFolderNotAnswering},
    };
    for (const auto& c : cases) {
        calls.clear();
        qdtest::MessageBoxAnswerer ok(IDOK);
        qd::menu::TakeUserThere(nullptr, c.folder, false, Recorder());
        EXPECT_TRUE(ok.Answered());
        EXPECT_EQ(ok.Text(), c.folder + L"\r\n" + c.says);
        EXPECT_TRUE(calls.empty());
    }
}

// A window of the dialog class with a file name field, a folder list, a list of files and OK, on a
// thread of its own: it either answers like a dialog (counting the presses of OK, which it never acts on) or,
// like a program that hangs, answers nothing until it is let go.
class FakeDialog {
public:
    enum class Mode { Answers, Hangs };
    explicit FakeDialog(Mode mode) : mode_(mode), release_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
        thread_ = std::thread([this] { Run(); });
        qdtest::PumpUntil([&] { return ready_.load(); });
    }
    ~FakeDialog() {
        stop_ = true;
        SetEvent(release_.get());
        thread_.join();
    }
    HWND Window() const { return window_; }
    HWND Field() const { return field_; }
    int OkPresses() const { return presses_; }

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<FakeDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
            ++self->presses_;
            return 0;
        }
        return CallWindowProcW(self->dialogProc_, window, message, wParam, lParam);
    }
    static WNDPROC editProc_;
    static LRESULT CALLBACK AnsiFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        return CallWindowProcA(editProc_, window, message, wParam, lParam);
    }
    void Run() {
        window_ = CreateWindowExW(0, L"#32770", L"Fake file dialog", WS_POPUP | WS_CAPTION, 0, 0, 300, 200, nullptr,
                                  nullptr, nullptr, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        dialogProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FakeDialog::Proc)));
        // An ANSI field, as the dialogs of ANSI programs have on Windows: with a window procedure of
        // the ANSI kind, the text reaches it in the ANSI code page, and it holds only what that can.
        field_ = CreateWindowExA(0, "Edit", "keep", WS_CHILD | WS_VISIBLE, 10, 10, 200, 20, window_,
                                 reinterpret_cast<HMENU>(qd::menu::kFileNameEdit), nullptr, nullptr);
        editProc_ = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(field_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&FakeDialog::AnsiFieldProc)));
        CreateWindowExW(0, L"ComboBox", L"", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, 10, 40, 200, 100, window_,
                        reinterpret_cast<HMENU>(qd::menu::kLookInList), nullptr, nullptr);
        // The list of files of the older dialogs.
        CreateWindowExW(0, L"ListBox", L"", WS_CHILD | WS_VISIBLE, 10, 100, 200, 60, window_,
                        reinterpret_cast<HMENU>(qd::menu::kOldFileList), nullptr, nullptr);
        CreateWindowExW(0, L"Button", L"OK", WS_CHILD | WS_VISIBLE, 10, 70, 80, 24, window_,
                        reinterpret_cast<HMENU>(IDOK), nullptr, nullptr);
        ready_ = true;
        if (mode_ == Mode::Hangs) WaitForSingleObject(release_.get(), INFINITE);
        while (!stop_) {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        DestroyWindow(window_);
    }

    Mode mode_;
    tk::ScopedKernelHandle release_;
    std::atomic<bool> ready_{false}, stop_{false};
    std::atomic<int> presses_{0};
    HWND window_ = nullptr, field_ = nullptr;
    WNDPROC dialogProc_ = nullptr;
    std::thread thread_;
};

WNDPROC FakeDialog::editProc_ = nullptr;

TEST_F(TakeUserThereTest, OkIsPressedOnlyWhenTheFieldHoldsThePathExactly) {
    FakeDialog dialog(FakeDialog::Mode::Answers);
    ASSERT_EQ(qd::menu::KindOf(qd::menu::FactsOf(dialog.Window())), qd::menu::FrontKind::FileDialog);
    // Thai is not in the ANSI code page of these systems: the field would hold '?' for it, a
    // wildcard, and OK would make a filter of the text.
    const fs::path thai = dir / L"ก目录";
    fs::create_directories(thai);
    EXPECT_FALSE(qd::menu::SwitchFileDialog(dialog.Window(), thai.wstring()));
    EXPECT_EQ(dialog.OkPresses(), 0);
    EXPECT_EQ(Text(dialog.Field()), L"keep");
    qd::menu::TakeUserThere(dialog.Window(), thai.wstring(), false, Recorder());
    EXPECT_EQ(dialog.OkPresses(), 0);
    EXPECT_EQ(calls, (std::vector<qdtest::ShellCall>{{L"open", thai.wstring()}}));

    // A path the field can hold is pressed, and the name goes back in.
    const fs::path plain = dir / "plain";
    fs::create_directories(plain);
    EXPECT_TRUE(qd::menu::SwitchFileDialog(dialog.Window(), plain.wstring()));
    EXPECT_EQ(dialog.OkPresses(), 1);
    EXPECT_EQ(Text(dialog.Field()), L"keep");
}

TEST_F(TakeUserThereTest, ARelativeRowReachesNeitherTheDialogNorTheShell) {
    // "docs" names a folder in the menu's current folder, not the one it was stored for.
    fs::create_directories(dir / "docs");
    wchar_t before[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().wstring().c_str()));
    const tk::OnScopeExit back([&] { SetCurrentDirectoryW(before); });
    FakeDialog dialog(FakeDialog::Mode::Answers);
    qdtest::MessageBoxAnswerer box(IDOK);
    qd::menu::TakeUserThere(dialog.Window(), L"docs", false, Recorder());
    EXPECT_TRUE(box.Answered());
    EXPECT_EQ(box.Text(), L"docs\r\n" + std::wstring(qd::kRelativePathNotOpened));
    EXPECT_EQ(dialog.OkPresses(), 0);
    EXPECT_EQ(Text(dialog.Field()), L"keep");
    EXPECT_TRUE(calls.empty());
}

TEST_F(TakeUserThereTest, ADialogThatDoesNotAnswerHoldsNothingUp) {
    FakeDialog dialog(FakeDialog::Mode::Hangs);
    const auto began = std::chrono::steady_clock::now();
    qd::menu::TakeUserThere(dialog.Window(), dir.Path().wstring(), true, Recorder());
    std::wstring shown;
    EXPECT_FALSE(qd::menu::FolderOfWindow(dialog.Window(), shown));
    const auto took = std::chrono::steady_clock::now() - began;
    EXPECT_LT(took, std::chrono::milliseconds(3 * qd::menu::kAnswerTimeoutMs));
    // Taken there all the same, in a new Explorer window.
    EXPECT_EQ(calls, (std::vector<qdtest::ShellCall>{{L"explore", dir.Path().wstring()}}));
}

TEST_F(TakeUserThereTest, AnExplorerWindowTellsItsFolderAndShowsTheNewOneOrANewWindowOpens) {
    const fs::path first = dir / "First", second = dir / "第二";
    fs::create_directories(first);
    fs::create_directories(second);
    qdtest::OtherProgram explorer(L"explorer.exe \"" + first.wstring() + L"\"");
    HWND window = explorer.WaitForWindow([](HWND w) { return qd::menu::IsExplorerClass(qdtest::ClassOf(w)); });
    ASSERT_TRUE(window);
    const tk::OnScopeExit close([&] { PostMessageW(window, WM_CLOSE, 0, 0); });
    std::wstring shown;
    ASSERT_TRUE(qdtest::PumpUntil([&] { return qd::menu::FolderOfWindow(window, shown); }));
    EXPECT_TRUE(qd::menu::SameFolder(shown, first.wstring())) << shown;

    qd::menu::TakeUserThere(window, second.wstring(), true, Recorder());

    // Where the shell offers its windows, this one shows the folder; Wine's does not offer them,
    // and a new Explorer window opens instead.
    if (calls.empty()) {
        EXPECT_TRUE(qdtest::PumpUntil(
            [&] { return qd::menu::FolderOfWindow(window, shown) && qd::menu::SameFolder(shown, second.wstring()); }))
            << shown;
    } else {
        EXPECT_EQ(calls, (std::vector<qdtest::ShellCall>{{L"explore", second.wstring()}}));
    }
}

}  // namespace
