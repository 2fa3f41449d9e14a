// The list as the folder menu reads it from the real registry: the store's reading rules, reading
// again exactly when the key changed, and adding a folder by the add command's rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "list/win/RegistryAccessor.h"
#include "menu/FolderList.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/win/Scoped.h"

namespace {

using qd::menu::FolderList;
using qd::menu::Shortcut;

std::vector<std::wstring> Aliases(const std::vector<Shortcut>& rows) {
    std::vector<std::wstring> aliases;
    for (const Shortcut& row : rows) aliases.push_back(row.Alias);
    return aliases;
}

TEST(FolderList, ReadsTheUnbrokenRunOfPairsAsTheEditorDoes) {
    qdtest::PrivateKey key;
    for (int i : {0, 1, 3, 4}) {
        key.WriteString(L"N" + std::to_wstring(i), L"a" + std::to_wstring(i));
        key.WriteString(L"P" + std::to_wstring(i), L"C:\\p" + std::to_wstring(i));
    }
    key.WriteString(L"N2", L"a2");  // P2 is missing: the list ends before row 2
    FolderList list(key.Path(), qd::RegistryAccessors());
    EXPECT_EQ(Aliases(list.Rows()), (std::vector<std::wstring>{L"a0", L"a1"}));
    EXPECT_EQ(list.Rows()[1].Path, L"C:\\p1");
    EXPECT_TRUE(list.Error().empty());
}

TEST(FolderList, AValueOfAnotherTypeKeepsTheRowsBeforeItAndSaysWhy) {
    qdtest::PrivateKey key;
    key.WriteString(L"N0", L"first");
    key.WriteString(L"P0", L"C:\\first");
    key.WriteDword(L"N1", 7);
    FolderList list(key.Path(), qd::RegistryAccessors());
    EXPECT_EQ(Aliases(list.Rows()), (std::vector<std::wstring>{L"first"}));
    EXPECT_EQ(list.Error(), L"Invalid data type for 'N1'");
}

TEST(FolderList, AKeyThatIsNotThereIsAnEmptyListUntilItIsMade) {
    qdtest::PrivateKey key;
    FolderList list(key.Path(), qd::RegistryAccessors());
    EXPECT_TRUE(list.Rows().empty());
    key.WriteString(L"N0", L"new");
    key.WriteString(L"P0", L"C:\\new");
    EXPECT_EQ(Aliases(list.Rows()), (std::vector<std::wstring>{L"new"}));
}

TEST(FolderList, ReadsAgainExactlyWhenTheKeyChanged) {
    qdtest::PrivateKey key;
    key.WriteString(L"N0", L"one");
    key.WriteString(L"P0", L"C:\\one");
    FolderList list(key.Path(), qd::RegistryAccessors());
    list.Rows();
    EXPECT_TRUE(list.ReadLastTime());
    list.Rows();
    EXPECT_FALSE(list.ReadLastTime()) << "an unchanged key was read again";

    // What the editor writes when it appends a row.
    key.WriteString(L"N1", L"two");
    key.WriteString(L"P1", L"C:\\two");
    EXPECT_EQ(Aliases(list.Rows()), (std::vector<std::wstring>{L"one", L"two"}));
    EXPECT_TRUE(list.ReadLastTime());

    // A changed text of a row that was there, and a deletion.
    key.WriteString(L"N0", L"uno");
    EXPECT_EQ(Aliases(list.Rows()), (std::vector<std::wstring>{L"uno", L"two"}));
    tk::TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key.Path(), false));
    reg.DeleteValue(L"P1");
    EXPECT_EQ(Aliases(list.Rows()), (std::vector<std::wstring>{L"uno"}));
}

