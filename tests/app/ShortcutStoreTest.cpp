// The store against the real registry, under a key of each test's own. A recording wrapper
// around the registry accessor lists the operations each store call performs; a key whose
// permissions allow reading only shows what a real refusal does.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "list/win/RegistryAccessor.h"
#include "list/ShortcutStore.h"
#include "tests/app/ReadOnlyKey.h"
#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Registry.h"

namespace {

using qd::KeyValueAccessor;

struct Rows : qd::ShortcutRows {
    std::vector<std::pair<std::wstring, std::wstring>> rows;
    int RowCount() override { return static_cast<int>(rows.size()); }
    std::wstring Alias(int i) override { return rows.at(static_cast<size_t>(i)).first; }
    std::wstring Path(int i) override { return rows.at(static_cast<size_t>(i)).second; }
    void AppendRow(const std::wstring& a, const std::wstring& p) override { rows.emplace_back(a, p); }
};

// The real registry accessor, with every opening, closing, write and deletion written down. A
// write to the value named in failWrite fails as a refused registry write does.
class Recording : public qd::RegistryAccessor {
public:
    Recording(std::vector<std::wstring>& log, const std::wstring& failWrite) : log_(log), failWrite_(failWrite) {}
    // An opening the key refuses is written down with " refused".
    bool OpenKeyReadOnly(const std::wstring& path) override {
        return Opened(L"open to read", RegistryAccessor::OpenKeyReadOnly(path));
    }
    bool OpenKey(const std::wstring& path, bool create) override {
        return Opened(create ? L"open+create" : L"open", RegistryAccessor::OpenKey(path, create));
    }
    void CloseKey() override {
        log_.push_back(L"close");
        RegistryAccessor::CloseKey();
    }
    void WriteString(const std::wstring& name, const std::wstring& text) override {
        log_.push_back(L"write " + name + L"=" + text);
        if (name == failWrite_) throw tk::ERegistryException(L"Failed to set data for '" + name + L"'");
        RegistryAccessor::WriteString(name, text);
    }
    void DeleteValue(const std::wstring& name) override {
        log_.push_back(L"delete " + name);
        RegistryAccessor::DeleteValue(name);
    }

private:
    bool Opened(const std::wstring& what, bool opened) {
        log_.push_back(opened ? what : what + L" refused");
        return opened;
    }
    std::vector<std::wstring>& log_;
    const std::wstring& failWrite_;
};

class StoreTest : public testing::Test {
protected:
    qdtest::PrivateKey key;
    Rows rows;
    std::vector<std::wstring> log;
    std::wstring failWrite;
    qd::ShortcutStore store{[this] { return std::make_unique<Recording>(log, failWrite); }, rows};

    // Every opening that succeeded was followed by exactly one closing before the next opening,
    // and the last operation left the key closed.
    void ExpectEveryOpenedKeyClosed() const {
        bool open = false;
        for (const auto& l : log) {
            if (l.rfind(L"open", 0) == 0 && !l.ends_with(L" refused")) {
                EXPECT_FALSE(open) << "opened again before closing";
                open = true;
            } else if (l == L"close") {
                EXPECT_TRUE(open) << "closed without an opening";
                open = false;
            }
        }
        EXPECT_FALSE(open) << "the key was left open";
    }

    // The operations that changed something (writes and deletions), in order.
    std::vector<std::wstring> Changes() const {
        std::vector<std::wstring> out;
        for (const auto& l : log)
            if (l.rfind(L"write", 0) == 0 || l.rfind(L"delete", 0) == 0) out.push_back(l);
        return out;
    }
    void Store(int count) {
        for (int i = 0; i < count; ++i) {
            key.WriteString(qd::AliasValueName(i), L"alias" + std::to_wstring(i));
            key.WriteString(qd::PathValueName(i), L"C:\\dir" + std::to_wstring(i));
        }
    }
};

TEST_F(StoreTest, LoadStopsAtTheFirstBrokenPairAndLeavesTheRestAlone) {
    Store(5);
    key.WriteString(L"P2", L"");  // present but empty ends the list as an absent value does
    store.LoadItems(key.Path());
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[1], std::make_pair(std::wstring(L"alias1"), std::wstring(L"C:\\dir1")));
    EXPECT_TRUE(Changes().empty());
    EXPECT_EQ(key.Read(L"N4"), L"alias4");
    EXPECT_EQ(key.Read(L"P3"), L"C:\\dir3");
}

