// Taking the common Open and Save dialogs of another program to a folder: a small program shows a
// real dialog, the file name is typed into it with real keys, and the dialog is driven from here
// as the folder menu drives it. The dialog must list the folder's files, keep the typed name, stay
// open, and in the end return "cancelled" with nothing chosen.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Global.h"
#include "menu/FileDialogSwitch.h"
#include "menu/OtherProcess.h"
#include "menu/TakeUserThere.h"
#include "tests/menu/OtherProgram.h"
#include "tests/support/RealInput.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Scoped.h"

namespace {

namespace fs = std::filesystem;
using qd::menu::FileNameField;
using qd::menu::ForeignText;

// A file dialog of the program.
bool IsFileDialog(HWND window) { return qdtest::ClassOf(window) == L"#32770" && FileNameField(window); }

// The test program with its one dialog. Cancel is pressed at the end of the scope, should a test
// have stopped before.
class DialogHost {
public:
    DialogHost(const std::wstring& mode, const fs::path& folder, fs::path resultFile)
        : resultFile_(std::move(resultFile)),
          program_(L"\"" + qdtest::WindowsPath(QD_FILE_DIALOG_HOST) + L"\" " + mode + L" \"" + folder.wstring() +
                   L"\" \"" + resultFile_.wstring() + L"\""),
          dialog_(program_.WaitForWindow(IsFileDialog)) {}
    ~DialogHost() {
        if (program_.Running() && IsWindow(dialog_)) qdtest::PressDialogButton(dialog_, IDCANCEL);
    }

