// The command line: each command as a table (run against a private key); the
// built program on its own key, with its output in pipes, redirected by the shell and with nowhere
// to go; a running editor that shows a change made from the command line.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>
#include <atomic>
#include <string>
#include <vector>

#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "app/CommandLine.h"
#include "app/Global.h"
#include "list/win/ListWriter.h"
#include "app/Main.h"
#include "list/win/RegistryAccessor.h"
#include "list/ShortcutModel.h"
#include "tests/app/ReadOnlyKey.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Registry.h"

namespace {

using qd::CommandAction;
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

class CommandTest : public testing::Test {
protected:
    void Store(const Rows& rows) {
        tk::TRegistry().DeleteKey(key.Path());
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
        }
    }
    // The list the key holds; empty too when anything lies past its end.
    Rows KeyRows() {
        qd::ShortcutModel list;
        qd::ShortcutStore(qd::RegistryAccessors(), list).LoadItems(key.Path());
        Rows rows;
        for (const qd::ShortcutRow& r : list.Rows()) rows.emplace_back(r.Alias, r.Path);
        // Besides the pairs, only the writer's count of changes.
        if (key.ValueNames().size() != rows.size() * 2 + (key.Has(qd::kChangeCountValue) ? 1 : 0))
            rows.emplace_back(L"<values past the end>", L"");
        return rows;
    }
    qd::CommandOutcome Run(CommandAction action, std::wstring alias, std::wstring path = L"", std::wstring file = L"") {
        qd::CommandContext context;
        context.KeyPath = key.Path();
        context.WindowsDirectory = L"C:\\windows";
        context.BackupBeforeImport = [this](qd::ShortcutRows&) { keyAtBackup.push_back(KeyRows()); };
        return qd::RunCommand({action, std::move(alias), std::move(path), std::move(file)}, context);
    }
    std::wstring Folder(const wchar_t* name) {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    std::vector<Rows> keyAtBackup;  // the key's list at each backup before an import
};

TEST_F(CommandTest, EachCommandsOutputStatusAndTheKeyAfterwards) {
    const Rows start{{L"工作", L"C:\\Work"}, {L"b", L"C:\\b"}, {L"b", L"C:\\b2"}};
    const std::wstring folder = Folder(L"new folder"), file = (dir / "file.txt").wstring();
    std::ofstream(dir / "file.txt") << "not a folder";
    const Rows seeds{{L"Windows安装目录", L"C:\\windows"}, {L"C:\\", L"C:\\"}};
    struct Case {
        const char* name;
        Rows before;
        CommandAction action;
        std::wstring alias, path;
        int status;
        std::wstring out, err;
        Rows after;
        bool changed;
    };
    const Case cases[] = {
        {"list", start, CommandAction::List, L"", L"", 0, L"工作\tC:\\Work\r\nb\tC:\\b\r\nb\tC:\\b2\r\n", L"", start, false},
        {"add", start, CommandAction::Add, L"新 x", folder, 0, L"Added: 新 x\t" + folder + L"\r\n", L"",
         {start[0], start[1], start[2], {L"新 x", folder}}, true},
        {"add to no key: seeded first", {}, CommandAction::Add, L"x", folder, 0, L"Added: x\t" + folder + L"\r\n", L"",
         {seeds[0], seeds[1], {L"x", folder}}, true},
        {"add, empty alias", start, CommandAction::Add, L"", folder, 1, L"", L"别名或路径框不能为空.\r\n", start, false},
        {"add, empty path", start, CommandAction::Add, L"x", L"", 1, L"", L"别名或路径框不能为空.\r\n", start, false},
        {"add, a file", start, CommandAction::Add, L"x", file, 1, L"", file + L",此路径不存在.\r\n", start, false},
        {"delete: the first row with the alias", start, CommandAction::Delete, L"b", L"", 0, L"Deleted: b\tC:\\b\r\n",
         L"", {start[0], start[2]}, true},
        {"delete, no such alias", start, CommandAction::Delete, L"B", L"", 1, L"", L"No row has the alias B\r\n", start,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Store(c.before);
        const qd::CommandOutcome o = Run(c.action, c.alias, c.path);
        EXPECT_EQ(o.Status, c.status);
        EXPECT_EQ(o.Out, c.out);
        EXPECT_EQ(o.Err, c.err);
        EXPECT_EQ(o.ListChanged, c.changed);
        EXPECT_EQ(KeyRows(), c.after);
    }
    // A key that refuses the change: its error, status 1.
    Store(start);
    qdtest::ReadOnlyKey readOnly(key.Path());
    ASSERT_TRUE(readOnly.Applied());
    const qd::CommandOutcome refused = Run(CommandAction::Delete, L"b");
    EXPECT_EQ(refused.Status, 1);
    EXPECT_EQ(refused.Out + refused.Err, L"Failed to open key '" + key.Path() + L"' for writing\r\n");
}

TEST_F(CommandTest, ExportAndImportAsTheToolBarDoesThemWithTheBackupBeforeTheImport) {
    const Rows start{{L"工作", L"C:\\Work"}, {L"b", L"C:\\b"}};
    Store(start);
    const std::wstring saved = (dir / "saved.pwb").wstring();
    EXPECT_EQ(Run(CommandAction::Export, L"", L"", (dir / "saved").wstring()).Out, L"Exported 2 rows to " + saved + L"\r\n");
    {
        // One entry present (the path in other letter case), two new.
        tk::TIniFile ini(saved);
        ini.WriteString(L"PathWarden", L"Count", L"4");
        for (const auto& [k, v] : Rows{{L"N2", L"新"}, {L"P2", L"D:\\新"}, {L"N3", L"b"}, {L"P3", L"c:\\B\\"}})
            ini.WriteString(L"PathWarden", k, v);
        ini.WriteString(L"PathWarden", L"P1", L"D:\\b");
    }
    const qd::CommandOutcome imported = Run(CommandAction::Import, L"", L"", saved);
    EXPECT_EQ(imported.Status, 0);
    EXPECT_EQ(imported.Out, L"Imported 2 rows from " + saved + L"\r\n");
    EXPECT_TRUE(imported.ListChanged);
    EXPECT_EQ(KeyRows(), (Rows{start[0], start[1], {L"b", L"D:\\b"}, {L"新", L"D:\\新"}}));
    // The backup was made before anything was written.
    EXPECT_EQ(keyAtBackup, std::vector<Rows>{start});
    // Again: nothing new, no change. A file that is not there: refused before the backup.
    EXPECT_FALSE(Run(CommandAction::Import, L"", L"", saved).ListChanged);
    const std::wstring absent = (dir / "absent.pwb").wstring();
    const qd::CommandOutcome missing = Run(CommandAction::Import, L"", L"", absent);
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Err, L"No such file: " + absent + L"\r\n");
    EXPECT_EQ(keyAtBackup.size(), 2u);
}

// The built program, on the program's own key.
struct Ran {
    DWORD status = 0xFFFFFFFF;
    std::string out, err;  // the bytes written
};

std::string ReadAll(HANDLE pipe) {
    std::string bytes;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof(buffer), &got, nullptr) && got > 0) bytes.append(buffer, got);
    return bytes;
}

