// SkinPreview.exe: its command line, and the program itself showing a framed window of its class
// in a style, in a skin, and in DeepBlue after a clear message about a skin that did not load.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/skin/reader/SkinTestFiles.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "tools/skinpreview/PreviewArgs.h"

namespace {

using preview::ParsePreviewArgs;

TEST(PreviewArgs, StylesSkinsAndPasswords) {
    EXPECT_EQ(ParsePreviewArgs({}).Style, TsuiUIStyle::DeepBlue);
    EXPECT_EQ(ParsePreviewArgs({L"--style", L"BlueGlass"}).Style, TsuiUIStyle::BlueGlass);
    EXPECT_EQ(ParsePreviewArgs({L"--style", L"winxp"}).Style, TsuiUIStyle::WinXP);
    auto skin = ParsePreviewArgs({L"--skin", L"C:\\skins\\a.ssk", L"--password", L"pw"});
    EXPECT_TRUE(skin.Error.empty());
    EXPECT_EQ(skin.Style, TsuiUIStyle::FromThemeFile);
    EXPECT_EQ(skin.SkinFile, L"C:\\skins\\a.ssk");
    EXPECT_EQ(skin.Password, L"pw");
    EXPECT_EQ(preview::StyleName(TsuiUIStyle::Protein), L"Protein");
}

TEST(PreviewArgs, RefusedCommandLinesSayWhatIsWrong) {
    EXPECT_EQ(ParsePreviewArgs({L"--style", L"Aqua"}).Error, L"Unknown style: Aqua");
    EXPECT_EQ(ParsePreviewArgs({L"--style"}).Error, L"--style needs a value");
    EXPECT_EQ(ParsePreviewArgs({L"--skin", L""}).Error, L"--skin needs a file name");
    EXPECT_EQ(ParsePreviewArgs({L"-x"}).Error, L"Unknown argument: -x");
    EXPECT_FALSE(ParsePreviewArgs({L"--style", L"MacOS", L"--skin", L"a.ssk"}).Error.empty());
    EXPECT_EQ(ParsePreviewArgs({L"--password", L"pw"}).Error, L"--password goes with --skin");
}

// A relative skin path is taken from the current folder: "." and ".." resolved, a path from the
// drive's root put on the current drive, an absolute path left alone.
TEST(PreviewArgs, RelativeSkinPathsStartAtTheCurrentFolder) {
    EXPECT_EQ(preview::ResolveSkinPath(L"My.ssk", L"C:\\work"), L"C:\\work\\My.ssk");
    EXPECT_EQ(preview::ResolveSkinPath(L"sub\\My.ssk", L"C:\\work"), L"C:\\work\\sub\\My.ssk");
    EXPECT_EQ(preview::ResolveSkinPath(L"..\\skins\\.\\My.ssk", L"C:\\work\\tools"), L"C:\\work\\skins\\My.ssk");
    EXPECT_EQ(preview::ResolveSkinPath(L"\\skins\\My.ssk", L"C:\\work"), L"C:\\skins\\My.ssk");
    EXPECT_EQ(preview::ResolveSkinPath(L"D:\\skins\\My.ssk", L"C:\\work"), L"D:\\skins\\My.ssk");
    EXPECT_EQ(preview::ResolveSkinPath(L"My.ssk", L""), L"My.ssk");
}

// The built program, started with arguments (in the given current folder, else the test's own);
// ended at the end of the test.
class PreviewProcess {
public:
    explicit PreviewProcess(const std::wstring& args, const std::wstring& folder = L"") {
        std::wstring cmd = L"\"" + qdtest::WindowsPath(QD_PREVIEW_FILE) + L"\" " + args;
        STARTUPINFOW si{sizeof(si)};
        started_ = CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                  folder.empty() ? nullptr : folder.c_str(), &si, &info_);
    }
    ~PreviewProcess() {
        if (!started_) return;
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 1);
        WaitForSingleObject(info_.hProcess, 5000);
        const tk::ScopedKernelHandle process(info_.hProcess), thread(info_.hThread);  // closed here
    }
    bool Started() const { return started_; }
    // A visible top-level window of the process with that class.
    HWND Window(const wchar_t* cls, int ms = 20000) {
        Search s{info_.dwProcessId, cls, nullptr};
        qdtest::PumpUntil(
            [&] {
                EnumWindows(&PreviewProcess::Match, reinterpret_cast<LPARAM>(&s));
                return s.found != nullptr;
            },
            ms);
        return s.found;
    }
    DWORD ExitCode(int ms) {
        if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(ms)) != WAIT_OBJECT_0) return STILL_ACTIVE;
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    struct Search {
        DWORD pid;
        const wchar_t* cls;
        HWND found;
    };
    static BOOL CALLBACK Match(HWND w, LPARAM p) {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        wchar_t name[64] = {};
        GetClassNameW(w, name, 64);
        if (pid == s->pid && IsWindowVisible(w) && std::wstring(name) == s->cls) {
            s->found = w;
            return FALSE;
        }
        return TRUE;
    }
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

