// The automatic backups' names, their order and which of them go: by number, never by the date a
// clock gave them; the protected ones never go; no other file is ever taken for a backup.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list/BackupRotation.h"
#include "toolkit/Text.h"

namespace {

using Names = std::vector<std::wstring>;

std::wstring Numbered(int year, unsigned sequence) { return qd::AutoBackupName({year, 5, 1, 10, 0, 0, 1, sequence}); }

TEST(BackupNames, NumberedAndOlderNamesReadBackAndNoOtherNameCounts) {
    EXPECT_EQ(qd::AutoBackupName({2026, 12, 7, 21, 30, 15, 1, 17}), L"2026-12-07 213015 #17.pwb");
    EXPECT_EQ(qd::AutoBackupName({2026, 12, 7, 21, 30, 15, 2, 0}), L"2026-12-07 213015-2.pwb");
    for (const qd::BackupStamp& s : {qd::BackupStamp{2026, 12, 7, 21, 30, 15, 1, 1},
                                     qd::BackupStamp{2026, 12, 7, 21, 30, 15, 1, qd::kMaxBackupSequence},
                                     qd::BackupStamp{1999, 1, 1, 0, 0, 0, 3, 0}})
        EXPECT_EQ(qd::ParseAutoBackupName(qd::AutoBackupName(s)), s);
    EXPECT_LT((qd::BackupStamp{2026, 12, 7, 21, 30, 15, 1, 0}), (qd::BackupStamp{2026, 12, 7, 21, 30, 15, 2, 0}));
    EXPECT_EQ(qd::ParseAutoBackupName(L"2026-12-07 213015 #4.PWB"), (qd::BackupStamp{2026, 12, 7, 21, 30, 15, 1, 4}));
    for (const wchar_t* foreign :
         {L"2026-12-07 213015 #0.pwb", L"2026-12-07 213015 #07.pwb", L"2026-12-07 213015 #1000000000.pwb",
          L"2026-12-07 213015 #.pwb", L"2026-12-07 213015#4.pwb", L"2026-12-07 213015 4.pwb",
          L"2026-12-07 213015 #4 - Copy.pwb", L"2026-12-07 213015-1.pwb", L"2026-12-07 213015-#4.pwb",
          L"2026-13-07 213015 #4.pwb", L"2026-12-07 243015.pwb", L"2026-12-07 213015-02.pwb",
          L"2026-12-07 213015 copy.pwb", L"x2026-12-07 213015.pwb", L"2026-12-07 2130.pwb", L"2026-12-07T213015.pwb",
          L"2026-12-07 213015 #4.txt", L"recovery-12-34-5.pwb", L"list.pwb", L".pwb"})
        EXPECT_FALSE(qd::ParseAutoBackupName(foreign)) << tk::ToUtf8(foreign);
}

TEST(BackupRotation, OrderAndDeletionsFollowTheNumbersNotTheClock) {
    struct Case {
        const char* name;
        std::vector<qd::BackupFileEntry> files;  // name, write time
        Names protectedNames;
        size_t kept;
        Names order;
        Names deleted;
    };
    // Twenty-two backups numbered 1..22, the clock ahead (2099) for numbers 5..21: their names and
    // write times lie in the future, the newest real backup (22) is dated before them.
    std::vector<qd::BackupFileEntry> ahead;
    Names aheadOrder;
    for (unsigned n = 1; n <= 22; ++n) {
        const bool future = n >= 5 && n <= 21;
        ahead.push_back({Numbered(future ? 2099 : 2026, n), future ? 9000u + n : 100u + n});
    }
    for (unsigned n = 22; n >= 1; --n) aheadOrder.push_back(Numbered(n >= 5 && n <= 21 ? 2099 : 2026, n));
    const std::vector<Case> cases = {
        {"clock once ahead: the two lowest numbers go, the newest real one stays first", ahead, {Numbered(2026, 22)}, 20,
         aheadOrder, {Numbered(2026, 2), Numbered(2026, 1)}},
        {"fewer than kept: nothing goes",
         {{Numbered(2026, 2), 5}, {Numbered(2026, 3), 1}, {Numbered(2026, 1), 9}},
         {},
         20,
         {Numbered(2026, 3), Numbered(2026, 2), Numbered(2026, 1)},
         {}},
        {"equal write times: by number; names without one after all numbered, by the date they give",
         {{L"2026-05-01 100000.pwb", 7}, {Numbered(2020, 1), 7}, {L"2026-05-01 100000-2.pwb", 7},
          {Numbered(2019, 2), 7}, {L"2027-01-01 000000.pwb", 7}},
         {},
         3,
         {Numbered(2019, 2), Numbered(2020, 1), L"2027-01-01 000000.pwb", L"2026-05-01 100000-2.pwb",
          L"2026-05-01 100000.pwb"},
         {L"2026-05-01 100000-2.pwb", L"2026-05-01 100000.pwb"}},
        {"names without a number among themselves by write time, not by the date they give",
         {{L"2099-01-01 000000.pwb", 1}, {L"2026-05-01 100000.pwb", 3}, {L"2026-04-01 100000.pwb", 2}},
         {},
         2,
         {L"2026-05-01 100000.pwb", L"2026-04-01 100000.pwb", L"2099-01-01 000000.pwb"},
         {L"2099-01-01 000000.pwb"}},
        {"one number twice (two programs at once): the later written first",
         {{Numbered(2026, 3), 50}, {Numbered(2025, 3), 60}, {Numbered(2026, 2), 70}},
         {},
         1,
         {Numbered(2025, 3), Numbered(2026, 3), Numbered(2026, 2)},
         {Numbered(2026, 3), Numbered(2026, 2)}},
        {"protected among the oldest stay and take no kept place; letter case does not matter",
         {{Numbered(2026, 1), 1}, {Numbered(2026, 2), 2}, {Numbered(2026, 3), 3}, {Numbered(2026, 4), 4},
          {Numbered(2026, 5), 5}},
         {L"2026-05-01 100000 #1.PWB", Numbered(2026, 3), L"elsewhere.pwb"},
         2,
         {Numbered(2026, 5), Numbered(2026, 4), Numbered(2026, 3), Numbered(2026, 2), Numbered(2026, 1)},
         {Numbered(2026, 2)}},
        {"other files are neither listed nor deleted",
         {{L"notes.txt", 1}, {L"2026-05-01 100000 #1.pwb.~0000ABCD.tmp", 1}, {L"recovery-1-2-3.pwb", 1},
          {L"list.pwb", 1}, {Numbered(2026, 2), 2}, {Numbered(2026, 1), 1}},
         {},
         1,
         {Numbered(2026, 2), Numbered(2026, 1)},
         {Numbered(2026, 1)}},
        {"an empty folder", {}, {}, 20, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const qd::BackupRotation rotation = qd::RotateBackups(c.files, c.protectedNames, c.kept);
        EXPECT_EQ(rotation.Order, c.order);
        EXPECT_EQ(rotation.Delete, c.deleted);
    }
}

TEST(BackupRotation, TheNextNumberFollowsTheHighestWhateverTheDates) {
    EXPECT_EQ(qd::NextBackupSequence({}), 1u);
    EXPECT_EQ(qd::NextBackupSequence({L"2026-05-01 100000.pwb", L"notes.txt", L"x #9.pwb"}), 1u);
    EXPECT_EQ(qd::NextBackupSequence({Numbered(2099, 7), Numbered(2026, 41), Numbered(1990, 3)}), 42u);
    EXPECT_EQ(qd::NextBackupSequence({Numbered(2026, qd::kMaxBackupSequence)}), 0u);
}

}  // namespace