TEST_F(StoreTest, LoadOfAnEmptyFirstAliasGivesAnEmptyListAndAppendsToExistingRows) {
    Store(3);
    key.WriteString(L"N0", L"");
    store.LoadItems(key.Path());
    EXPECT_TRUE(rows.rows.empty());

    key.WriteString(L"N0", L"back");
    rows.AppendRow(L"kept", L"C:\\kept");
    store.LoadItems(key.Path());
    ASSERT_EQ(rows.rows.size(), 4u);
    EXPECT_EQ(rows.rows[0].first, L"kept");
    EXPECT_EQ(rows.rows[1].first, L"back");
}

TEST_F(StoreTest, ANonStringValueNamesItselfAndKeepsTheRowsBeforeIt) {
    Store(4);
    key.WriteDword(L"P2", 7);
    try {
        store.LoadItems(key.Path());
        FAIL() << "a DWORD value loaded as text";
    } catch (const tk::ERegistryException& e) {
        EXPECT_EQ(e.Message(), L"Invalid data type for 'P2'");
    }
    EXPECT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"open to read", L"close"}));
    store.WriteRegString(key.Path(), L"N9", L"x");
    EXPECT_EQ(key.Read(L"N9"), L"x");
}

TEST_F(StoreTest, FirstRunSeedsTwoShortcutsAndRecordsTheProgram) {
    store.SeedStore(key.Path(), L"C:\\windows");
    store.RecordExePath(key.Path(), L"C:\\Program Files\\Quiverdir\\Quiverdir.exe");
    EXPECT_EQ(Changes(), (std::vector<std::wstring>{
                             L"write N0=Windows安装目录", L"write P0=C:\\windows", L"write N1=C:\\",
                             L"write P1=C:\\", L"write Setting=C:\\Program Files\\Quiverdir\\Quiverdir.exe"}));
    store.LoadItems(key.Path());
    ASSERT_EQ(rows.rows.size(), 2u);
    EXPECT_EQ(rows.rows[0].first, L"Windows安装目录");
    EXPECT_EQ(rows.rows[1].second, L"C:\\");
}

TEST_F(StoreTest, AnExistingEmptyKeyIsNotSeededButGetsTheProgramPath) {
    key.WriteString(L"Other", L"x");
    store.SeedStore(key.Path(), L"C:\\windows");
    store.RecordExePath(key.Path(), L"C:\\q.exe");
    EXPECT_EQ(Changes(), std::vector<std::wstring>{L"write Setting=C:\\q.exe"});
    store.LoadItems(key.Path());
    EXPECT_TRUE(rows.rows.empty());
}

TEST_F(StoreTest, SettingIsRewrittenUnlessItMatchesExactly) {
    key.WriteString(L"Setting", L"C:\\Q.EXE");
    store.RecordExePath(key.Path(), L"C:\\q.exe");
    EXPECT_EQ(Changes(), std::vector<std::wstring>{L"write Setting=C:\\q.exe"});
    log.clear();
    store.RecordExePath(key.Path(), L"C:\\q.exe");
    EXPECT_TRUE(Changes().empty());
}

TEST_F(StoreTest, WriteBackOfEachListChange) {
    Store(3);
    store.LoadItems(key.Path());

    // Appended row.
    log.clear();
    rows.AppendRow(L"new", L"D:\\new");
    store.WriteRegString(key.Path(), qd::AliasValueName(3), L"new");
    store.WriteRegString(key.Path(), qd::PathValueName(3), L"D:\\new");
    EXPECT_EQ(Changes(), (std::vector<std::wstring>{L"write N3=new", L"write P3=D:\\new"}));

    // Row 1 moved up: rows 0 and 1 exchanged, then exactly N0, P0, N1, P1 rewritten.
    log.clear();
    std::swap(rows.rows[0], rows.rows[1]);
    store.WriteItemRange(key.Path(), 0, 1);
    EXPECT_EQ(Changes(), (std::vector<std::wstring>{L"write N0=alias1", L"write P0=C:\\dir1", L"write N1=alias0",
                                                    L"write P1=C:\\dir0"}));

    // Row 1 of four deleted: the rows that moved up are rewritten, then the old last pair goes.
    log.clear();
    rows.rows.erase(rows.rows.begin() + 1);
    const int n = rows.RowCount();
    store.WriteItemRange(key.Path(), 1, n - 1);
    store.DeleteItemValues(key.Path(), n);
    EXPECT_EQ(Changes(), (std::vector<std::wstring>{L"write N1=alias2", L"write P1=C:\\dir2", L"write N2=new",
                                                    L"write P2=D:\\new", L"delete N3", L"delete P3"}));
    EXPECT_FALSE(key.Has(L"N3"));
    EXPECT_FALSE(key.Has(L"P3"));
}

