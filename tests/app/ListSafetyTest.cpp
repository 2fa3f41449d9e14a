// Keeping the list safe, through the real main window on a private key: the automatic backup
// before each command that changes much of the list, a backups folder that cannot be written,
// restoring an earlier list (from the dialog and from a file), and the start after a change was
// cut off with a record that cannot be used.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "list/win/ListWriter.h"
#include "app/ListSafety.h"
#include "app/Main.h"
#include "app/RestoreDialog.h"
#include "resources/forms/MainFormDesc.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/Registry.h"

namespace {

using qd::ShortcutRow;
using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

Rows Texts(const std::vector<ShortcutRow>& rows) {
    Rows texts;
    for (const ShortcutRow& r : rows) texts.emplace_back(r.Alias, r.Path);
    return texts;
}

std::vector<ShortcutRow> RowsOf(const Rows& texts) {
    std::vector<ShortcutRow> rows;
    for (const auto& [alias, path] : texts) rows.push_back({alias, path, false});
    return rows;
}

class ListSafetyTest : public testing::Test {
protected:
    void SetUp() override {
        tk::Application().Initialize();
        tk::Application().SetExceptionHandler([this](const std::wstring& m) { errors.push_back(m); });
    }
    void TearDown() override {
        tk::Application().SetMainForm(nullptr);
        form.reset();
        tk::Application().SetExceptionHandler(nullptr);
    }
    void Start(const Rows& rows) {
        for (size_t i = 0; i < rows.size(); ++i) {
            key.WriteString(qd::AliasValueName(static_cast<int>(i)), rows[i].first);
            key.WriteString(qd::PathValueName(static_cast<int>(i)), rows[i].second);
        }
        key.WriteString(L"Setting", L"C:\\Tools\\Quiverdir.exe");
        std::ofstream(dir / "options.ini") << "[Options]\nAskDelete=0\n";
        qd::MainSettings settings{key.Path(), L"C:\\Tools\\Quiverdir.exe", (dir / "options.ini").wstring(),
                                  L"C:\\windows", L""};
        settings.BackupFolder = backups.wstring();
        form = std::make_unique<qd::TfrmMain>(nullptr, settings);
        tk::Application().SetMainForm(form.get());
        qdtest::PumpIdle();
    }
    Rows ModelRows() { return Texts(form->Model().Rows()); }
    // The rows the key holds, and nothing else of it but the program's path and the count of changes.
    Rows KeyRows() {
        Rows rows;
        for (int i = 0; key.Has(qd::AliasValueName(i)) && key.Has(qd::PathValueName(i)); ++i)
            rows.emplace_back(key.Read(qd::AliasValueName(i)), key.Read(qd::PathValueName(i)));
        const size_t count = key.Has(qd::kChangeCountValue) ? 1 : 0;
        EXPECT_EQ(key.ValueNames().size(), rows.size() * 2 + 1 + count) << "values besides the list, Setting, ChangeCount";
        return rows;
    }
    std::vector<qd::AutoBackupInfo> Backups() { return qd::ListAutomaticBackups(backups.wstring()); }
    void Press(const wchar_t* name) {
        qdtest::PumpIdle();
        auto* b = static_cast<tk::TToolButton*>(form->FindComponent(name));
        SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(b->CommandId(), BN_CLICKED),
                     reinterpret_cast<LPARAM>(form->suiToolBar1->Handle()));
        qdtest::PumpIdle();
    }
    std::filesystem::path Backup(const Rows& rows, const wchar_t* name) {
        const std::filesystem::path file = dir / name;
        std::filesystem::remove(file);
        qd::WriteBackupFile(file.wstring(), RowsOf(rows), false);
        return file;
    }

    qdtest::TempDir dir;
    std::filesystem::path backups = dir / "appdata" / "Quiverdir" / "backups";
    qdtest::PrivateKey key;
    std::unique_ptr<qd::TfrmMain> form;
    std::vector<std::wstring> errors;
    const Rows start = {{L"c", L"C:\\c"}, {L"b", L"C:\\b"}, {L"a", L"C:\\a"}, {L"d", L"C:\\d"}};
};