    HWND Dialog() const { return dialog_; }
    HANDLE Process() const { return program_.Handle(); }
    bool Running() const { return program_.Running(); }
    // Presses Cancel and waits for the program to end: its exit code (-1: it did not end) and what
    // it wrote ("cancel", "chosen" or "error" and a detail).
    int Cancel(std::string& result) {
        if (Running()) qdtest::PressDialogButton(dialog_, IDCANCEL);
        const int code = program_.WaitForEnd();
        std::ifstream in(resultFile_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        result = text.str();
        return code;
    }

private:
    fs::path resultFile_;
    qdtest::OtherProgram program_;
    HWND dialog_;
};

std::wstring FieldText(HWND dialog) {
    std::wstring text = L"<no answer>";
    ForeignText(FileNameField(dialog), text);
    return text;
}

// The names the dialog's file list shows, sorted (the program is a 32-bit one, as this is, so the
// list's item structure is laid out alike).
std::vector<std::wstring> ListedNames(HWND dialog) {
    std::vector<std::wstring> names;
    HWND list = qdtest::FindDescendant(dialog, L"SysListView32");
    LRESULT count = 0;
    if (!list || !qd::menu::SendWithin(list, LVM_GETITEMCOUNT, 0, 0, count)) return names;
    const qd::menu::RemoteProcess process(list);
    constexpr int kChars = 520;
    qd::menu::RemoteBuffer buffer(process, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    for (int i = 0; i < count && buffer.Valid(); ++i) {
        LVITEMW item{};
        item.pszText = reinterpret_cast<LPWSTR>(buffer.Address() + sizeof(LVITEMW));
        item.cchTextMax = kChars;
        LRESULT length = 0;
        std::wstring text(kChars, L'\0');
        if (!buffer.Write(0, &item, sizeof item) ||
            !buffer.Send(list, LVM_GETITEMTEXTW, i, length) ||
            !buffer.Read(sizeof(LVITEMW), text.data(), kChars * sizeof(wchar_t)))
            break;
        text.resize(std::wcslen(text.c_str()));
        names.push_back(text);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::wstring> NamesIn(const fs::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

class FileDialogSwitchTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        start = dir / "start";
        fs::create_directories(start);
        std::ofstream(start / "start-only.txt") << "start";
    }
    void TearDown() override { realinput::MouseAway(); }

    // A folder with a few files and a folder in it.
    fs::path MakeTarget(const std::wstring& name) {
        const fs::path target = dir / name;
        fs::create_directories(target / "sub");
        std::ofstream(target / "alpha.txt") << "a";
        std::ofstream(target / "beta.doc") << "b";
        return target;
    }
    // Types the text into the dialog's file name field with real keys, as a person would: the
    // dialog comes to the front, the field is clicked, the keys go through the input queue.
    static void TypeName(HWND dialog, const std::string& text) {
        HWND field = FileNameField(dialog);
        SetForegroundWindow(dialog);
        realinput::Click(field, 8, 8);
        for (const char c : text) {
            if (c >= 'a' && c <= 'z') realinput::Key(static_cast<WORD>('A' + (c - 'a')));
            else if (c == '.') realinput::Key(VK_OEM_PERIOD);
            else realinput::Key(static_cast<WORD>(c));
        }
        const std::wstring typed = tk::FromUtf8(text);
        EXPECT_TRUE(qdtest::PumpUntil([&] { return FieldText(dialog) == typed; })) << FieldText(dialog);
    }
    static std::wstring Shown(HWND dialog) {
        std::wstring folder = L"<not read>";
        qd::menu::FolderOfWindow(dialog, folder);
        return folder;
    }
    qd::ShellFolderRunner Recorder() { return qdtest::RecordInto(calls); }

    qdtest::TempDir dir;
    fs::path start;
    std::vector<qdtest::ShellCall> calls;
};

TEST_F(FileDialogSwitchTest, EachKindOfDialogListsTheFolderKeepsTheTypedNameAndStaysOpen) {
    struct Kind {
        const wchar_t* mode;
        const char* typed;
        const wchar_t* target;
        bool reportsFolder;  // answers CDM_GETFOLDERPATH (Wine's newer dialog does not)
    };
    const Kind kinds[] = {
        {L"open", "notes", L"Target", true},
        {L"save", "report.txt", L"目标文件夹", true},
        {L"ansi-open", "notes", L"中文目录", true},
        {L"newer-open", "report.txt", L"Newer target", false},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(tk::ToUtf8(kind.mode));
        const fs::path target = MakeTarget(kind.target);
        DialogHost host(kind.mode, start, dir / "result.txt");
        HWND dialog = host.Dialog();
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(qdtest::PumpUntil([&] { return ListedNames(dialog) == NamesIn(start); }));
        if (kind.reportsFolder) {
            EXPECT_TRUE(qd::menu::SameFolder(Shown(dialog), start.wstring())) << Shown(dialog);
        }
        TypeName(dialog, kind.typed);
        if (std::wstring(kind.mode) == L"open") realinput::SaveScreenshot(dialog, "open-dialog-before");
        {
            // The menu has the front while it is up; the dialog gets it back.
            realinput::TestForm menu;
            menu.ShowUp();
            ASSERT_EQ(GetForegroundWindow(), menu.Handle());
            qd::menu::TakeUserThere(dialog, target.wstring(), false, Recorder());
            EXPECT_TRUE(qdtest::PumpUntil([&] { return GetForegroundWindow() == dialog; }));
        }

        EXPECT_TRUE(calls.empty());
        EXPECT_TRUE(qdtest::PumpUntil([&] { return ListedNames(dialog) == NamesIn(target); }));
        std::wstring shown;
        if (kind.reportsFolder || qd::menu::FolderOfWindow(dialog, shown)) {
            EXPECT_TRUE(qd::menu::SameFolder(Shown(dialog), target.wstring())) << Shown(dialog);
        }
        EXPECT_EQ(FieldText(dialog), tk::FromUtf8(kind.typed));
        EXPECT_TRUE(host.Running() && IsWindowVisible(dialog));
        if (std::wstring(kind.mode) == L"open") realinput::SaveScreenshot(dialog, "open-dialog-after");

        std::string result;
        EXPECT_EQ(host.Cancel(result), 0);
        EXPECT_EQ(result.substr(0, 7), "cancel\n");
    }
}

TEST_F(FileDialogSwitchTest, APathThatIsNotAnExistingFolderNeverReachesTheDialog) {
    const fs::path target = MakeTarget(L"Target");
    const fs::path marker = dir / "ran.txt";
    std::ofstream(target / "tool.exe") << "MZ";
    std::ofstream(target / "run-me.bat") << "echo ran > \"" << marker.string() << "\"\r\n";
    DialogHost host(L"save", start, dir / "result.txt");
    HWND dialog = host.Dialog();
    ASSERT_TRUE(dialog);
    TypeName(dialog, "keep.txt");
    const std::wstring refused[] = {
        (target / "alpha.txt").wstring(), (target / "tool.exe").wstring(), (target / "run-me.bat").wstring(),
        (target / "gone").wstring(),      (target / "gone\\").wstring(),   L"",
    };
    for (const std::wstring& path : refused) {
        qdtest::MessageBoxAnswerer box(IDOK);
        qd::menu::TakeUserThere(dialog, path, false, Recorder());
        EXPECT_TRUE(box.Answered()) << path;
        EXPECT_EQ(box.Text(), path + L"\r\n" + qd::kNotAnExistingFolder);
        EXPECT_EQ(FieldText(dialog), L"keep.txt") << path;
        EXPECT_TRUE(qd::menu::SameFolder(Shown(dialog), start.wstring())) << path;
        ASSERT_TRUE(host.Running()) << path;
    }
    EXPECT_TRUE(calls.empty());
    std::string result;
    EXPECT_EQ(host.Cancel(result), 0);
    EXPECT_EQ(result.substr(0, 7), "cancel\n");
    EXPECT_FALSE(fs::exists(marker));
    EXPECT_FALSE(fs::exists(start / "keep.txt"));
}

TEST_F(FileDialogSwitchTest, ARelativeFolderIsNeverTypedIntoADialog) {
    // The folder exists beside this program, not beside the folder the dialog shows: typed there,
    // a Save dialog would take it for a file name.
    const std::wstring name = qdtest::UniqueName(L"relative");
    fs::create_directories(dir / name);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(dir.Path().c_str()));
    const tk::OnScopeExit back([&] { SetCurrentDirectoryW(previous); });
    DialogHost host(L"save", start, dir / "result.txt");
    HWND dialog = host.Dialog();
    ASSERT_TRUE(dialog);
    TypeName(dialog, "keep.txt");

    // Nor is it handed to the shell, which would read it against this program's folder too.
    {
        qdtest::MessageBoxAnswerer box(IDOK);
        qd::menu::TakeUserThere(dialog, name, true, Recorder());
        EXPECT_TRUE(box.Answered());
        EXPECT_EQ(box.Text(), name + L"\r\n" + qd::kRelativePathNotOpened);
    }
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(FieldText(dialog), L"keep.txt");
    EXPECT_TRUE(qd::menu::SameFolder(Shown(dialog), start.wstring())) << Shown(dialog);
    std::string result;
    EXPECT_EQ(host.Cancel(result), 0);
    EXPECT_EQ(result.substr(0, 7), "cancel\n");
}

TEST_F(FileDialogSwitchTest, TheOpenDialogOfASixtyFourBitProgramIsReadAndTakenThereToo) {
    // This program is a 32-bit one; most programs on the systems it runs on are 64-bit ones.
    wchar_t windows[MAX_PATH] = {};
    GetWindowsDirectoryW(windows, MAX_PATH);
    const fs::path notepad = fs::path(windows) / "sysnative" / "notepad.exe";
    if (!fs::exists(notepad)) GTEST_SKIP() << "no 64-bit programs here";
    const fs::path target = MakeTarget(L"Target");
    qdtest::OtherProgram program(L"\"" + notepad.wstring() + L"\"");
    BOOL emulated = TRUE;
    ASSERT_TRUE(IsWow64Process(program.Handle(), &emulated) && !emulated);
    HWND editor = program.WaitForWindow([](HWND w) { return qdtest::ClassOf(w) == L"Notepad"; });
    ASSERT_TRUE(editor);
    SetForegroundWindow(editor);
    realinput::Click(editor, 40, 60);
    realinput::KeyDown(VK_CONTROL);
    realinput::Key('O');
    realinput::KeyUp(VK_CONTROL);
    HWND dialog = program.WaitForWindow(IsFileDialog);
    ASSERT_TRUE(dialog);
    const std::wstring name = FieldText(dialog);

    qd::menu::TakeUserThere(dialog, target.wstring(), false, Recorder());

    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(qd::menu::SameFolder(Shown(dialog), target.wstring())) << Shown(dialog);
    EXPECT_EQ(FieldText(dialog), name);
    EXPECT_TRUE(IsWindowVisible(dialog));
    qdtest::PressDialogButton(dialog, IDCANCEL);
    EXPECT_TRUE(qdtest::WaitUntilGone(dialog, qdtest::kProgramEndMs));
    PostMessageW(editor, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForEnd(), 0);
}

TEST_F(FileDialogSwitchTest, ANewerDialogThatMayPickFoldersIsNeverPressed) {
    const fs::path target = MakeTarget(L"Target");
    DialogHost host(L"newer-pick", start, dir / "result.txt");
    HWND dialog = host.Dialog();
    ASSERT_TRUE(dialog);

    qd::menu::TakeUserThere(dialog, target.wstring(), true, Recorder());

    EXPECT_EQ(calls, (std::vector<qdtest::ShellCall>{{L"explore", target.wstring()}}));
    // Pressed with the folder in its field, it would have chosen the folder and closed.
    std::string result;
    EXPECT_EQ(host.Cancel(result), 0);
    EXPECT_EQ(result.substr(0, 7), "cancel\n");
}

TEST_F(FileDialogSwitchTest, ABlockADialogMayStillWriteIntoStaysUntilItHasAnswered) {
    DialogHost host(L"late-answer", start, dir / "result.txt");
    HWND dialog = host.Dialog();
    ASSERT_TRUE(dialog);
    const DWORD processId = GetProcessId(host.Process());
    const tk::ScopedKernelHandle answerNow(
        OpenEventW(EVENT_MODIFY_STATE, FALSE, (L"qd.LateAnswer." + std::to_wstring(processId)).c_str()));
    ASSERT_TRUE(answerNow);

    // The dialog takes its time: the request goes unanswered, and its block stays in the program.
    std::wstring folder;
    EXPECT_FALSE(qd::menu::FolderOfFileDialog(dialog, folder));
    auto waiting = qd::menu::WaitingRemoteBlocks();
    EXPECT_EQ(waiting.size(), 1u);
    waiting.resize(1);  // (a failure above goes on to see what the dialog found)
    EXPECT_EQ(waiting[0].first, processId);
    auto state = [&] {
        MEMORY_BASIC_INFORMATION region{};
        VirtualQueryEx(host.Process(), reinterpret_cast<void*>(waiting[0].second), &region, sizeof region);
        return region.State;
    };
    EXPECT_EQ(state(), static_cast<DWORD>(MEM_COMMIT));
    // No second block is left there while the first waits: the program is not asked again.
    EXPECT_FALSE(qd::menu::FolderOfFileDialog(dialog, folder));
    EXPECT_EQ(qd::menu::WaitingRemoteBlocks().size(), 1u);

    // It answers at last, into the block it was given; the block goes once the answer is in.
    ASSERT_TRUE(SetEvent(answerNow.get()));
    EXPECT_TRUE(qdtest::PumpUntil([&] { return qd::menu::WaitingRemoteBlocks().empty(); }));
    EXPECT_EQ(state(), static_cast<DWORD>(MEM_FREE));
    EXPECT_TRUE(host.Running());
    std::string result;
    EXPECT_EQ(host.Cancel(result), 0);
    EXPECT_EQ(result, "cancel\ntyped=0 ok=0 field=secret answer=live\n");
}

TEST_F(FileDialogSwitchTest, ADialogThatOnlyHasTheNumbersOfAFileDialogGetsNothingTypedAndNoOk) {
    // A dialog with the file dialogs' control numbers that lists no files, and one that lists
    // them in a list box but whose field is a password field.
    const fs::path target = MakeTarget(L"Target");
    for (const wchar_t* mode : {L"lookalike", L"password"}) {
        SCOPED_TRACE(tk::ToUtf8(mode));
        calls.clear();
        DialogHost host(mode, start, dir / "result.txt");
        HWND dialog = host.Dialog();
        ASSERT_TRUE(dialog);

        qd::menu::TakeUserThere(dialog, target.wstring(), false, Recorder());
        std::wstring shown;
        EXPECT_FALSE(qd::menu::FolderOfWindow(dialog, shown));

        EXPECT_EQ(calls, (std::vector<qdtest::ShellCall>{{L"open", target.wstring()}}));
        std::string result;
        EXPECT_EQ(host.Cancel(result), 0);
        EXPECT_EQ(result, "cancel\ntyped=0 ok=0 field=secret\n");
    }
}

}  // namespace
