// The crash record around rewrites of many value pairs, on a private registry key and real
// files: what is on the disk, in which order, when a rewrite starts, fails part-way, or is cut
// off, and what the next start makes of the record.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "list/win/Backup.h"
#include "app/BulkRewrite.h"
#include "list/win/RegistryAccessor.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"

namespace {

using qd::ShortcutRow;
using Rows = std::vector<ShortcutRow>;
using Values = std::map<std::wstring, std::wstring>;

// The real registry accessor, writing down each write, deletion and flush ("write N0=a",
// "delete P3", "flush") and first telling the check, which may refuse the operation by throwing
// as the registry does.
class Scripted : public qd::RegistryAccessor {
public:
    using Check = std::function<void(const std::wstring& operation)>;
    Scripted(std::vector<std::wstring>& log, const Check& check) : log_(log), check_(check) {}
    void WriteString(const std::wstring& name, const std::wstring& text) override {
        Do(L"write " + name + L"=" + text, [&] { RegistryAccessor::WriteString(name, text); });
    }
    void DeleteValue(const std::wstring& name) override {
        Do(L"delete " + name, [&] { RegistryAccessor::DeleteValue(name); });
    }
    void Flush() override {
        Do(L"flush", [&] { RegistryAccessor::Flush(); });
    }

private:
    void Do(const std::wstring& operation, const std::function<void()>& work) {
        if (check_) check_(operation);
        log_.push_back(operation);
        work();
    }
    std::vector<std::wstring>& log_;
    const Check& check_;
};

// Refuses every write from the one whose text begins with the given one on (a key that turns
// read-only), as the registry refuses it.
Scripted::Check RefuseFrom(const std::wstring& first) {
    auto refusing = std::make_shared<bool>(false);
    return [first, refusing](const std::wstring& operation) {
        if (operation.rfind(first, 0) == 0) *refusing = true;
        if (*refusing && operation.rfind(L"write ", 0) == 0) {
            const std::wstring name = operation.substr(6, operation.find(L'=') - 6);
            throw tk::ERegistryException(L"Failed to set data for '" + name + L"'");
        }
    };
}

Rows Numbered(int n, const std::wstring& prefix = L"row") {
    Rows rows;
    for (int i = 0; i < n; ++i) rows.push_back({prefix + std::to_wstring(i), L"C:\\" + prefix + std::to_wstring(i)});
    return rows;
}

Values ValuesOf(const Rows& rows) {
    Values values;
    for (size_t i = 0; i < rows.size(); ++i) {
        values[qd::AliasValueName(static_cast<int>(i))] = rows[i].Alias;
        values[qd::PathValueName(static_cast<int>(i))] = rows[i].Path;
    }
    return values;
}

class BulkRewriteTest : public testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, value] : ValuesOf(before)) key.WriteString(name, value);
        key.WriteString(L"Setting", L"C:\\Tools\\Quiverdir.exe");
    }
    // Every value of the key by name.
    Values KeyValues() {
        Values values;
        for (const std::wstring& name : key.ValueNames()) values[name] = key.Read(name);
        return values;
    }
    Values BeforeValues() {
        Values values = ValuesOf(before);
        values[L"Setting"] = L"C:\\Tools\\Quiverdir.exe";
        return values;
    }
    std::vector<std::wstring> FilesIn(const std::filesystem::path& where) {
        std::vector<std::wstring> names;
        if (std::filesystem::exists(where))
            for (const auto& e : std::filesystem::directory_iterator(where)) names.push_back(e.path().filename().wstring());
        return names;
    }
    // The rewrites under test: the list reversed, and three rows appended.
    void WriteReversed() {
        Rows reversed(before.rbegin(), before.rend());
        qd::RowsOf rows(reversed);
        store.WriteItemRange(key.Path(), 0, static_cast<int>(reversed.size()) - 1, rows);
    }
    void WriteAppended() {
        Rows longer = before;
        for (const ShortcutRow& row : Numbered(3, L"new")) longer.push_back(row);
        qd::RowsOf rows(longer);
        store.WriteItemRange(key.Path(), static_cast<int>(before.size()), static_cast<int>(longer.size()) - 1, rows);
    }
    std::wstring Run(const std::function<void()>& write) {
        try {
            qd::RunBulkRewrite(place, before, write);
        } catch (const tk::Exception& e) {
            return e.Message();
        }
        return L"";
    }

    qdtest::PrivateKey key;
    qdtest::TempDir dir;
    std::filesystem::path folder = dir / "backups";
    Rows before = Numbered(5);
    std::vector<std::wstring> log;
    Scripted::Check check;
    Rows noRows;
    qd::RowsOf unused{noRows};  // the store's own list: every write here names its rows
    qd::ShortcutStore store{[this] { return std::make_unique<Scripted>(log, check); }, unused};
    qd::RewritePlace place{store, key.Path(), {folder.wstring()}};
};

