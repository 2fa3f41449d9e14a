// The command line: the arguments as tables; each command run against a private key (its output,
// exit status and what the key holds afterwards); the built program run with its output and
// errors in pipes and redirected by the shell, on the program's own key; and a running editor
// that shows a change made from the command line.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/CommandLine.h"
#include "app/Global.h"
#include "app/Main.h"
#include "app/ShortcutStore.h"
#include "tests/app/ReadOnlyKey.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Registry.h"

namespace {

using qd::CommandAction;
using Row = std::pair<std::wstring, std::wstring>;
using Rows = std::vector<Row>;

TEST(CommandLineParseTest, TheArgumentsNameACommandOrSayWhyNot) {
    struct Case {
        std::vector<std::wstring> args;
        CommandAction action;
        std::wstring alias, path, file, error;
    };
    const Case cases[] = {
        {{}, CommandAction::None, L"", L"", L"", L""},
        {{L"--help"}, CommandAction::Help, L"", L"", L"", L""},
        {{L"/?"}, CommandAction::Help, L"", L"", L"", L""},
        {{L"--LIST"}, CommandAction::List, L"", L"", L"", L""},
        {{L"--add", L"工作", L"C:\\Work"}, CommandAction::Add, L"工作", L"C:\\Work", L"", L""},
        {{L"--add", L"", L""}, CommandAction::Add, L"", L"", L"", L""},  // refused later, as input
        {{L"--delete", L"工作"}, CommandAction::Delete, L"工作", L"", L"", L""},
        {{L"--export", L"list"}, CommandAction::Export, L"", L"", L"list", L""},
        {{L"--import", L"a b.pwb"}, CommandAction::Import, L"", L"", L"a b.pwb", L""},
        {{L"--add", L"x"}, CommandAction::None, L"", L"", L"", L"--add takes 2 argument(s), not 1."},
        {{L"--list", L"x"}, CommandAction::None, L"", L"", L"", L"--list takes 0 argument(s), not 1."},
        {{L"--delete"}, CommandAction::None, L"", L"", L"", L"--delete takes 1 argument(s), not 0."},
        {{L"list"}, CommandAction::None, L"", L"", L"", L"Unknown option: list"},
        {{L"C:\\Work"}, CommandAction::None, L"", L"", L"", L"Unknown option: C:\\Work"},
    };
    for (const Case& c : cases) {
        std::wstring joined;
        for (const auto& a : c.args) joined += L"[" + a + L"]";
        SCOPED_TRACE(tk::ToUtf8(joined));
        const qd::ParsedCommandLine parsed = qd::ParseCommandLine(c.args);
        EXPECT_EQ(parsed.Error, c.error);
        EXPECT_EQ(parsed.Request.Action, c.action);
        EXPECT_EQ(parsed.Request.Alias, c.alias);
        EXPECT_EQ(parsed.Request.Path, c.path);
        EXPECT_EQ(parsed.Request.File, c.file);
    }
}

class CommandTest : public testing::Test {
protected:
    void WriteRows(const Rows& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
        }
    }
    // The rows the key holds and whether any value lies past them.
    Rows KeyRows() {
        Rows rows;
        for (int i = 0;; ++i) {
            const std::wstring a = key.Read(qd::AliasValueName(i)), p = key.Read(qd::PathValueName(i));
            if (!key.Has(qd::AliasValueName(i)) || !key.Has(qd::PathValueName(i)) || a.empty() || p.empty()) break;
            rows.emplace_back(a, p);
        }
        return rows;
    }
    size_t ValueCount() {
        size_t n = 0;
        for (const auto& name : key.ValueNames()) n += name != L"Setting";
        return n;
    }
    qd::CommandOutcome Run(CommandAction action, std::wstring alias = L"", std::wstring path = L"", std::wstring file = L"") {
        qd::CommandContext context;
        context.KeyPath = key.Path();
        context.WindowsDirectory = L"C:\\windows";
        context.BackupBeforeImport = [this](qd::ShortcutRows& list) {
            ++backups;
            backedUpRows = list.RowCount();
            keyAtBackup = KeyRows();
        };
        return qd::RunCommand({action, std::move(alias), std::move(path), std::move(file)}, context);
    }
    std::wstring Folder(const wchar_t* name) {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }

    qdtest::TempDir dir;
    qdtest::PrivateKey key;
    int backups = 0;
    int backedUpRows = -1;
    Rows keyAtBackup;
};

TEST_F(CommandTest, EachCommandsOutputStatusAndTheKeyAfterwards) {
    const Rows start{{L"工作", L"C:\\Work"}, {L"b", L"C:\\b"}};
    const std::wstring folder = Folder(L"new folder");
    const std::wstring file = (dir / "file.txt").wstring();
    std::ofstream(dir / "file.txt") << "not a folder";
    struct Case {
        const char* name;
        CommandAction action;
        std::wstring alias, path;
        int status;
        std::wstring out, err;
        Rows after;
        bool changed;
    };
    const Case cases[] = {
        {"list", CommandAction::List, L"", L"", 0, L"工作\tC:\\Work\r\nb\tC:\\b\r\n", L"", start, false},
        {"add", CommandAction::Add, L"新 x", folder, 0, L"Added: 新 x\t" + folder + L"\r\n", L"",
         {start[0], start[1], {L"新 x", folder}}, true},
        {"add, empty alias", CommandAction::Add, L"", folder, 1, L"", L"别名或路径框不能为空.\r\n", start, false},
        {"add, empty path", CommandAction::Add, L"x", L"", 1, L"", L"别名或路径框不能为空.\r\n", start, false},
        {"add, no such folder", CommandAction::Add, L"x", folder + L"\\missing", 1, L"",
         folder + L"\\missing,此路径不存在.\r\n", start, false},
        {"add, a file", CommandAction::Add, L"x", file, 1, L"", file + L",此路径不存在.\r\n", start, false},
        {"delete", CommandAction::Delete, L"工作", L"", 0, L"Deleted: 工作\tC:\\Work\r\n", L"", {start[1]}, true},
        {"delete, no such alias", CommandAction::Delete, L"B", L"", 1, L"", L"No row has the alias B\r\n", start, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tk::TRegistry().DeleteKey(key.Path());
        WriteRows(start);
        const qd::CommandOutcome o = Run(c.action, c.alias, c.path);
        EXPECT_EQ(o.Status, c.status);
        EXPECT_EQ(o.Out, c.out);
        EXPECT_EQ(o.Err, c.err);
        EXPECT_EQ(o.ListChanged, c.changed);
        EXPECT_EQ(KeyRows(), c.after);
        EXPECT_EQ(ValueCount(), c.after.size() * 2);  // nothing left past the end
    }
    // Deleting takes the first row with the alias.
    tk::TRegistry().DeleteKey(key.Path());
    WriteRows({{L"a", L"C:\\1"}, {L"a", L"C:\\2"}});
    EXPECT_EQ(Run(CommandAction::Delete, L"a").Out, L"Deleted: a\tC:\\1\r\n");
    EXPECT_EQ(KeyRows(), (Rows{{L"a", L"C:\\2"}}));
}

TEST_F(CommandTest, AFirstChangeSeedsTheListAndListingAMissingKeyPrintsNothing) {
    tk::TRegistry().DeleteKey(key.Path());
    const qd::CommandOutcome listed = Run(CommandAction::List);
    EXPECT_EQ(listed.Status, 0);
    EXPECT_EQ(listed.Out, L"");
    EXPECT_FALSE(tk::TRegistry().KeyExists(key.Path()));
    const std::wstring folder = Folder(L"f");
    EXPECT_EQ(Run(CommandAction::Add, L"f", folder).Status, 0);
    EXPECT_EQ(KeyRows(), (Rows{{L"Windows安装目录", L"C:\\windows"}, {L"C:\\", L"C:\\"}, {L"f", folder}}));
}

TEST_F(CommandTest, ExportAndImportAsTheToolBarDoesThemWithTheBackupBeforeTheImport) {
    const Rows start{{L"工作", L"C:\\Work"}, {L"b", L"C:\\b"}};
    WriteRows(start);
    // Export: .pwb added; the file is one import can read back.
    const qd::CommandOutcome exported = Run(CommandAction::Export, L"", L"", (dir / "saved").wstring());
    const std::wstring saved = (dir / "saved.pwb").wstring();
    EXPECT_EQ(exported.Status, 0);
    EXPECT_EQ(exported.Out, L"Exported 2 rows to " + saved + L"\r\n");
    EXPECT_EQ(tk::TIniFile(saved).ReadString(L"PathWarden", L"N0", L""), L"工作");

    // Importing its own export adds nothing and is no change; the backup is made all the same.
    qd::CommandOutcome imported = Run(CommandAction::Import, L"", L"", saved);
    EXPECT_EQ(imported.Status, 0);
    EXPECT_EQ(imported.Out, L"Imported 0 rows from " + saved + L"\r\n");
    EXPECT_FALSE(imported.ListChanged);
    EXPECT_EQ(backups, 1);

    // A file with a present entry (other letter case of the path) and two new ones.
    const std::wstring other = (dir / "other.pwb").wstring();
    {
        tk::TIniFile ini(other);
        ini.WriteString(L"PathWarden", L"Count", L"3");
        for (const auto& [k, v] : std::vector<Row>{{L"N0", L"b"}, {L"P0", L"c:\\B\\"}, {L"N1", L"新"}, {L"P1", L"D:\\新"},
                                                    {L"N2", L"c"}, {L"P2", L"D:\\c"}})
            ini.WriteString(L"PathWarden", k, v);
    }
    imported = Run(CommandAction::Import, L"", L"", other);
    EXPECT_EQ(imported.Status, 0);
    EXPECT_EQ(imported.Out, L"Imported 2 rows from " + other + L"\r\n");
    EXPECT_TRUE(imported.ListChanged);
    EXPECT_EQ(KeyRows(), (Rows{start[0], start[1], {L"新", L"D:\\新"}, {L"c", L"D:\\c"}}));
    // The backup saw the list before the import, with the key still holding it.
    EXPECT_EQ(backups, 2);
    EXPECT_EQ(backedUpRows, 2);
    EXPECT_EQ(keyAtBackup, start);

    // A file that is not there: refused, no backup, nothing written.
    imported = Run(CommandAction::Import, L"", L"", (dir / "absent.pwb").wstring());
    EXPECT_EQ(imported.Status, 1);
    EXPECT_EQ(imported.Err, L"No such file: " + (dir / "absent.pwb").wstring() + L"\r\n");
    EXPECT_EQ(backups, 2);
    // A folder to export to that cannot be written: the INI error, status 1.
    const qd::CommandOutcome failed = Run(CommandAction::Export, L"", L"", (dir / "no folder" / "x.pwb").wstring());
    EXPECT_EQ(failed.Status, 1);
    EXPECT_NE(failed.Err.find(L"x.pwb"), std::wstring::npos) << tk::ToUtf8(failed.Err);
}

TEST_F(CommandTest, AKeyThatRefusesTheChangeGivesStatusOneAndItsMessage) {
    WriteRows({{L"a", L"C:\\a"}});
    qdtest::ReadOnlyKey readOnly(key.Path());
    ASSERT_TRUE(readOnly.Applied());
    const qd::CommandOutcome o = Run(CommandAction::Add, L"b", Folder(L"b"));
    EXPECT_EQ(o.Status, 1);
    EXPECT_EQ(o.Out, L"");
    EXPECT_EQ(o.Err, L"Failed to open key '" + key.Path() + L"' for writing\r\n");
    EXPECT_EQ(KeyRows(), (Rows{{L"a", L"C:\\a"}}));
    // Listing needs reading only.
    EXPECT_EQ(Run(CommandAction::List).Out, L"a\tC:\\a\r\n");
}

// The built program, run with its standard output and error in pipes, on the program's own key.
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

Ran RunProgram(const std::wstring& exe, const std::vector<std::wstring>& args) {
    Ran ran;
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE outRead = nullptr, outWrite = nullptr, errRead = nullptr, errWrite = nullptr;
    if (!CreatePipe(&outRead, &outWrite, &inherit, 0) || !CreatePipe(&errRead, &errWrite, &inherit, 0)) return ran;
    tk::ScopedKernelHandle outR(outRead), errR(errRead);
    SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    std::wstring command = L"\"" + exe + L"\"";
    for (const auto& a : args) command += L" \"" + a + L"\"";
    STARTUPINFOW si{sizeof(si)};
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = outWrite;
    si.hStdError = errWrite;
    PROCESS_INFORMATION pi{};
    const BOOL started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    {
        tk::ScopedKernelHandle outW(outWrite), errW(errWrite);  // the parent's ends of writing go
    }
    if (!started) return ran;
    const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
    ran.out = ReadAll(outRead);
    ran.err = ReadAll(errRead);
    if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &ran.status);
    return ran;
}