// Runs the program with its standard output and error in pipes (in the folder given, else in this
// program's).
Ran RunProgram(const std::wstring& exe, const std::vector<std::wstring>& args, const std::wstring& folder = L"") {
    Ran ran;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0)) return ran;
    const tk::ScopedKernelHandle outR(outRead), errR(errRead);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = L"\"" + exe + L"\"";
    for (const auto& a : args) command += L" \"" + a + L"\"";
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        folder.empty() ? nullptr : folder.c_str(), &si, &pi);
    {
        const tk::ScopedKernelHandle outW(outWrite), errW(errWrite);  // the child holds the writing ends now
    }
    if (!started) return ran;
    const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
    ran.out = ReadAll(outRead);
    ran.err = ReadAll(errRead);
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &ran.status);
    return ran;
}

constexpr wchar_t kProgramKey[] = L"Software\\Quiverdir";
constexpr wchar_t kMainClass[] = L"Quiverdir Made by Tallowmere";

class ProgramCommandLineTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FindWindowW(kMainClass, nullptr)) << "a copy of the program is running already";
        tk::TRegistry().DeleteKey(kProgramKey);
        std::filesystem::copy_file(qdtest::WindowsPath(QD_PROGRAM_FILE), exe);
    }
    void TearDown() override { tk::TRegistry().DeleteKey(kProgramKey); }
    std::wstring Folder(const wchar_t* name) {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }

    qdtest::TempDir dir;
    const std::wstring exe = (dir / "Quiverdir.exe").wstring();
};