TEST_F(StoreTest, DeletingTheOnlyRowRemovesItsPairAndWritesNothing) {
    Store(1);
    store.LoadItems(key.Path());
    rows.rows.clear();
    log.clear();
    store.DeleteItemValues(key.Path(), 0);
    store.WriteItemRange(key.Path(), 0, -1);
    EXPECT_EQ(Changes(), (std::vector<std::wstring>{L"delete N0", L"delete P0"}));
    EXPECT_EQ(log, (std::vector<std::wstring>{L"open", L"delete N0", L"delete P0", L"close"}));
}

TEST_F(StoreTest, RangesReachingPastTheListWriteNothing) {
    Store(2);
    store.LoadItems(key.Path());
    log.clear();
    store.WriteItemRange(key.Path(), 0, 2);  // last past the end: the key opens, nothing is written
    EXPECT_EQ(log, (std::vector<std::wstring>{L"open+create", L"close"}));
    log.clear();
    store.WriteItemRange(key.Path(), 2, 2);  // first past the end: not even opened
    store.WriteItemRange(key.Path(), 1, 0);  // reversed range
    EXPECT_TRUE(Changes().empty());
    EXPECT_EQ(log, (std::vector<std::wstring>{L"open+create", L"close"}));
}

TEST_F(StoreTest, EveryOperationThatOpensTheKeyClosesItAlsoWhenItFails) {
    Store(3);
    store.LoadItems(key.Path());
    store.WriteItemRange(key.Path(), 0, 2);
    store.DeleteItemValues(key.Path(), 2);
    store.WriteRegString(key.Path(), L"N5", L"x");
    store.RecordExePath(key.Path(), L"C:\\q.exe");
    store.SeedStore(key.Path(), L"C:\\windows");
    ExpectEveryOpenedKeyClosed();
    EXPECT_EQ(std::count(log.begin(), log.end(), L"close"), 6);

    // A refused write names its value, keeps what was written before it and still closes the key.
    log.clear();
    failWrite = L"N1";
    EXPECT_THROW(store.WriteItemRange(key.Path(), 0, 2), tk::ERegistryException);
    EXPECT_THROW(store.WriteRegString(key.Path(), L"N1", L"y"), tk::ERegistryException);
    failWrite = L"Setting";
    try {
        store.RecordExePath(key.Path(), L"C:\\other.exe");
        FAIL() << "a refused write reported success";
    } catch (const tk::ERegistryException& e) {
        EXPECT_EQ(e.Message(), L"Failed to set data for 'Setting'");
    }
    ExpectEveryOpenedKeyClosed();
    EXPECT_EQ(key.Read(L"N0"), L"alias0");

    // A value of another type stops a load with the key closed.
    log.clear();
    key.WriteDword(L"N1", 1);
    EXPECT_THROW(store.LoadItems(key.Path()), tk::ERegistryException);
    ExpectEveryOpenedKeyClosed();
}

TEST_F(StoreTest, DeletingFromAKeyThatDoesNotExistCreatesNothing) {
    store.DeleteItemValues(key.Path(), 0);
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(tk::TRegistry().KeyExists(key.Path()));
}