TEST_F(BulkRewriteTest, TheRecordNamesTheWholeSavedListBeforeAnyPairChangesAndGoesAfterTheFlush) {
    std::wstring recordFile;
    Rows savedAtRecord;
    check = [&](const std::wstring& operation) {
        const std::wstring prefix = std::wstring(L"write ") + qd::kRewriteRecordValue + L"=";
        if (operation.rfind(prefix, 0) != 0) return;
        recordFile = operation.substr(prefix.size());
        savedAtRecord = qd::ReadBackupRows(recordFile);
    };
    EXPECT_EQ(Run([&] { WriteReversed(); }), L"");

    // The file the record named held the list before, whole, when the record was written.
    ASSERT_FALSE(recordFile.empty());
    EXPECT_EQ(std::filesystem::path(recordFile).parent_path(), folder);
    ASSERT_EQ(savedAtRecord.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(savedAtRecord[i].Alias, before[i].Alias);
    // The record, then the pairs, then the flush, then the record goes.
    const auto at = [&](const std::wstring& prefix) {
        return std::find_if(log.begin(), log.end(), [&](const std::wstring& l) { return l.rfind(prefix, 0) == 0; }) -
               log.begin();
    };
    const auto record = at(std::wstring(L"write ") + qd::kRewriteRecordValue);
    EXPECT_EQ(record, 0);
    EXPECT_LT(record, at(L"write N0"));
    EXPECT_LT(at(L"write P4"), at(L"flush"));
    EXPECT_EQ(at(L"flush") + 1, at(std::wstring(L"delete ") + qd::kRewriteRecordValue));
    EXPECT_EQ(log.back(), std::wstring(L"delete ") + qd::kRewriteRecordValue);
    // Done: the new list, no record, no recovery backup left.
    Values expected = ValuesOf(Rows(before.rbegin(), before.rend()));
    expected[L"Setting"] = L"C:\\Tools\\Quiverdir.exe";
    EXPECT_EQ(KeyValues(), expected);
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(BulkRewriteTest, WhenEvenThePuttingBackIsRefusedTheNextStartPutsTheListBack) {
    struct Case {
        const char* name;
        std::function<void()> write;
        std::wstring refuseFrom;
        Values cutOff;  // what the key holds after the cut
    };
    Values reversedHalf = BeforeValues(), appendedHalf = BeforeValues();
    reversedHalf[L"N0"] = L"row4", reversedHalf[L"P0"] = L"C:\\row4";
    reversedHalf[L"N1"] = L"row3", reversedHalf[L"P1"] = L"C:\\row3";
    appendedHalf[L"N5"] = L"new0", appendedHalf[L"P5"] = L"C:\\new0";
    appendedHalf[L"N6"] = L"new1";
    const std::vector<Case> cases = {
        {"reversed", [&] { WriteReversed(); }, L"write N2", reversedHalf},
        {"appended", [&] { WriteAppended(); }, L"write P6", appendedHalf},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        check = RefuseFrom(c.refuseFrom);
        const std::wstring name = c.refuseFrom.substr(6);
        EXPECT_EQ(Run(c.write), tk::FormatText(qd::kRewriteLeftForNextStart,
                                              {L"Failed to set data for '" + name + L"'", L"Failed to set data for 'N0'"}));
        // The record stays, naming the saved list.
        Values cut = c.cutOff;
        const std::wstring file = key.Read(qd::kRewriteRecordValue);
        cut[qd::kRewriteRecordValue] = file;
        EXPECT_EQ(KeyValues(), cut);
        EXPECT_EQ(qd::ReadBackupRows(file).size(), before.size());

        // A start whose putting back is refused too keeps the record for the next one.
        qd::RecoveryOutcome outcome = qd::RecoverUnfinishedRewrite(store, key.Path());
        EXPECT_EQ(outcome.What, qd::RecoveryOutcome::Kind::Failed);
        EXPECT_EQ(qd::RecoveryMessage(outcome), tk::FormatText(qd::kRecoveryFailedText, {L"Failed to set data for 'N0'"}));
        EXPECT_EQ(key.Read(qd::kRewriteRecordValue), file);

        check = nullptr;
        outcome = qd::RecoverUnfinishedRewrite(store, key.Path());
        EXPECT_EQ(outcome.What, qd::RecoveryOutcome::Kind::Restored);
        EXPECT_EQ(outcome.Rows, 5);
        EXPECT_EQ(qd::RecoveryMessage(outcome), tk::FormatText(qd::kRecoveredText, {L"5"}));
        EXPECT_EQ(KeyValues(), BeforeValues());  // the appended pairs are gone too
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(qd::RecoverUnfinishedRewrite(store, key.Path()).What, qd::RecoveryOutcome::Kind::None);
    }
}

TEST_F(BulkRewriteTest, WithoutASavedListTheRewriteDoesNotStart) {
    std::ofstream(dir / "file") << "x";
    place.Folders = {L"", (dir / "file" / "a").wstring(), (dir / "file" / "b").wstring()};
    bool wrote = false;
    const std::wstring error = Run([&] {
        wrote = true;
        WriteReversed();
    });
    EXPECT_EQ(error.rfind(L"The list was not changed: no copy of it could be saved before the change.\r\n", 0), 0u)
        << tk::ToUtf8(error);
    EXPECT_NE(error.find((dir / "file" / "b").wstring()), std::wstring::npos);
    EXPECT_FALSE(wrote);
    EXPECT_EQ(KeyValues(), BeforeValues());
    EXPECT_TRUE(log.empty());

    // The next folder that takes it is used.
    place.Folders.push_back(folder.wstring());
    EXPECT_EQ(Run([&] { WriteReversed(); }), L"");
}

TEST_F(BulkRewriteTest, ARecordWhoseFileCannotBeUsedNeverChangesTheList) {
    // The key as a cut-off rewrite left it: rows 0 and 1 already rewritten.
    key.WriteString(L"N0", L"row4");
    key.WriteString(L"N1", L"row3");
    const Values cut = KeyValues();
    const std::filesystem::path damaged = dir / "damaged.pwb";
    std::ofstream(damaged, std::ios::binary) << "[PathWarden]\r\nCount=9\r\nN0=a\r\nP0=C:\\a\r\n";
    struct Case {
        const char* name;
        std::function<void()> record;
        std::wstring file, error;
    };
    const std::wstring missing = (dir / "gone.pwb").wstring();
    const std::vector<Case> cases = {
        {"missing", [&] { key.WriteString(qd::kRewriteRecordValue, missing); }, missing,
         L"The backup " + missing + L" is missing"},
        {"damaged", [&] { key.WriteString(qd::kRewriteRecordValue, damaged.wstring()); }, damaged.wstring(),
         L"The backup " + damaged.wstring() + L" is damaged: entry 2 of 9 is missing"},
        {"not text", [&] { key.WriteDword(qd::kRewriteRecordValue, 7); }, L"?",
         std::wstring(L"Invalid data type for '") + qd::kRewriteRecordValue + L"'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.record();
        const qd::RecoveryOutcome outcome = qd::RecoverUnfinishedRewrite(store, key.Path());
        EXPECT_EQ(outcome.What, qd::RecoveryOutcome::Kind::Unusable);
        EXPECT_EQ(qd::RecoveryMessage(outcome), tk::FormatText(qd::kRecoveryUnusableText, {c.file, c.error}));
        // The list as it was; the record gone, so the message comes once.
        EXPECT_EQ(KeyValues(), cut);
        EXPECT_EQ(qd::RecoverUnfinishedRewrite(store, key.Path()).What, qd::RecoveryOutcome::Kind::None);
    }
    EXPECT_TRUE(std::filesystem::exists(damaged));
}

}  // namespace