TEST_F(ProgramCommandLineTest, OutputInUtf8ExitStatusesAndOutputRedirectedByTheShell) {
    const std::wstring work = Folder(L"工作");
    const std::wstring seeds = L"Windows安装目录\t" + qd::WindowsDirectory() + L"\r\nC:\\\tC:\\\r\n";
    const std::wstring notFull = L"," + std::wstring(qd::kPathNotFull) + L"\r\n";
    const std::wstring drive = dir.Path().root_name().wstring();
    struct Case {
        std::vector<std::wstring> args;
        DWORD status;
        std::wstring out, err;
    };
    // Run in dir: each relative path names the folder 工作 there, and is refused all the same.
    const Case cases[] = {
        {{L"--add", L"工作", work}, 0, L"Added: 工作\t" + work + L"\r\n", L""},
        {{L"--add", L"x", L"工作"}, 1, L"", L"工作" + notFull},
        {{L"--add", L"x", L"."}, 1, L"", L"." + notFull},
        {{L"--add", L"x", drive + L"工作"}, 1, L"", drive + L"工作" + notFull},
        {{L"--list"}, 0, seeds + L"工作\t" + work + L"\r\n", L""},  // the refusals left the key as it was
        {{L"--add", L"x", work + L"\\无"}, 1, L"", work + L"\\无,此路径不存在.\r\n"},
        {{L"--help"}, 0, qd::UsageText(), L""},
        {{L"--bogus"}, 2, L"", L"Unknown option: --bogus\r\n" + qd::UsageText()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(tk::ToUtf8(c.args.back()));
        const Ran ran = RunProgram(exe, c.args, dir.Path().wstring());
        EXPECT_EQ(ran.status, c.status);
        EXPECT_EQ(ran.out, tk::ToUtf8(c.out));
        EXPECT_EQ(ran.err, tk::ToUtf8(c.err));
    }
    EXPECT_FALSE(FindWindowW(kMainClass, nullptr)) << "a command opened the window";

    // Redirected by the command prompt (run in the program's folder, so it needs no quotes).
    std::wstring command = L"cmd.exe /c Quiverdir.exe --list > out.txt";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               dir.Path().wstring().c_str(), &si, &pi));
    const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    std::stringstream text;
    text << std::ifstream(dir / "out.txt", std::ios::binary).rdbuf();
    EXPECT_EQ(text.str(), tk::ToUtf8(seeds + L"工作\t" + work + L"\r\n"));
}

BOOL CALLBACK FindBoxOfProcess(HWND w, LPARAM p) {
    auto* search = reinterpret_cast<std::pair<DWORD, HWND>*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (owner != search->first || !IsWindowVisible(w) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
    search->second = w;
    return FALSE;
}

TEST_F(ProgramCommandLineTest, WithNowhereToWriteWhatTheCommandSaysComesInABox) {
    // Started as a shortcut starts it: no console and no standard handles.
    std::wstring command = L"\"" + exe + L"\" --delete nobody";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                               &si, &pi));
    const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
    std::pair<DWORD, HWND> box{pi.dwProcessId, nullptr};
    ASSERT_TRUE(qdtest::PumpUntil([&] { return !EnumWindows(&FindBoxOfProcess, reinterpret_cast<LPARAM>(&box)); }, 20000));
    wchar_t text[256] = {};
    GetDlgItemTextW(box.second, 0xFFFF, text, 256);  // a message box's text control
    EXPECT_STREQ(text, L"No row has the alias nobody");
    PostMessageW(box.second, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD status = 0;
    GetExitCodeProcess(pi.hProcess, &status);
    EXPECT_EQ(status, 1u);
}