TEST_F(StoreTest, AKeyThatCanBeReadButNotWrittenLoadsAndRefusesEveryChangeByName) {
    Store(2);
    key.WriteString(L"Setting", L"C:\\q.exe");
    qdtest::ReadOnlyKey readOnly(key.Path());
    ASSERT_TRUE(readOnly.Applied());
    const auto before = key.ValueNames();

    // Reading needs read access only.
    store.LoadItems(key.Path());
    EXPECT_EQ(rows.rows.size(), 2u);
    store.SeedStore(key.Path(), L"C:\\windows");   // the key exists: nothing to write
    store.RecordExePath(key.Path(), L"C:\\q.exe");  // unchanged: nothing to write
    EXPECT_TRUE(Changes().empty());

    // Every change opens the key for writing, which the key refuses, naming itself.
    const std::wstring refused = L"Failed to open key '" + key.Path() + L"' for writing";
    const std::vector<std::function<void()>> changes = {
        [&] { store.WriteRegString(key.Path(), L"N2", L"x"); },
        [&] { store.WriteItemRange(key.Path(), 0, 1); },
        [&] { store.DeleteItemValues(key.Path(), 1); },
        [&] { store.RecordExePath(key.Path(), L"C:\\other.exe"); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        try {
            changes[i]();
            ADD_FAILURE() << "change " << i << " reported success";
        } catch (const tk::ERegistryException& e) {
            EXPECT_EQ(e.Message(), refused) << "change " << i;
        }
    }
    EXPECT_TRUE(Changes().empty());
    EXPECT_EQ(std::count(log.begin(), log.end(), L"open+create refused"), 3);
    EXPECT_EQ(key.ValueNames(), before);
    EXPECT_EQ(key.Read(L"P1"), L"C:\\dir1");
    ExpectEveryOpenedKeyClosed();
}

// The rows a text of letters stands for: alias a with path A, and so on.
Rows Letters(const std::wstring& letters) {
    Rows r;
    for (wchar_t c : letters) r.rows.emplace_back(std::wstring(1, c), std::wstring(1, tk::AsciiUpper(c)));
    return r;
}

TEST_F(StoreTest, ARewriteWritesOnlyTheRowsThatDifferAndNeverLosesARowWhenItStopsPartWay) {
    struct Case {
        const wchar_t* from;
        const wchar_t* to;
        const wchar_t* failAt;   // the value whose write is refused, or empty
        std::wstring changes;    // the writes (N0=a) and deletions (-N2) in order
        const wchar_t* stored;   // the list the key holds afterwards
    };
    const Case cases[] = {
        // A row inserted in front is written from the end backwards.
        {L"abc", L"xabc", L"", L"N3=c P3=C N2=b P2=B N1=a P1=A N0=x P0=X", L"xabc"},
        // A row removed in front: from the front, then the pair off the end goes.
        {L"abc", L"bc", L"", L"N0=b P0=B N1=c P1=C -N2 -P2", L"bc"},
        {L"abcd", L"acbd", L"", L"N1=c P1=C N2=b P2=B", L"acbd"},  // an exchange: its two pairs
        {L"abcab", L"abxab", L"", L"N2=x P2=X", L"abxab"},
        {L"a", L"ab", L"", L"N1=b P1=B", L"ab"},
        {L"abc", L"a", L"", L"-N1 -P1 -N2 -P2", L"a"},
        {L"abc", L"abc", L"", L"", L"abc"},
        // Stopped by a refused write: every row of the list before is still in the key.
        {L"abc", L"xabc", L"N1", L"N3=c P3=C N2=b P2=B N1=a", L"abbc"},
        {L"abc", L"xabc", L"N0", L"N3=c P3=C N2=b P2=B N1=a P1=A N0=x", L"aabc"},
        {L"abc", L"bc", L"N1", L"N0=b P0=B N1=c", L"bbc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(tk::ToUtf8(std::wstring(c.from) + L" -> " + c.to + L" " + c.failAt));
        tk::TRegistry().DeleteKey(key.Path());
        Rows from = Letters(c.from), to = Letters(c.to);
        for (int i = 0; i < from.RowCount(); ++i) {
            key.WriteString(qd::AliasValueName(i), from.Alias(i));
            key.WriteString(qd::PathValueName(i), from.Path(i));
        }
        log.clear();
        failWrite = c.failAt;
        if (*c.failAt) {
            EXPECT_THROW(store.RewriteRows(key.Path(), from, to), tk::ERegistryException);
        } else {
            store.RewriteRows(key.Path(), from, to);
        }
        std::wstring changes;
        for (const std::wstring& l : Changes()) changes += (changes.empty() ? L"" : L" ") + (l[0] == L'w' ? l.substr(6) : L"-" + l.substr(7));
        EXPECT_EQ(changes, c.changes);
        EXPECT_EQ(std::count(log.begin(), log.end(), L"open+create"), changes.empty() ? 0 : 1);
        ExpectEveryOpenedKeyClosed();
        Rows stored;
        store.LoadItems(key.Path(), stored);
        EXPECT_EQ(stored.rows, Letters(c.stored).rows);
    }
    failWrite.clear();
}

TEST(RegistryAccessor, AValueTheKeyWillNotLetGoIsAnErrorAndAnAbsentOneIsNot) {
    qdtest::PrivateKey key;
    key.WriteString(L"N0", L"kept");
    qd::RegistryAccessor accessor;
    ASSERT_TRUE(accessor.OpenKeyReadOnly(key.Path()));
    try {
        accessor.DeleteValue(L"N0");
        FAIL() << "deleted through a key opened for reading";
    } catch (const tk::ERegistryException& e) {
        EXPECT_EQ(e.Message(), L"Failed to delete 'N0'");
    }
    EXPECT_EQ(key.Read(L"N0"), L"kept");
    ASSERT_TRUE(accessor.OpenKey(key.Path(), false));
    accessor.DeleteValue(L"N0");
    accessor.DeleteValue(L"Absent");
    accessor.CloseKey();
    EXPECT_FALSE(key.Has(L"N0"));
}

}  // namespace
