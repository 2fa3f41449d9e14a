// Programs changing the list at the same time: real processes, each a long random series of
// changes through one of the program's paths (the command line's, the folder menu's add), all on
// one private key at once. After each round the key must hold one whole list: no row twice, no pair
// past its end, no crash record, the count raised once per write made, and exactly the rows the
// participants added and did not delete. The editor takes part with its main window, which must
// show the key's list at the end. To add a participant, add a row to kParticipants: a program that
// takes the arguments of tests/app/ListParticipant.cpp and writes what it did in the same form.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "list/win/ListWriter.h"
#include "list/win/RegistryAccessor.h"
#include "tests/support/TempDir.h"
#include "tests/support/WinTest.h"
#include "toolkit/Text.h"
#include "toolkit/win/Registry.h"
#include "toolkit/win/Scoped.h"

namespace {

struct Participant {
    const wchar_t* tag;  // begins the aliases it makes: unique per participant
    const char* program;
    const wchar_t* kind;
    int steps;
};

const Participant kParticipants[] = {
    {L"cmdA", QD_LIST_PARTICIPANT, L"command", 40},
    {L"cmdB", QD_LIST_PARTICIPANT, L"command", 40},
    {L"menu", QD_LIST_PARTICIPANT, L"menu", 30},
    {L"edit", QD_LIST_PARTICIPANT, L"editor", 40},
};

struct Running {
    PROCESS_INFORMATION info{};
    std::filesystem::path out;
    ~Running() {
        if (!info.hProcess) return;
        if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 3);
        const tk::ScopedKernelHandle process(info.hProcess), thread(info.hThread);
    }
};

// What a participant said it did.
struct Report {
    std::vector<std::pair<std::wstring, std::wstring>> added;
    std::vector<std::wstring> deleted;
    int writes = -1;
    std::vector<std::wstring> errors;
};

Report ReadReport(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string raw = bytes.str();
    std::wstring text(raw.size() / 2, L'\0');
    std::copy(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(text.size() * 2), reinterpret_cast<char*>(text.data()));
    if (!text.empty() && text.front() == L'\uFEFF') text.erase(0, 1);
    Report report;
    std::wistringstream lines(text);
    for (std::wstring line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == L'\r') line.pop_back();
        if (line.rfind(L"+", 0) == 0) {
            const size_t tab = line.find(L'\t');
            report.added.emplace_back(line.substr(1, tab - 1), line.substr(tab + 1));
        } else if (line.rfind(L"-", 0) == 0) {
            report.deleted.push_back(line.substr(1));
        } else if (line.rfind(L"writes ", 0) == 0) {
            report.writes = std::stoi(line.substr(7));
        } else if (!line.empty()) {
            report.errors.push_back(line);
        }
    }
    return report;
}