TEST_F(ProgramCommandLineTest, WithBothHandlesAClosedPipeNothingWaitsAndTheStatusIsTheCommands) {
    // As a scheduled task may start it: no console, and both handles a pipe no one reads any more.
    // A box would wait for ever; the program must end by itself with the command's own status.
    const std::wstring work = Folder(L"w");
    struct Case {
        std::vector<std::wstring> args;
        DWORD status;
    };
    const Case cases[] = {
        {{L"--add", L"x", work}, 0},      // done; only its confirmation is lost
        {{L"--delete", L"nobody"}, 1},    // refused
        {{L"--bogus"}, 2},                // no command
        {{L"--list"}, 1},                 // its rows reached no one
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(tk::ToUtf8(c.args[0]));
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        ASSERT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
        CloseHandle(readEnd);
        const tk::ScopedKernelHandle pipe(writeEnd);
        std::wstring command = L"\"" + exe + L"\"";
        for (const auto& a : c.args) command += L" \"" + a + L"\"";
        STARTUPINFOW si{sizeof(si)};
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = writeEnd;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr,
                                   nullptr, &si, &pi));
        const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
        // A bound only so that a box cannot hold the tests up: the command itself takes a moment.
        if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
            TerminateProcess(pi.hProcess, 99);
            ADD_FAILURE() << "the program waited (on a box?)";
            continue;
        }
        DWORD status = 0;
        GetExitCodeProcess(pi.hProcess, &status);
        EXPECT_EQ(status, c.status);
    }
    // The add was made (after the first run's seed of two rows), and nothing else.
    tk::TRegistry key;
    ASSERT_TRUE(key.OpenKeyReadOnly(kProgramKey));
    EXPECT_EQ(key.ReadString(L"N2"), L"x");
    EXPECT_FALSE(key.ValueExists(L"N3"));
}

struct CloseStation {
    void operator()(HWINSTA station) const { CloseWindowStation(station); }
};

TEST_F(ProgramCommandLineTest, OnADesktopNoOneSeesWithNowhereToWriteNothingWaits) {
    // As a service or a task run whether the user is logged on or not starts it: no console, no
    // handles, in a window station of its own, where a box would wait for ever.
    const std::wstring station = qdtest::UniqueName(L"qdhidden");
    const tk::ScopedHandleOf<HWINSTA, CloseStation> hidden(
        CreateWindowStationW(station.c_str(), 0, WINSTA_ALL_ACCESS, nullptr));
    ASSERT_TRUE(hidden.get());
    std::wstring desktop = station + L"\\Default";
    std::wstring command = L"\"" + exe + L"\" --delete nobody";
    STARTUPINFOW si{sizeof(si)};
    si.lpDesktop = desktop.data();
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                               &si, &pi));
    const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
    if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 99);
        FAIL() << "the program waited (on a box?)";
    }
    DWORD status = 0;
    GetExitCodeProcess(pi.hProcess, &status);
    EXPECT_EQ(status, 1u);
}