TEST_F(ListSafetyTest, EachLongChangeFirstSavesTheListAsItWasInANewBackup) {
    Start(start);
    const auto file = Backup({{L"new", L"D:\\new"}, {L"newer", L"D:\\newer"}}, L"import.pwb");
    const auto restore = Backup({{L"x", L"C:\\x"}}, L"restore.pwb");
    struct Case {
        const char* name;
        std::function<void()> run;
        bool backedUp;
    };
    const std::vector<Case> cases = {
        {"sort", [&] { Press(L"ToolButton4"); }, true},
        {"import", [&] { form->ImportFrom(file.wstring()); }, true},
        {"import adding nothing", [&] { form->ImportFrom(file.wstring()); }, false},
        {"delete missing rows", [&] { EXPECT_TRUE(form->BackupBeforeChange(qd::kDeleteMissingCommandName)); }, true},
        {"move up", [&] {
             form->lvMain->SetItemIndex(2);
             Press(L"ToolButton5");
         }, false},
        {"delete a row", [&] {
             form->lvMain->SetItemIndex(1);
             Press(L"ToolButton3");
         }, false},
        {"restore", [&] { form->RestoreFrom(restore.wstring()); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rows before = ModelRows();
        const size_t count = Backups().size();
        c.run();
        EXPECT_TRUE(errors.empty());
        const auto now = Backups();
        ASSERT_EQ(now.size(), count + (c.backedUp ? 1 : 0));
        if (c.backedUp) {
            EXPECT_EQ(Texts(qd::ReadBackupRows(now.front().File)), before);
            EXPECT_EQ(now.front().Rows, static_cast<int>(before.size()));
        }
        EXPECT_EQ(KeyRows(), ModelRows());
    }
    EXPECT_EQ(ModelRows(), (Rows{{L"x", L"C:\\x"}}));
}

TEST_F(ListSafetyTest, ABackupsFolderThatCannotBeWrittenAsksAndTheCommandRunsOnlyOnYes) {
    std::filesystem::create_directories(dir / "appdata");
    std::ofstream(dir / "appdata" / "Quiverdir") << "a file where the folder would be";
    Start(start);
    const std::wstring why = L"No backup could be written to " + backups.wstring() + L": the folder cannot be made";
    {
        qdtest::MessageBoxAnswerer no(IDNO);
        Press(L"ToolButton4");
        EXPECT_EQ(no.Text(), tk::FormatText(qd::kBackupFailedQuestion, {why, qd::kSortCommandName}));
    }
    EXPECT_EQ(ModelRows(), start);
    EXPECT_EQ(KeyRows(), start);
    EXPECT_TRUE(form->SortAscending());
    {
        qdtest::MessageBoxAnswerer yes(IDYES);
        Press(L"ToolButton4");
        EXPECT_TRUE(yes.Answered());
    }
    const Rows sorted = {{L"a", L"C:\\a"}, {L"b", L"C:\\b"}, {L"c", L"C:\\c"}, {L"d", L"C:\\d"}};
    EXPECT_EQ(ModelRows(), sorted);
    EXPECT_EQ(KeyRows(), sorted);  // the crash record found another place and is gone again
    EXPECT_TRUE(errors.empty());

    // The restore asks the same; No leaves the list.
    const auto restore = Backup({{L"x", L"C:\\x"}}, L"restore.pwb");
    {
        qdtest::MessageBoxAnswerer no(IDNO);
        form->RestoreFrom(restore.wstring());
        EXPECT_EQ(no.Text(), tk::FormatText(qd::kBackupFailedQuestion, {why, qd::kRestoreCommandName}));
    }
    EXPECT_EQ(KeyRows(), sorted);
}

TEST_F(ListSafetyTest, AnotherProgramsChangeWhileTheBackupQuestionIsOpenIsKeptWholeBySortAndDeleteMissing) {
    // The backup question of a sort or of the deletion of missing rows is open when another
    // program appends a row and says so: the window reloads under the open question, and the
    // command, answered Yes, acts on the list the key holds then. Nothing it counted or numbered
    // before the question may be used: the key keeps one whole list, every row once.
    std::filesystem::create_directories(dir / "appdata");
    std::ofstream(dir / "appdata" / "Quiverdir") << "a file where the folder would be";
    std::filesystem::create_directories(dir / "here");
    const std::wstring here = (dir / "here").wstring(), gone = (dir / "gone").wstring();
    const Rows rows = {{L"c", gone + L"\\c"}, {L"b", here}, {L"a", gone + L"\\a"}, {L"e", here}};
    const std::pair<std::wstring, std::wstring> outside{L"d", here};
    struct Case {
        const char* name;
        std::function<void()> run;
        size_t questions;
        Rows expected;
    };
    const std::vector<Case> cases = {
        {"sort", [&] { Press(L"ToolButton4"); }, 1, {rows[2], rows[1], rows[0], outside, rows[3]}},
        {"delete missing rows", [&] { form->DeleteMissingRows(); }, 2, {rows[1], rows[3], outside}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        form.reset();
        tk::TRegistry().DeleteKey(key.Path());
        Start(rows);
        ASSERT_TRUE(qdtest::PumpUntil([&] { return form->Folders().Pending() == 0; }, 10000));
        std::vector<std::wstring> asked;
        bool reloaded = false;
        qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
            for (;;) {
                HWND box = qdtest::WaitForSystemDialog(ui);
                if (!box) return;
                asked.push_back(qdtest::DialogText(box));
                if (asked.back().rfind(L"无法保存自动备份", 0) == 0) {
                    key.WriteString(qd::AliasValueName(4), outside.first);
                    key.WriteString(qd::PathValueName(4), outside.second);
                    key.WriteString(qd::kChangeCountValue,
                                    std::to_wstring(qd::ParseChangeCount(key.Read(qd::kChangeCountValue)) + 1));
                    PostMessageW(form->Handle(), qd::desc::kListChangedNotice, 0, 0);
                    HWND list = form->lvMain->Handle();
                    for (int i = 0; i < 1000 && !reloaded; ++i, Sleep(10))
                        reloaded = SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) == 5;
                    qdtest::PressDialogButton(box, IDYES);
                    qdtest::WaitUntilGone(box);
                    return;
                }
                qdtest::PressDialogButton(box, IDYES);
                qdtest::WaitUntilGone(box);
            }
        });
        c.run();
        script.Join();
        EXPECT_TRUE(reloaded);
        EXPECT_EQ(asked.size(), c.questions);
        EXPECT_TRUE(errors.empty());
        EXPECT_EQ(KeyRows(), c.expected);
        EXPECT_EQ(ModelRows(), c.expected);
    }
}

