// The list's writer on a private registry key and real files: the order of what reaches the key
// and the disk, the putting back of a failed write, the recovery check's cases, the pairs left
// beyond a gap, the change decided on the fresh list, and the lock.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "app/CommandLine.h"
#include "list/win/ListWriter.h"
#include "list/win/RegistryAccessor.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Exception.h"
#include "toolkit/Text.h"
#include "toolkit/win/Registry.h"
#include "toolkit/win/Scoped.h"

namespace {

using qd::ShortcutRow;
using Rows = std::vector<ShortcutRow>;
using Values = std::map<std::wstring, std::wstring>;
using Kind = qd::RecoveryOutcome::Kind;

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
    bool OpenKey(const std::wstring& path, bool create) override {
        log_.push_back(L"open for writing");
        return RegistryAccessor::OpenKey(path, create);
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

std::vector<std::wstring> Aliases(const Rows& rows) {
    std::vector<std::wstring> aliases;
    for (const ShortcutRow& r : rows) aliases.push_back(r.Alias);
    return aliases;
}

qd::ListChange To(const Rows& rows) {
    return [rows](const Rows&) { return rows; };
}

class ListWriterTest : public testing::Test {
protected:
    void SetUp() override {
        for (const auto& [name, value] : ValuesOf(before)) key.WriteString(name, value);
        key.WriteString(L"Setting", L"C:\\Tools\\Quiverdir.exe");
        settings.KeyPath = key.Path();
        settings.Accessors = [this] { return std::make_unique<Scripted>(log, check); };
        settings.BackupFolder = folder.wstring();
        settings.FallbackFolders.clear();
    }
    Values KeyValues() {
        Values values;
        for (const std::wstring& name : key.ValueNames()) values[name] = key.Read(name);
        return values;
    }
    Values With(Values values, std::initializer_list<std::pair<const std::wstring, std::wstring>> more) {
        values[L"Setting"] = L"C:\\Tools\\Quiverdir.exe";
        for (const auto& [name, value] : more) values[name] = value;
        return values;
    }
    std::vector<std::wstring> FilesIn(const std::filesystem::path& where) {
        std::vector<std::wstring> names;
        if (std::filesystem::exists(where))
            for (const auto& e : std::filesystem::directory_iterator(where)) names.push_back(e.path().filename().wstring());
        return names;
    }
    std::wstring Apply(const qd::ListChange& change) {
        try {
            qd::ListWriter(settings).Apply(change);
        } catch (const tk::Exception& e) {
            return e.Message();
        }
        return L"";
    }
    // Every value of the key gone.
    void Clear() {
        tk::TRegistry registry;
        ASSERT_TRUE(registry.OpenKey(key.Path(), true));
        for (const std::wstring& name : registry.ValueNames()) registry.DeleteValue(name);
    }
    qd::RecoveryOutcome Recover() { return qd::ListWriter(settings).Recover(); }
    // A recovery file of the writer's naming in the backups folder, holding rows.
    std::wstring OurFile(const Rows& rows, const wchar_t* name = L"recovery-12-1-345.pwb") {
        std::filesystem::create_directories(folder);
        const std::wstring file = (folder / name).wstring();
        qd::WriteBackupFile(file, rows, true);
        return file;
    }
    std::wstring Record(std::uint64_t startCount, const std::wstring& file) {
        return qd::CrashRecordText({startCount, 12, 99, file, false});
    }

    qdtest::PrivateKey key;
    qdtest::TempDir dir;
    std::filesystem::path folder = dir / "backups";
    Rows before = Numbered(5);
    std::vector<std::wstring> log;
    Scripted::Check check;
    qd::WriterSettings settings;
};

TEST_F(ListWriterTest, TheRecordNamesTheWholeSavedListBeforeAnyPairChangesAndGoesAfterTheCountAndTheFlush) {
    std::wstring recordText;
    Rows savedAtRecord;
    check = [&](const std::wstring& operation) {
        const std::wstring prefix = std::wstring(L"write ") + qd::kRewriteRecordValue + L"=";
        if (operation.rfind(prefix, 0) != 0) return;
        recordText = operation.substr(prefix.size());
        savedAtRecord = qd::ReadBackupRows(qd::ParseCrashRecord(recordText)->File);
    };
    const Rows reversed(before.rbegin(), before.rend());
    EXPECT_EQ(Apply(To(reversed)), L"");

    // The record: the count it started from, this process, and the file of the list before,
    // whole when the record was written.
    const auto record = qd::ParseCrashRecord(recordText);
    ASSERT_TRUE(record);
    EXPECT_FALSE(record->Legacy);
    EXPECT_EQ(record->StartCount, 0u);
    EXPECT_EQ(record->Pid, GetCurrentProcessId());
    EXPECT_EQ(std::filesystem::path(record->File).parent_path(), folder);
    EXPECT_TRUE(qd::IsRecoveryFileName(std::filesystem::path(record->File).filename().wstring()));
    EXPECT_EQ(Aliases(savedAtRecord), Aliases(before));
    // The record, then the pairs, then the count, then the flush, then the record goes.
    const auto at = [&](const std::wstring& prefix) {
        return std::find_if(log.begin(), log.end(), [&](const std::wstring& l) { return l.rfind(prefix, 0) == 0; }) -
               log.begin();
    };
    EXPECT_EQ(at(std::wstring(L"write ") + qd::kRewriteRecordValue), at(L"write "));  // the first write
    EXPECT_LT(at(L"write P4"), at(L"write ChangeCount=1"));
    EXPECT_LT(at(L"write ChangeCount=1"), at(L"flush"));
    EXPECT_EQ(log.back(), std::wstring(L"delete ") + qd::kRewriteRecordValue);
    EXPECT_EQ(KeyValues(), With(ValuesOf(reversed), {{L"ChangeCount", L"1"}}));
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(ListWriterTest, OnePairIsWrittenAloneAndTwoOrMoreUnderTheRecord) {
    struct Case {
        const char* name;
        std::function<Rows(Rows)> change;
        bool underRecord;
    };
    const std::vector<Case> cases = {
        {"one alias edited", [](Rows r) { r[2].Alias = L"edited"; return r; }, false},
        {"one row appended", [](Rows r) { r.push_back({L"new", L"C:\\new"}); return r; }, false},
        {"the last row deleted", [](Rows r) { r.pop_back(); return r; }, false},
        // Ctrl+Up: two pairs; a failure between them must not leave one row twice.
        {"two rows exchanged", [](Rows r) { std::swap(r[1], r[2]); return r; }, true},
        {"a row deleted from the middle", [](Rows r) { r.erase(r.begin() + 3); return r; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Rows now = qd::ListWriter(settings).Read().Rows;
        log.clear();
        const Rows next = c.change(now);
        EXPECT_EQ(Apply(To(next)), L"");
        const bool recorded = std::any_of(log.begin(), log.end(), [](const std::wstring& l) {
            return l.rfind(std::wstring(L"write ") + qd::kRewriteRecordValue, 0) == 0;
        });
        EXPECT_EQ(recorded, c.underRecord);
        // Alone, the count comes before the pair (a cut between them leaves a count that says the
        // key changed); under the record, after the last pair.
        const auto count = std::find_if(log.begin(), log.end(), [](const std::wstring& l) {
            return l.rfind(std::wstring(L"write ") + qd::kChangeCountValue, 0) == 0;
        });
        const auto isPair = [](const std::wstring& l) {
            return l.rfind(L"write N", 0) == 0 || l.rfind(L"write P", 0) == 0 || l.rfind(L"delete N", 0) == 0 ||
                   l.rfind(L"delete P", 0) == 0;
        };
        ASSERT_NE(count, log.end());
        EXPECT_EQ(std::any_of(log.begin(), count, isPair), c.underRecord);
        EXPECT_EQ(std::any_of(count, log.end(), isPair), !c.underRecord);
        EXPECT_EQ(Aliases(qd::ListWriter(settings).Read().Rows), Aliases(next));
    }
    // Each write raised the count by one; a change that changes nothing writes nothing.
    EXPECT_EQ(key.Read(qd::kChangeCountValue), L"5");
    log.clear();
    EXPECT_FALSE(qd::ListWriter(settings).Apply([](const Rows& r) { return r; }).Written);
    EXPECT_TRUE(log.empty());
}

TEST_F(ListWriterTest, AChangeOfThousandsOfPairsIsWrittenInOneOpeningOfTheKey) {
    const Rows thousand = Numbered(1000);
    Rows doubled = thousand, halved;
    for (const ShortcutRow& row : Numbered(1000, L"imported")) doubled.push_back(row);
    for (size_t i = 0; i < thousand.size(); i += 2) halved.push_back(thousand[i]);
    for (const Rows* next : std::vector<const Rows*>{&thousand, &doubled, &halved}) {
        log.clear();
        EXPECT_EQ(Apply(To(*next)), L"");
        EXPECT_EQ(std::count(log.begin(), log.end(), L"open for writing"), 1);
        EXPECT_EQ(qd::ListWriter(settings).Read().Rows.size(), next->size());
    }
}

TEST_F(ListWriterTest, AFailedWriteIsPutBackAndWhenEvenThatIsRefusedTheNextRecoveryPutsTheListBack) {
    struct Case {
        const char* name;
        Rows next;
        std::wstring refuseFrom;
        std::wstring error;  // what Apply says
        bool recordStays;
    };
    Rows longer = before;
    for (const ShortcutRow& row : Numbered(3, L"new")) longer.push_back(row);
    const std::vector<Case> cases = {
        // Written from the end backwards; the putting back deletes the new pairs, which is not refused.
        {"appended", longer, L"write P6", L"Failed to set data for 'P6'", false},
        // The putting back of the first pair is refused too: the record stays.
        {"reversed", Rows(before.rbegin(), before.rend()), L"write N2",
         tk::FormatText(qd::kRewriteLeftForNextStart, {L"Failed to set data for 'N2'", L"Failed to set data for 'N0'"}),
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        check = RefuseFrom(c.refuseFrom);
        EXPECT_EQ(Apply(To(c.next)), c.error);
        EXPECT_EQ(key.Has(qd::kRewriteRecordValue), c.recordStays);
        if (!c.recordStays) {
            EXPECT_EQ(KeyValues(), With(ValuesOf(before), {}));
            EXPECT_TRUE(FilesIn(folder).empty());
            continue;
        }
        const std::wstring file = qd::ParseCrashRecord(key.Read(qd::kRewriteRecordValue))->File;
        EXPECT_EQ(qd::ReadBackupRows(file).size(), before.size());
        // While the list cannot be put back, no other change is written over it.
        EXPECT_EQ(Apply(To(Numbered(1))), tk::FormatText(qd::kRecoveryFailedText, {L"Failed to set data for 'N0'"}));

        check = nullptr;
        const qd::RecoveryOutcome outcome = Recover();
        EXPECT_EQ(outcome.What, Kind::Restored);
        EXPECT_EQ(qd::RecoveryMessage(outcome), tk::FormatText(qd::kRecoveredText, {L"5"}));
        EXPECT_EQ(KeyValues(), With(ValuesOf(before), {{L"ChangeCount", L"1"}}));
        EXPECT_FALSE(std::filesystem::exists(file));
        EXPECT_EQ(Recover().What, Kind::None);
    }
}

TEST_F(ListWriterTest, WithoutASavedListTheWriteDoesNotStart) {
    std::ofstream(dir / "file") << "x";
    settings.BackupFolder = (dir / "file" / "a").wstring();
    settings.FallbackFolders = {L"", (dir / "file" / "b").wstring()};
    const std::wstring error = Apply(To(Rows(before.rbegin(), before.rend())));
    EXPECT_EQ(error.rfind(L"The list was not changed: no copy of it could be saved before the change.\r\n", 0), 0u)
        << tk::ToUtf8(error);
    EXPECT_NE(error.find((dir / "file" / "b").wstring()), std::wstring::npos);
    EXPECT_EQ(KeyValues(), With(ValuesOf(before), {}));
    EXPECT_TRUE(log.empty());
    // The next folder that takes it is used.
    settings.FallbackFolders.push_back(folder.wstring());
    EXPECT_EQ(Apply(To(Rows(before.rbegin(), before.rend()))), L"");
}

TEST_F(ListWriterTest, TheRecoveryPutsBackOnlyACutOffWriteOfItsOwnFileAndNeverOverLaterChanges) {
    // The key as later changes (or a cut-off write) left it: rows 0 and 1 differ from before.
    key.WriteString(L"N0", L"later0");
    key.WriteString(L"N1", L"later1");
    const Values now = KeyValues();
    const std::filesystem::path damaged = folder / "recovery-12-2-345.pwb";
    const std::filesystem::path exported = dir / "export.pwb";  // a user's backup: Count=0
    const std::filesystem::path outside = dir / "recovery-12-3-345.pwb";
    const std::filesystem::path olderNaming = folder / "recovery-12-345.pwb";
    struct Case {
        const char* name;
        std::function<void()> arrange;
        Kind what;
        Values after;        // "" = as now
        std::wstring file;   // the file that must (not) survive
        bool fileSurvives;
        std::wstring message;
    };
    const std::wstring ours = (folder / "recovery-12-1-345.pwb").wstring();
    const std::wstring missing = (folder / "recovery-12-9-345.pwb").wstring();
    const std::vector<Case> cases = {
        // A record left by a clear that failed after the write was whole: later edits stay.
        {"the count moved on", [&] {
             OurFile(before);
             key.WriteString(qd::kChangeCountValue, L"4");
             key.WriteString(qd::kRewriteRecordValue, Record(3, ours));
         }, Kind::None, With(now, {{L"ChangeCount", L"4"}}), ours, false, L""},
        {"cut off: the count is the start count", [&] {
             OurFile(before);
             key.WriteString(qd::kChangeCountValue, L"3");
             key.WriteString(qd::kRewriteRecordValue, Record(3, ours));
         }, Kind::Restored, With(ValuesOf(before), {{L"ChangeCount", L"4"}}), ours, false,
         tk::FormatText(qd::kRecoveredText, {L"5"})},
        {"cut off, its file missing", [&] {
             key.WriteString(qd::kRewriteRecordValue, Record(0, missing));
         }, Kind::Unusable, Values{}, missing, false,
         tk::FormatText(qd::kRecoveryUnusableText, {missing, L"The backup " + missing + L" is missing"})},
        {"cut off, its file damaged", [&] {
             std::filesystem::create_directories(folder);
             std::ofstream(damaged, std::ios::binary) << "[PathWarden]\r\nCount=9\r\nN0=a\r\nP0=C:\\a\r\n";
             key.WriteString(qd::kRewriteRecordValue, Record(0, damaged.wstring()));
         }, Kind::Unusable, Values{}, damaged.wstring(), true,
         tk::FormatText(qd::kRecoveryUnusableText,
                        {damaged.wstring(), L"The backup " + damaged.wstring() + L" is damaged: entry 2 of 9 is missing"})},
        {"a record that is no text", [&] { key.WriteDword(qd::kRewriteRecordValue, 7); }, Kind::Foreign, Values{}, L"",
         false, tk::FormatText(qd::kRecoveryForeignText, {L"?"})},
        // An older program's record naming a file of the user's: neither replayed (it would empty
        // the list) nor deleted.
        {"an older record naming another backup", [&] {
             qd::WriteBackupFile(exported.wstring(), {}, true);
             key.WriteString(qd::kRewriteRecordValue, exported.wstring());
         }, Kind::Foreign, Values{}, exported.wstring(), true,
         tk::FormatText(qd::kRecoveryForeignText, {exported.wstring()})},
        {"the writer's naming outside its folders", [&] {
             qd::WriteBackupFile(outside.wstring(), before, true);
             key.WriteString(qd::kRewriteRecordValue, Record(0, outside.wstring()));
         }, Kind::Foreign, Values{}, outside.wstring(), true,
         tk::FormatText(qd::kRecoveryForeignText, {Record(0, outside.wstring())})},
        {"an older naming in the folder", [&] {
             OurFile(before, L"recovery-12-345.pwb");
             key.WriteString(qd::kRewriteRecordValue, olderNaming.wstring());
         }, Kind::Foreign, Values{}, olderNaming.wstring(), true,
         tk::FormatText(qd::kRecoveryForeignText, {olderNaming.wstring()})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Clear();
        for (const auto& [name, value] : now) key.WriteString(name, value);
        c.arrange();
        const qd::RecoveryOutcome outcome = Recover();
        EXPECT_EQ(outcome.What, c.what);
        EXPECT_EQ(qd::RecoveryMessage(outcome), c.message);
        EXPECT_EQ(KeyValues(), c.after.empty() ? now : c.after);  // the record gone in every case
        if (!c.file.empty()) {
            EXPECT_EQ(std::filesystem::exists(c.file), c.fileSurvives);
        }
        // Said once.
        EXPECT_EQ(Recover().What, Kind::None);
    }
}

TEST_F(ListWriterTest, ARecoveryFileThatCannotBeReadNowKeepsTheRecordAndTheListUntilItCanBe) {
    key.WriteString(L"N0", L"cut0");
    const std::wstring file = OurFile(before);
    key.WriteString(qd::kRewriteRecordValue, Record(0, file));
    const Values cut = KeyValues();
    {
        // Another program holds the file without sharing it (a scanner, a sync tool).
        const tk::ScopedFile held(
            CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held.Valid());
        const qd::RecoveryOutcome outcome = Recover();
        EXPECT_EQ(outcome.What, Kind::NotReadableNow);
        EXPECT_EQ(outcome.File, file);
        EXPECT_FALSE(outcome.Error.empty());
        EXPECT_EQ(qd::RecoveryMessage(outcome), tk::FormatText(qd::kRecoveryNotReadableNowText, {file, outcome.Error}));
        EXPECT_EQ(KeyValues(), cut);
        // No change is written over the cut-off one meanwhile; reading goes on.
        EXPECT_EQ(Apply(To(Numbered(2, L"x"))), qd::RecoveryMessage(outcome));
        EXPECT_EQ(KeyValues(), cut);
        EXPECT_EQ(qd::ListWriter(settings).Read().Rows.front().Alias, L"cut0");
    }
    EXPECT_EQ(Recover().What, Kind::Restored);
    EXPECT_EQ(KeyValues(), With(ValuesOf(before), {{L"ChangeCount", L"1"}}));
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(ListWriterTest, PairsLeftBeyondAGapAreGoneAfterAnyWriteAndNeverComeBack) {
    // Rows 0..2; index 3 half (the gap); whole pairs at 4 and 9 that an earlier program left.
    const auto arrange = [&] {
        Clear();
        key.WriteString(L"Setting", L"C:\\Tools\\Quiverdir.exe");
        for (const auto& [name, value] : ValuesOf(Numbered(3))) key.WriteString(name, value);
        key.WriteString(L"P3", L"C:\\half");
        key.WriteString(L"N4", L"ghost");
        key.WriteString(L"P4", L"C:\\ghost");
        key.WriteString(L"N9", L"ghost9");
        key.WriteString(L"P9", L"C:\\ghost9");
    };
    struct Case {
        const char* name;
        std::function<Rows(Rows)> change;
        bool withBasis;
    };
    const std::vector<Case> cases = {
        {"a row appended", [](Rows r) { r.push_back({L"new", L"C:\\new"}); return r; }, false},
        {"two rows appended, with the caller's rows", [](Rows r) {
             r.push_back({L"new", L"C:\\new"});
             r.push_back({L"new2", L"C:\\new2"});
             return r;
         }, true},
        {"a row deleted", [](Rows r) { r.pop_back(); return r; }, false},
        {"a row edited, with the caller's rows", [](Rows r) { r[0].Alias = L"e"; return r; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        arrange();
        qd::ListWriter writer(settings);
        const qd::StoredList read = writer.Read();
        ASSERT_EQ(read.Rows.size(), 3u);
        const Rows next = c.change(read.Rows);
        if (c.withBasis) {
            EXPECT_FALSE(writer.Apply(read.Rows, read.Version, To(next)).Stale);
        } else {
            writer.Apply(To(next));
        }
        // Exactly the list's pairs, nothing past its end, also after a later append.
        Values expected = With(ValuesOf(next), {{L"ChangeCount", L"1"}});
        EXPECT_EQ(KeyValues(), expected);
        writer.Apply([](Rows r) {
            r.push_back({L"later", L"C:\\later"});
            return r;
        });
        EXPECT_EQ(Aliases(writer.Read().Rows).back(), L"later");
        EXPECT_EQ(writer.Read().Rows.size(), next.size() + 1);
    }
}

TEST_F(ListWriterTest, AChangeIsDecidedOnTheListAsTheKeyHoldsItWhenTheCallersRowsAreStale) {
    qd::ListWriter mine(settings), other(settings);
    const qd::StoredList shown = mine.Read();
    other.Apply([](Rows r) {
        r.push_back({L"theirs", L"C:\\theirs"});
        return r;
    });
    const qd::WriteOutcome o = mine.Apply(shown.Rows, shown.Version, [](Rows r) {
        r.push_back({L"mine", L"C:\\mine"});
        return r;
    });
    EXPECT_TRUE(o.Stale);
    EXPECT_TRUE(o.Written);
    EXPECT_EQ(o.Version, 2u);
    EXPECT_EQ(Aliases(o.After).back(), L"mine");
    EXPECT_EQ(Aliases(mine.Read().Rows), (std::vector<std::wstring>{L"row0", L"row1", L"row2", L"row3", L"row4", L"theirs", L"mine"}));
    // A change refused for the fresh list (its row is gone) writes nothing and says why.
    EXPECT_EQ(Apply([](const Rows&) -> Rows { throw tk::Exception(L"The row is gone"); }), L"The row is gone");
    EXPECT_EQ(key.Read(qd::kChangeCountValue), L"2");
}

TEST_F(ListWriterTest, WhileAnotherHoldsTheLockNothingIsReadOrWrittenAndTheCommandLineSaysSo) {
    // Another thread of the test holds the lock as another program's writer would.
    const tk::ScopedKernelHandle release(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const tk::ScopedKernelHandle held(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::thread holder([&] {
        const tk::ScopedKernelHandle mutex(CreateMutexW(nullptr, FALSE, qd::ListWriter::LockName(key.Path()).c_str()));
        WaitForSingleObject(mutex.get(), INFINITE);
        SetEvent(held.get());
        WaitForSingleObject(release.get(), INFINITE);
        ReleaseMutex(mutex.get());
    });
    ASSERT_EQ(WaitForSingleObject(held.get(), 10000), WAIT_OBJECT_0);
    settings.LockTimeoutMs = 50;
    const Values start = KeyValues();
    EXPECT_THROW(qd::ListWriter(settings).Read(), qd::EListBusy);
    EXPECT_EQ(Apply(To(Numbered(1))), qd::kListBusyText);
    qd::CommandContext context;
    context.KeyPath = key.Path();
    context.LockTimeoutMs = 50;
    context.RecoveryFolders = {folder.wstring()};
    for (const qd::CommandRequest& request :
         {qd::CommandRequest{qd::CommandAction::List}, qd::CommandRequest{qd::CommandAction::Delete, L"row1"}}) {
        const qd::CommandOutcome refused = qd::RunCommand(request, context);
        EXPECT_EQ(refused.Status, qd::kExitRefused);
        EXPECT_EQ(refused.Out, L"");
        EXPECT_EQ(refused.Err, std::wstring(qd::kListBusyText) + L"\r\n");
    }
    EXPECT_EQ(KeyValues(), start);
    // Another key's lock is another lock.
    EXPECT_NE(qd::ListWriter::LockName(key.Path()), qd::ListWriter::LockName(key.Path() + L"x"));
    EXPECT_EQ(qd::ListWriter::LockName(L"Software\\Quiverdir"), qd::ListWriter::LockName(L"SOFTWARE\\quiverdir"));
    SetEvent(release.get());
    holder.join();
    EXPECT_EQ(qd::ListWriter(settings).Read().Rows.size(), before.size());
}

TEST(CrashRecordTest, TheRecordAndTheFileNamesAreReadAsWritten) {
    const qd::CrashRecord r{18446744073709551615ull, 4294967295u, 133000000000000000ull, L"C:\\a|b\\recovery-1-2-3.pwb", false};
    const auto back = qd::ParseCrashRecord(qd::CrashRecordText(r));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->StartCount, r.StartCount);
    EXPECT_EQ(back->Pid, r.Pid);
    EXPECT_EQ(back->ProcessStart, r.ProcessStart);
    EXPECT_EQ(back->File, r.File);
    EXPECT_FALSE(back->Legacy);
    EXPECT_FALSE(qd::ParseCrashRecord(L""));
    for (const wchar_t* legacy : {L"C:\\x\\recovery-1-2.pwb", L"2|x|1|1|C:\\f", L"2|1|1"}) {
        SCOPED_TRACE(tk::ToUtf8(legacy));
        EXPECT_TRUE(qd::ParseCrashRecord(legacy)->Legacy);
    }
    struct Name {
        const wchar_t* name;
        bool ours;
    };
    for (const Name& n : {Name{L"recovery-1-2-3.pwb", true}, Name{L"recovery-12-0-4294967295.PWB", true},
                          Name{L"recovery-1-2.pwb", false}, Name{L"recovery-1-2-3-4.pwb", false},
                          Name{L"recovery-1--3.pwb", false}, Name{L"recovery-a-2-3.pwb", false},
                          Name{L"2026-12-07 213015.pwb", false}, Name{L"recovery-1-2-3.pwb.txt", false}}) {
        SCOPED_TRACE(tk::ToUtf8(n.name));
        EXPECT_EQ(qd::IsRecoveryFileName(n.name), n.ours);
    }
    struct Count {
        const wchar_t* text;
        std::uint64_t value;
    };
    for (const Count& c : {Count{L"", 0}, Count{L"17", 17}, Count{L"x", 0}, Count{L"-3", 0}, Count{L"1 ", 0},
                           Count{L"99999999999999999999", 0}}) {
        SCOPED_TRACE(tk::ToUtf8(c.text));
        EXPECT_EQ(qd::ParseChangeCount(c.text), c.value);
    }
}

}  // namespace