TEST_F(ProgramCommandLineTest, ARunningEditorShowsAChangeMadeFromTheCommandLineAndDropsItsHistory) {
    tk::Application().Initialize();
    std::vector<std::wstring> errors;
    tk::Application().SetExceptionHandler([&](const std::wstring& m) { errors.push_back(m); });
    std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=0\n";
    auto form = std::make_unique<qd::TfrmMain>(
        nullptr, qd::MainSettings{kProgramKey, exe, (dir / "options.ini").wstring(), L"C:\\windows", L""});
    tk::Application().SetMainForm(form.get());
    form->AddShortcut(L"b", L"C:\\b");
    ASSERT_TRUE(form->CanUndo());

    EXPECT_EQ(RunProgram(exe, {L"--add", L"命令行", Folder(L"c")}).status, 0u);
    EXPECT_TRUE(qdtest::PumpUntil([&] { return form->lvMain->Count() == 4; }, 10000));
    EXPECT_EQ(form->lvMain->ItemCaption(3), L"命令行");
    EXPECT_FALSE(form->CanUndo());
    tk::Application().SetMainForm(nullptr);
    form.reset();
    tk::Application().SetExceptionHandler(nullptr);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProgramCommandLineTest, TheChosenRowStaysTheRowChosenWhenTheCommandLineDeletesARow) {
    // Eight rows r0..r7 and a running editor with the delete question on; the command line
    // deletes r0 and the window reloads.
    tk::Application().Initialize();
    std::vector<std::wstring> errors;
    tk::Application().SetExceptionHandler([&](const std::wstring& m) { errors.push_back(m); });
    std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=1\n";
    Rows r;
    for (int i = 0; i < 8; ++i) r.emplace_back(L"r" + std::to_wstring(i), L"C:\\r" + std::to_wstring(i));
    auto keyRows = [] {
        qd::ShortcutModel list;
        qd::ShortcutStore(qd::RegistryAccessors(), list).LoadItems(kProgramKey);
        Rows rows;
        for (const qd::ShortcutRow& row : list.Rows()) rows.emplace_back(row.Alias, row.Path);
        return rows;
    };
    struct Case {
        const char* what;
        int chosen;          // before the command line deletes r0
        int chosenAfter;     // the same row, or none
        // What two presses of Delete leave, each answered Yes.
        Rows afterFirstDelete, afterSecondDelete;
    };
    const Case cases[] = {
        {"r4 chosen: still chosen at its new place", 4, 3, {r[1], r[2], r[3], r[5], r[6], r[7]},
         {r[1], r[2], r[3], r[6], r[7]}},
        {"r0 chosen: gone, nothing chosen", 0, qd::kNoRowChosen, {r.begin() + 1, r.end()}, {r.begin() + 1, r.end()}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        tk::TRegistry().DeleteKey(kProgramKey);
        for (int i = 0; i < 8; ++i) {
            tk::TRegistry reg;
            reg.OpenKey(kProgramKey, true);
            reg.WriteString(qd::AliasValueName(i), r[static_cast<size_t>(i)].first);
            reg.WriteString(qd::PathValueName(i), r[static_cast<size_t>(i)].second);
        }
        auto form = std::make_unique<qd::TfrmMain>(
            nullptr, qd::MainSettings{kProgramKey, exe, (dir / "options.ini").wstring(), L"C:\\windows", L""});
        tk::Application().SetMainForm(form.get());
        form->lvMain->SetItemIndex(c.chosen);
        ASSERT_EQ(form->SelIndex(), c.chosen);

        ASSERT_EQ(RunProgram(exe, {L"--delete", L"r0"}).status, 0u);
        ASSERT_TRUE(qdtest::PumpUntil([&] { return form->lvMain->Count() == 7; }, 10000));
        EXPECT_EQ(form->SelIndex(), c.chosenAfter);
        EXPECT_EQ(form->lvMain->ItemIndex(), c.chosenAfter >= 0 ? c.chosenAfter : -1);
        const bool chosen = c.chosenAfter >= 0;
        EXPECT_EQ(form->CommandEnabled(qd::desc::MainCommand::Delete), chosen);
        EXPECT_EQ(form->CommandEnabled(qd::desc::MainCommand::Edit), chosen);

        // Delete, as its key runs it, twice; and edit, which opens its dialog only with a row chosen.
        for (const Rows* expected : {&c.afterFirstDelete, &c.afterSecondDelete}) {
            bool asked = false;
            qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
                HWND box = qdtest::WaitForSystemDialog(ui, chosen ? 5000 : 500);
                if (!box) return;
                asked = true;
                qdtest::PressDialogButton(box, IDYES);
                qdtest::WaitUntilGone(box);
            });
            form->RunCommand(qd::desc::MainCommand::Delete);
            script.Join();
            EXPECT_EQ(asked, chosen);
            EXPECT_EQ(keyRows(), *expected);
        }
        bool edited = false;
        qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
            HWND dialog = qdtest::WaitForTopWindow(ui, L"增加快捷目录", L"", chosen ? 5000 : 500);
            if (!dialog) return;
            edited = true;
            qdtest::PressButton(qdtest::FindDescendantByText(dialog, L"取消(&C)"));
            qdtest::WaitUntilGone(dialog);
        });
        form->RunCommand(qd::desc::MainCommand::Edit);
        script.Join();
        EXPECT_EQ(edited, chosen);
        tk::Application().SetMainForm(nullptr);
    }
    tk::Application().SetExceptionHandler(nullptr);
    EXPECT_TRUE(errors.empty());
}