constexpr wchar_t kProgramKey[] = L"Software\\Quiverdir";

class ProgramCommandLineTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(FindWindowW(L"Quiverdir Made by Tallowmere", nullptr)) << "a copy of the program is running already";
        tk::TRegistry().DeleteKey(kProgramKey);
        exe = (dir / "Quiverdir.exe").wstring();
        std::filesystem::copy_file(qdtest::WindowsPath(QD_PROGRAM_FILE), exe);
    }
    void TearDown() override { tk::TRegistry().DeleteKey(kProgramKey); }
    std::string Utf8(const std::wstring& text) { return tk::ToUtf8(text); }
    std::wstring Folder(const wchar_t* name) {
        std::filesystem::create_directories(dir / name);
        return (dir / name).wstring();
    }

    qdtest::TempDir dir;
    std::wstring exe;
};

TEST_F(ProgramCommandLineTest, EachCommandsOutputInUtf8AndItsExitStatus) {
    const std::wstring work = Folder(L"工作");
    const std::wstring seeds = L"Windows安装目录\t" + qd::WindowsDirectory() + L"\r\nC:\\\tC:\\\r\n";
    struct Case {
        std::vector<std::wstring> args;
        DWORD status;
        std::wstring out, err;
    };
    const Case cases[] = {
        {{L"--add", L"工作", work}, 0, L"Added: 工作\t" + work + L"\r\n", L""},
        {{L"--list"}, 0, seeds + L"工作\t" + work + L"\r\n", L""},
        {{L"--delete", L"工作"}, 0, L"Deleted: 工作\t" + work + L"\r\n", L""},
        {{L"--delete", L"工作"}, 1, L"", L"No row has the alias 工作\r\n"},
        {{L"--add", L"x", work + L"\\无"}, 1, L"", work + L"\\无,此路径不存在.\r\n"},
        {{L"--add", L"x", L""}, 1, L"", L"别名或路径框不能为空.\r\n"},
        {{L"--list"}, 0, seeds, L""},
        {{L"--help"}, 0, qd::UsageText(), L""},
        {{L"--bogus"}, 2, L"", L"Unknown option: --bogus\r\n" + qd::UsageText()},
        {{L"--add", L"x"}, 2, L"", L"--add takes 2 argument(s), not 1.\r\n" + qd::UsageText()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(tk::ToUtf8(c.args[0] + (c.args.size() > 1 ? L" " + c.args[1] : L"")));
        const Ran ran = RunProgram(exe, c.args);
        EXPECT_EQ(ran.status, c.status);
        EXPECT_EQ(ran.out, Utf8(c.out));
        EXPECT_EQ(ran.err, Utf8(c.err));
    }
    EXPECT_FALSE(FindWindowW(L"Quiverdir Made by Tallowmere", nullptr)) << "a command opened the window";
}

TEST_F(ProgramCommandLineTest, OutputRedirectedByTheShellAndExportThenImportThroughTheProgram) {
    ASSERT_EQ(RunProgram(exe, {L"--add", L"中文", Folder(L"中")}).status, 0u);
    const std::wstring out = (dir / "out.txt").wstring();
    // Run in the program's folder, so the command needs no quotes.
    std::wstring command = L"cmd.exe /c Quiverdir.exe --list > out.txt";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                               dir.Path().wstring().c_str(), &si, &pi));
    const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 30000), WAIT_OBJECT_0);
    std::ifstream in(std::filesystem::path(out), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find(Utf8(L"\r\n中文\t" + (dir / L"中").wstring() + L"\r\n")), std::string::npos) << text.str();

    const std::wstring backup = (dir / "list.pwb").wstring();
    const Ran exported = RunProgram(exe, {L"--export", (dir / "list").wstring()});
    EXPECT_EQ(exported.status, 0u);
    EXPECT_EQ(exported.out, Utf8(L"Exported 3 rows to " + backup + L"\r\n"));
    ASSERT_EQ(RunProgram(exe, {L"--delete", L"中文"}).status, 0u);
    const Ran imported = RunProgram(exe, {L"--import", backup});
    EXPECT_EQ(imported.status, 0u);
    EXPECT_EQ(imported.out, Utf8(L"Imported 1 rows from " + backup + L"\r\n"));
    EXPECT_NE(RunProgram(exe, {L"--list"}).out.find(Utf8(L"中文\t")), std::string::npos);
}