TEST_F(ListSafetyTest, TheChosenBackupReplacesTheWholeListExactlyAndTheRestoreCanBeUndoneByAnother) {
    ASSERT_EQ(GetACP(), 936u) << "the tests run with the Chinese ANSI code page";
    Start(start);
    const Rows earlier = {{L"ไทย 😀", L"C:\\Ελληνικά\\ไทย"}, {L" 中文 ", L"D:\\中文"}};
    qd::WriteAutomaticBackup(backups.wstring(), RowsOf(earlier));

    // From the dialog, as the menu opens it: the newest backup is chosen; Enter restores it.
    std::wstring shown;
    {
        qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
            HWND dialog = qdtest::WaitForTopWindow(ui, qd::kRestoreCommandName);
            if (!dialog) return;
            HWND list = qdtest::FindDescendant(dialog, L"SysListView32");
            shown = std::to_wstring(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
            qdtest::PressButton(qdtest::FindDescendantByText(dialog, L"恢复(&R)"));
            qdtest::WaitUntilGone(dialog);
        });
        form->RestorePreviousList();
    }
    EXPECT_EQ(shown, L"1");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ModelRows(), earlier);
    EXPECT_EQ(KeyRows(), earlier);  // the pairs past its end are gone
    EXPECT_EQ(form->lvMain->Count(), 2);

    // The list before the restore is the newest backup now: restoring it undoes the restore.
    const auto now = Backups();
    ASSERT_EQ(now.size(), 2u);
    form->RestoreFrom(now.front().File);
    EXPECT_EQ(ModelRows(), start);
    EXPECT_EQ(KeyRows(), start);

    // A damaged backup changes nothing and is named; no backup is made for it.
    const std::filesystem::path damaged = dir / "damaged.pwb";
    std::ofstream(damaged, std::ios::binary) << "[PathWarden]\r\nCount=2\r\nN0=a\r\nP0=C:\\a\r\n";
    const size_t count = Backups().size();
    Press(L"tbRefresh");
    tk::Application().Guarded([&] { form->RestoreFrom(damaged.wstring()); });
    EXPECT_EQ(errors, std::vector<std::wstring>{L"The backup " + damaged.wstring() + L" is damaged: entry 2 of 2 is missing"});
    EXPECT_EQ(ModelRows(), start);
    EXPECT_EQ(KeyRows(), start);
    EXPECT_EQ(Backups().size(), count);
}