TEST_F(ProgramCommandLineTest, WhileAnotherProgramWritesTheListCommandsWaitAndNeverPutTheListBackOverIt) {
    // Another program (the editor, say) is in the middle of a long write: it holds the lock, its
    // record names the list before, and the key holds half of the new list.
    const std::vector<qd::ShortcutRow> before{{L"a", L"C:\\a"}, {L"b", L"C:\\b"}, {L"c", L"C:\\c"}};
    const std::vector<qd::ShortcutRow> after{{L"c", L"C:\\c"}, {L"b", L"C:\\b"}, {L"a", L"C:\\a"}};
    const std::wstring backups = qd::BackupFolderPath();
    ASSERT_TRUE(qd::MakeFolders(backups));
    const std::wstring file = (std::filesystem::path(backups) / "recovery-4242-1-1.pwb").wstring();
    qd::WriteBackupFile(file, before, true);
    tk::TRegistry key;
    ASSERT_TRUE(key.OpenKey(kProgramKey, true));
    const tk::ScopedKernelHandle lock(CreateMutexW(nullptr, FALSE, qd::ListWriter::LockName(kProgramKey).c_str()));
    ASSERT_EQ(WaitForSingleObject(lock.get(), 0), WAIT_OBJECT_0);
    key.WriteString(qd::kChangeCountValue, L"7");
    key.WriteString(qd::kRewriteRecordValue, qd::CrashRecordText({7, 4242, 1, file, false}));
    const std::wstring work = Folder(L"w");
    for (int i = 0; i < 3; ++i) {
        const qd::ShortcutRow& row = (i == 0 ? after : before)[static_cast<size_t>(i)];
        key.WriteString(qd::AliasValueName(i), row.Alias);
        key.WriteString(qd::PathValueName(i), row.Path);
    }

    // Help touches no key: it does not wait.
    EXPECT_EQ(RunProgram(exe, {L"--help"}).status, 0u);
    Ran listed, added;
    std::atomic<int> finished{0};
    std::thread lister([&] {
        listed = RunProgram(exe, {L"--list"});
        ++finished;
    });
    std::thread adder([&] {
        added = RunProgram(exe, {L"--add", L"new", work});
        ++finished;
    });
    // They wait for the lock and leave the record and the half-written key alone meanwhile.
    EXPECT_FALSE(qdtest::PumpUntil([&] { return finished > 0 || !key.ValueExists(qd::kRewriteRecordValue); }, 3000));
    EXPECT_EQ(key.ReadString(L"N0"), L"c");
    EXPECT_EQ(key.ReadString(L"N2"), L"c");

    // The other program's write ends: the rest of its pairs, the count, the record cleared.
    key.WriteString(L"N2", L"a");
    key.WriteString(L"P2", L"C:\\a");
    key.WriteString(qd::kChangeCountValue, L"8");
    key.DeleteValue(qd::kRewriteRecordValue);
    std::filesystem::remove(file);
    ReleaseMutex(lock.get());
    lister.join();
    adder.join();
    EXPECT_EQ(listed.status, 0u);
    EXPECT_EQ(added.status, 0u);
    EXPECT_EQ(added.err, "");
    // The list read whole: the new list, with or without the added row, never half of it.
    const std::string whole = "c\tC:\\c\r\nb\tC:\\b\r\na\tC:\\a\r\n";
    EXPECT_TRUE(listed.out == whole || listed.out == whole + tk::ToUtf8(L"new\t" + work + L"\r\n")) << listed.out;
    EXPECT_EQ(listed.err, "");
    // The row added to the finished list; nothing put back.
    qd::ListWriter writer([&] {
        qd::WriterSettings s;
        s.KeyPath = kProgramKey;
        return s;
    }());
    const qd::StoredList now = writer.Read();
    ASSERT_EQ(now.Rows.size(), 4u);
    EXPECT_EQ(now.Rows[0].Alias, L"c");
    EXPECT_EQ(now.Rows[2].Alias, L"a");
    EXPECT_EQ(now.Rows[3].Alias, L"new");
    EXPECT_EQ(now.Version, 9u);
    EXPECT_EQ(writer.LastRecovery().What, qd::RecoveryOutcome::Kind::None);
}

}  // namespace