struct BoxSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<BoxSearch*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(w, &owner);
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (owner == s->pid && IsWindowVisible(w) && lstrcmpW(cls, L"#32770") == 0) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

TEST_F(ProgramCommandLineTest, WithNowhereToWriteWhatTheCommandSaysComesInABox) {
    // Started as a shortcut starts it: no console and no standard handles.
    std::wstring command = L"\"" + exe + L"\" --delete nobody";
    STARTUPINFOW si{sizeof(si)};
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                               &si, &pi));
    const tk::ScopedKernelHandle process(pi.hProcess), thread(pi.hThread);
    BoxSearch search{pi.dwProcessId, nullptr};
    ASSERT_TRUE(qdtest::PumpUntil([&] { return EnumWindows(&MatchMessageBox, reinterpret_cast<LPARAM>(&search)), search.found; },
                                  20000));
    wchar_t text[256] = {};
    GetDlgItemTextW(search.found, 0xFFFF, text, 256);
    EXPECT_STREQ(text, L"No row has the alias nobody");
    PostMessageW(search.found, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
    DWORD status = 0;
    GetExitCodeProcess(pi.hProcess, &status);
    EXPECT_EQ(status, 1u);
}

TEST_F(ProgramCommandLineTest, ARunningEditorShowsAChangeMadeFromTheCommandLineAndDropsItsHistory) {
    tk::Application().Initialize();
    std::vector<std::wstring> errors;
    tk::Application().SetExceptionHandler([&](const std::wstring& m) { errors.push_back(m); });
    {
        tk::TRegistry reg;
        ASSERT_TRUE(reg.OpenKey(kProgramKey, true));
        reg.WriteString(L"N0", L"a");
        reg.WriteString(L"P0", L"C:\\a");
    }
    std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=0\n";
    qd::MainSettings settings{kProgramKey, exe, (dir / "options.ini").wstring(), L"C:\\windows", L""};
    auto form = std::make_unique<qd::TfrmMain>(nullptr, settings);
    tk::Application().SetMainForm(form.get());
    qdtest::PumpIdle();
    form->AddShortcut(L"b", L"C:\\b");
    ASSERT_TRUE(form->CanUndo());

    const std::wstring folder = Folder(L"from the command line");
    EXPECT_EQ(RunProgram(exe, {L"--add", L"命令行", folder}).status, 0u);
    EXPECT_TRUE(qdtest::PumpUntil([&] { return form->Model().Count() == 3; }, 10000));
    ASSERT_EQ(form->lvMain->Count(), 3);
    EXPECT_EQ(form->lvMain->ItemCaption(2), L"命令行");
    EXPECT_FALSE(form->CanUndo());
    form->Undo();  // nothing to undo: the command line's row stays
    EXPECT_EQ(form->Model().Count(), 3);
    tk::Application().SetMainForm(nullptr);
    form.reset();
    tk::Application().SetExceptionHandler(nullptr);
    EXPECT_TRUE(errors.empty());
}

}  // namespace