std::wstring BoxText(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

constexpr UINT kFrameInsetQuery = 9923;

TEST(SkinPreviewProgram, AStyleOpensAFramedWindowOfThePreviewClass) {
    PreviewProcess p(L"--style BlueGlass");
    ASSERT_TRUE(p.Started());
    HWND w = p.Window(L"QuiverdirSkinPreview");
    ASSERT_TRUE(w);
    EXPECT_EQ(GetWindowLongW(w, GWL_STYLE) & WS_CAPTION, 0);
    DWORD_PTR inset = 0;
    ASSERT_TRUE(SendMessageTimeoutW(w, kFrameInsetQuery, 0, 0, SMTO_ABORTIFHUNG, 5000, &inset));
    EXPECT_GT(inset, 0u);
    wchar_t caption[128] = {};
    GetWindowTextW(w, caption, 128);
    EXPECT_STREQ(caption, L"Skin Preview - BlueGlass");
    // A right click in the window pops the skinned popup menu up.
    RECT r;
    GetWindowRect(w, &r);
    SetForegroundWindow(w);
    SetCursorPos((r.left + r.right) / 2, r.bottom - 40);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(2, click, sizeof(INPUT));
    HWND menu = p.Window(L"#32768", 5000);
    EXPECT_TRUE(menu) << "no popup menu";
    if (menu) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(200);
    PostMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.ExitCode(10000), 0u);
}

TEST(SkinPreviewProgram, ASkinFileThatDoesNotLoadIsReportedAndDeepBlueShows) {
    qdtest::TempDir dir;
    qdtest::WriteFile(dir / "locked.ssk", qdtest::SkinArchive(qdtest::SmallSkinRecords(), "secret"));
    PreviewProcess p(L"--skin \"" + (dir / "locked.ssk").wstring() + L"\" --password wrong");
    HWND box = p.Window(L"#32770");
    ASSERT_TRUE(box);
    const std::wstring text = BoxText(box);
    EXPECT_NE(text.find(L"locked.ssk"), std::wstring::npos);
    EXPECT_NE(text.find(L"DeepBlue"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    HWND w = p.Window(L"QuiverdirSkinPreview");
    ASSERT_TRUE(w);
    DWORD_PTR inset = 0;
    ASSERT_TRUE(SendMessageTimeoutW(w, kFrameInsetQuery, 0, 0, SMTO_ABORTIFHUNG, 5000, &inset));
    PostMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.ExitCode(10000), 0u);
}

// A skin author names the skin relative to where they stand: it loads from there (its 7-pixel
// left border sets the frame's inset) and the title names the file with its full path.
TEST(SkinPreviewProgram, ARelativeSkinPathIsTakenFromTheCurrentFolder) {
    qdtest::TempDir dir;
    std::filesystem::create_directories(dir / "skins");
    qdtest::WriteFile(dir / "skins" / "Mine.ssk",
                      qdtest::SkinArchive({skin::SkinRecordInput::Bitmap(
                          "SKIN2_FORMLEFTBORDER", tk::EncodeBmp24(qdtest::GradientImage(7, 20, 1)))}));
    PreviewProcess p(L"--skin skins\\Mine.ssk", dir.Path().wstring());
    ASSERT_TRUE(p.Started());
    HWND w = p.Window(L"QuiverdirSkinPreview");
    ASSERT_TRUE(w) << "the preview window did not appear (a message box about the skin?)";
    DWORD_PTR inset = 0;
    ASSERT_TRUE(SendMessageTimeoutW(w, kFrameInsetQuery, 0, 0, SMTO_ABORTIFHUNG, 5000, &inset));
    EXPECT_EQ(inset, 7u);
    wchar_t caption[512] = {};
    GetWindowTextW(w, caption, 512);
    EXPECT_EQ(std::wstring(caption), L"Skin Preview - " + (dir / "skins" / "Mine.ssk").wstring());
    PostMessageW(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.ExitCode(10000), 0u);
}

TEST(SkinPreviewProgram, ABadCommandLineShowsTheUsageAndEndsWithTwo) {
    PreviewProcess p(L"--style Aqua");
    HWND box = p.Window(L"#32770");
    ASSERT_TRUE(box);
    EXPECT_NE(BoxText(box).find(L"Usage: SkinPreview.exe"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(p.ExitCode(10000), 2u);
}

}  // namespace