TEST(FolderList, WhileAnotherProgramWritesTheMenuShowsItsLastWholeReadingNeverHalfAWrite) {
    qdtest::PrivateKey key;
    for (const wchar_t* n : {L"0", L"1"}) {
        key.WriteString(std::wstring(L"N") + n, std::wstring(L"row") + n);
        key.WriteString(std::wstring(L"P") + n, std::wstring(L"C:\\row") + n);
    }
    FolderList list(key.Path(), qd::RegistryAccessors());
    list.Rows();
    // Another program's writer holds the lock and has written the alias of a row, not yet its path.
    const tk::ScopedKernelHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const tk::ScopedKernelHandle finish(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread writer([&] {
        const tk::ScopedKernelHandle lock(CreateMutexW(nullptr, FALSE, qd::ListWriter::LockName(key.Path()).c_str()));
        WaitForSingleObject(lock.get(), INFINITE);
        key.WriteString(L"N0", L"half");
        SetEvent(held.get());
        WaitForSingleObject(finish.get(), INFINITE);
        key.WriteString(L"P0", L"C:\\whole");
        ReleaseMutex(lock.get());
    });
    ASSERT_EQ(WaitForSingleObject(held.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(Aliases(list.Rows()), (std::vector<std::wstring>{L"row0", L"row1"}));
    EXPECT_FALSE(list.ReadLastTime());
    SetEvent(finish.get());
    writer.join();
    // Read again at the next opening, whole.
    EXPECT_EQ(list.Rows()[0].Path, L"C:\\whole");
    EXPECT_EQ(list.Rows()[0].Alias, L"half");
}

TEST(FolderList, AChangeIsReportedToTheWindowOnceUntilTheNextReading) {
    qdtest::PrivateKey key;
    key.WriteString(L"N0", L"one");
    key.WriteString(L"P0", L"C:\\one");
    HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    constexpr UINT kChanged = WM_APP + 7;
    FolderList list(key.Path(), qd::RegistryAccessors());
    list.NotifyChanges(window, kChanged);
    list.Rows();
    key.WriteString(L"N0", L"uno");
    key.WriteString(L"P0", L"C:\\uno");
    MSG msg;
    EXPECT_TRUE(qdtest::PumpUntil([&] { return PeekMessageW(&msg, window, kChanged, kChanged, PM_REMOVE) != 0; }, 3000));
    Sleep(100);
    EXPECT_FALSE(PeekMessageW(&msg, window, kChanged, kChanged, PM_REMOVE)) << "reported twice";
    EXPECT_EQ(list.Rows()[0].Alias, L"uno");
    DestroyWindow(window);
}

TEST(FolderAddition, ByTheAddCommandsRulesAFolderIsAddedOnce) {
    const std::vector<Shortcut> rows{{L"Data", L"C:\\Data"}, {L"Root", L"D:\\"}, {L"下载", L"C:\\用户\\下载"}};
    struct Case {
        const wchar_t* folder;
        bool there;
        int row;
        const wchar_t* alias;
    } cases[] = {
        {L"C:\\Data", true, 0, L"Data"},
        {L"c:\\data\\", true, 0, L"Data"},       // letter case and a trailing backslash do not matter
        {L"D:\\", true, 1, L"Root"},
        {L"D:", true, 1, L"Root"},               // a backslash is added before comparing
        {L"C:\\用户\\下载", true, 2, L"下载"},
        {L"C:\\Data\\Old", false, -1, L"Old"},   // the alias is the folder's name
        {L"E:\\", false, -1, L"E:\\"},           // a root names itself
        {L"C:\\DATA2", false, -1, L"DATA2"},
    };
    for (const Case& c : cases) {
        const qd::menu::FolderAddition plan = qd::menu::PlanFolderAddition(rows, c.folder);
        EXPECT_EQ(plan.AlreadyThere, c.there) << plan.Alias.size();
        EXPECT_EQ(plan.ExistingRow, c.row);
        EXPECT_EQ(plan.Alias, c.alias);
    }
}

TEST(FolderAddition, AppendsTheRowAfterTheLastOneInTheKeyAndOnlyOnce) {
    qdtest::PrivateKey key;
    key.WriteString(L"N0", L"one");
    key.WriteString(L"P0", L"C:\\one");
    FolderList list(key.Path(), qd::RegistryAccessors());
    list.Rows();
    // The editor appended a row after the menu last read the list: the new one goes after it.
    key.WriteString(L"N1", L"two");
    key.WriteString(L"P1", L"C:\\two");
    const auto added = qd::menu::AddFolderToList(list, L"C:\\Users\\Public\\Documents");
    EXPECT_FALSE(added.AlreadyThere);
    EXPECT_EQ(key.Read(L"N2"), L"Documents");
    EXPECT_EQ(key.Read(L"P2"), L"C:\\Users\\Public\\Documents");
    const auto again = qd::menu::AddFolderToList(list, L"c:\\users\\public\\documents\\");
    EXPECT_TRUE(again.AlreadyThere);
    EXPECT_EQ(again.ExistingRow, 2);
    EXPECT_FALSE(key.Has(L"N3"));
    EXPECT_EQ(list.Rows().size(), 3u);
}

TEST(FolderAddition, ABrokenListIsNotWrittenInto) {
    qdtest::PrivateKey key;
    key.WriteString(L"N0", L"one");
    key.WriteString(L"P0", L"C:\\one");
    key.WriteDword(L"N1", 3);
    FolderList list(key.Path(), qd::RegistryAccessors());
    try {
        qd::menu::AddFolderToList(list, L"C:\\Windows");
        FAIL() << "no error";
    } catch (const tk::ERegistryException& e) {
        EXPECT_EQ(e.Message(), L"Invalid data type for 'N1'");
    }
    EXPECT_FALSE(key.Has(L"P1"));
}

}  // namespace