TEST(ListWritersTogetherTest, ProgramsChangingTheListAtOnceLeaveOneWholeListWithEveryChangeOfEach) {
    qdtest::PrivateKey key;
    qdtest::TempDir dir;
    const std::filesystem::path backups = dir / "backups";
    qd::WriterSettings settings;
    settings.KeyPath = key.Path();
    settings.BackupFolder = backups.wstring();
    // A list to start from, written by the writer (count 1).
    std::vector<qd::ShortcutRow> base;
    for (int i = 0; i < 20; ++i) base.push_back({L"base" + std::to_wstring(i), L"C:\\base\\" + std::to_wstring(i)});
    qd::ListWriter(settings).Apply([&](const std::vector<qd::ShortcutRow>&) { return base; });
    std::multiset<std::pair<std::wstring, std::wstring>> expected;
    for (const qd::ShortcutRow& r : base) expected.emplace(r.Alias, r.Path);
    std::uint64_t count = 1;

    for (int round = 1; round <= 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        const std::wstring goName = L"Local\\" + qdtest::UniqueName(L"qd-together-go");
        const tk::ScopedKernelHandle go(CreateEventW(nullptr, TRUE, FALSE, goName.c_str()));
        std::vector<Running> running(std::size(kParticipants));
        for (size_t p = 0; p < running.size(); ++p) {
            const Participant& who = kParticipants[p];
            const std::wstring tag = who.tag + std::wstring(L"r") + std::to_wstring(round);
            const std::filesystem::path work = dir / tag;
            std::filesystem::create_directories(work);
            running[p].out = dir / (tag + L".txt");
            const std::wstring exe = qdtest::WindowsPath(who.program);
            std::wstring command = L"\"" + exe + L"\"";
            for (const std::wstring& arg :
                 {std::wstring(who.kind), key.Path(), std::to_wstring(1000 * round + p), std::to_wstring(who.steps), tag,
                  work.wstring(), backups.wstring(), goName, running[p].out.wstring()})
                command += L" \"" + arg + L"\"";
            STARTUPINFOW si{sizeof(si)};
            ASSERT_TRUE(CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                                       nullptr, &si, &running[p].info));
        }
        const DWORD started = GetTickCount();
        SetEvent(go.get());
        for (size_t p = 0; p < running.size(); ++p) {
            ASSERT_EQ(WaitForSingleObject(running[p].info.hProcess, 120000), WAIT_OBJECT_0);
            DWORD status = 0;
            GetExitCodeProcess(running[p].info.hProcess, &status);
            const Report report = ReadReport(running[p].out);
            EXPECT_EQ(status, 0u) << tk::ToUtf8(kParticipants[p].tag);
            for (const std::wstring& e : report.errors) ADD_FAILURE() << tk::ToUtf8(kParticipants[p].tag) << ": " << tk::ToUtf8(e);
            ASSERT_GE(report.writes, 0) << "no report from " << tk::ToUtf8(kParticipants[p].tag);
            for (const auto& row : report.added) expected.insert(row);
            for (const std::wstring& alias : report.deleted) {
                const auto it = std::find_if(expected.begin(), expected.end(), [&](const auto& r) { return r.first == alias; });
                ASSERT_NE(it, expected.end()) << "deleted a row never added: " << tk::ToUtf8(alias);
                expected.erase(it);
            }
            count += static_cast<std::uint64_t>(report.writes);
            std::printf("round %d, %ls: %zu rows added, %zu deleted, %d writes\n", round, kParticipants[p].tag,
                        report.added.size(), report.deleted.size(), report.writes);
        }
        std::printf("round %d: all participants done in %lu ms\n", round, static_cast<unsigned long>(GetTickCount() - started));

        // One whole list: every row once, exactly those expected; nothing past its end; no record.
        qd::ListWriter reader(settings);
        const qd::StoredList list = reader.Read();
        EXPECT_EQ(reader.LastRecovery().What, qd::RecoveryOutcome::Kind::None);
        EXPECT_TRUE(list.Error.empty());
        std::multiset<std::pair<std::wstring, std::wstring>> held;
        std::set<std::wstring> aliases;
        for (const qd::ShortcutRow& r : list.Rows) {
            held.emplace(r.Alias, r.Path);
            EXPECT_TRUE(aliases.insert(r.Alias).second) << "a row twice: " << tk::ToUtf8(r.Alias);
        }
        EXPECT_TRUE(held == expected) << "the key holds " << held.size() << " rows, " << expected.size() << " expected";
        EXPECT_EQ(list.Version, count);
        tk::TRegistry registry;
        ASSERT_TRUE(registry.OpenKeyReadOnly(key.Path()));
        std::vector<std::wstring> names = registry.ValueNames();
        // The editor records the program's path (Setting) as it starts.
        std::erase(names, std::wstring(L"Setting"));
        EXPECT_EQ(names.size(), list.Rows.size() * 2 + 1) << "values besides the list's pairs, the count and Setting";
        EXPECT_FALSE(registry.ValueExists(qd::kRewriteRecordValue));
        if (std::filesystem::exists(backups))
            for (const auto& e : std::filesystem::directory_iterator(backups))
                ADD_FAILURE() << "a recovery file left: " << e.path().string();
        std::printf("round %d: %zu rows, count %llu\n", round, list.Rows.size(), static_cast<unsigned long long>(list.Version));
    }
}

}  // namespace