TEST_F(ListSafetyTest, RestoringTheOldestOfTwentyBackupsKeepsItAndTheDialogListsTheNewestWrittenFirst) {
    Start(start);
    std::vector<std::wstring> written;  // oldest first
    for (int k = 0; k < 20; ++k)
        written.push_back(qd::WriteAutomaticBackup(backups.wstring(), RowsOf({{L"k" + std::to_wstring(k), L"C:\\k"}})));
    // A backup whose name a clock years ahead dated, numbered before the last: it is listed by
    // its number, not first.
    const std::filesystem::path ahead = backups / qd::AutoBackupName({2099, 1, 1, 0, 0, 0, 1, 1});
    std::filesystem::rename(written.front(), ahead);
    written.front() = ahead.wstring();
    std::vector<std::wstring> listed;
    {
        qdtest::UiScript script(form->Handle(), [&](DWORD ui) {
            HWND dialog = qdtest::WaitForTopWindow(ui, qd::kRestoreCommandName);
            if (!dialog) return;
            HWND list = qdtest::FindDescendant(dialog, L"SysListView32");
            for (int row = 0; row < static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
                wchar_t date[32] = {}, time[32] = {};
                LVITEMW item{};
                item.cchTextMax = 32;
                item.pszText = date;
                SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
                item.iSubItem = 1;
                item.pszText = time;
                SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
                listed.push_back(std::wstring(date) + L" " + time);
            }
            qdtest::PressButton(qdtest::FindDescendantByText(dialog, L"取消(&C)"));
            qdtest::WaitUntilGone(dialog);
        });
        form->RestorePreviousList();
    }
    const auto before = Backups();
    ASSERT_EQ(before.size(), 20u);
    ASSERT_EQ(listed.size(), 20u);
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].File, written[19 - i]);
        const auto texts = qd::BackupRowTexts(before[i]);
        EXPECT_EQ(listed[i], texts[0] + L" " + texts[1]);
    }
    EXPECT_EQ(listed.back(), L"2099-01-01 00:00:00 #1");

    // The oldest is restored: the backup of the list before it is the newest, and the restored one
    // stays beside the other nineteen.
    form->RestoreFrom(written.front());
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(ModelRows(), (Rows{{L"k0", L"C:\\k"}}));
    EXPECT_TRUE(std::filesystem::exists(written.front()));
    const auto after = Backups();
    ASSERT_EQ(after.size(), 21u);
    EXPECT_EQ(Texts(qd::ReadBackupRows(after.front().File)), start);
    EXPECT_EQ(after.back().File, written.front());
    for (size_t i = 1; i < 20; ++i) EXPECT_EQ(after[i].File, written[20 - i]);
}

TEST_F(ListSafetyTest, WithoutBackupsTheDialogIsNotOpenedAndTheBoxSaysWhereTheyGo) {
    Start(start);
    qdtest::MessageBoxAnswerer box(IDOK);
    form->RestorePreviousList();
    EXPECT_EQ(box.Text(), tk::FormatText(qd::kNoBackupsText, {backups.wstring()}));
    EXPECT_EQ(ModelRows(), start);
}

TEST_F(ListSafetyTest, AStartAfterACutOffChangeWhoseSavedListIsGoneSaysSoAndShowsTheKeyAsItIs) {
    // A record of a write cut off before it raised the count (absent: 0), its recovery file gone.
    const std::wstring gone = (backups / "recovery-7-1-100.pwb").wstring();
    key.WriteString(qd::kRewriteRecordValue, qd::CrashRecordText({0, 7, 1, gone, false}));
    qdtest::MessageBoxCounter boxes(IDOK);
    Start(start);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{tk::FormatText(
                                 qd::kRecoveryUnusableText, {gone, L"The backup " + gone + L" is missing"})});
    EXPECT_EQ(ModelRows(), start);
    EXPECT_EQ(KeyRows(), start);  // the record is gone
}

}  // namespace
