#include "list/win/ListWriter.h"

#include <windows.h>
#include <sddl.h>

#include <algorithm>
#include <atomic>
#include <cwchar>
#include <filesystem>
#include <set>

#include "list/win/AutoBackup.h"
#include "list/win/Backup.h"
#include "list/win/RegistryAccessor.h"
#include "toolkit/Text.h"
#include "toolkit/win/Application.h"
#include "toolkit/win/IniFile.h"
#include "toolkit/win/Scoped.h"

namespace qd {

namespace {

constexpr wchar_t kRecordPrefix[] = L"2|";

bool AllDigits(std::wstring_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

std::optional<std::uint64_t> ParseNumber(std::wstring_view text) {
    if (!AllDigits(text) || text.size() > 20) return std::nullopt;
    std::uint64_t n = 0;
    for (wchar_t c : text) {
        const auto digit = static_cast<std::uint64_t>(c - L'0');
        if (n > (UINT64_MAX - digit) / 10) return std::nullopt;  // too large for the count
        n = n * 10 + digit;
    }
    return n;
}

std::wstring Upper(const std::wstring& text) { return tk::AsciiUpper(text); }

// A folder's name as two names of one folder compare: absolute, normal, without a trailing
// separator, the ASCII letters upper-cased.
std::wstring FolderKey(const std::wstring& folder) {
    std::error_code error;
    std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(folder), error);
    if (error) p = std::filesystem::path(folder);
    std::wstring text = p.lexically_normal().wstring();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    while (text.size() > 3 && text.back() == L'\\') text.pop_back();
    return Upper(text);
}

std::uint64_t ProcessStartTime() {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Index of a value named letter + decimal index as the store writes it ("N12"); -1 for others.
long long PairIndex(const std::wstring& name) {
    if (name.size() < 2 || (name[0] != L'N' && name[0] != L'P' && name[0] != L'n' && name[0] != L'p')) return -1;
    const std::wstring_view digits = std::wstring_view(name).substr(1);
    if (digits.size() > 9 || (digits.size() > 1 && digits[0] == L'0')) return -1;
    const auto n = ParseNumber(digits);
    return n ? static_cast<long long>(*n) : -1;
}

// The security descriptor of the lock: the user (by SID) and the system may do everything with it,
// and its integrity label is low, so that a copy of the program that runs elevated and one that
// does not (same user, different integrity levels and default owners) can both open it. Wine
// neither separates elevated processes nor checks integrity labels, so only the sharing between
// ordinary processes is tested here.
class LockSecurity {
public:
    LockSecurity() {
        HANDLE token = nullptr;
        if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return;
        const tk::ScopedKernelHandle owned(token);
        DWORD size = 0;
        GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<BYTE> buffer(size);
        if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size)) return;
        wchar_t* sid = nullptr;
        if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid, &sid)) return;
        const std::unique_ptr<wchar_t, decltype(&LocalFree)> sidText(sid, &LocalFree);
        const std::wstring sddl = L"D:(A;;GA;;;" + std::wstring(sid) + L")(A;;GA;;;SY)S:(ML;;NW;;;LW)";
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
            return;
        descriptor_.reset(descriptor);
        attributes_.lpSecurityDescriptor = descriptor;
    }
    // nullptr (the default descriptor) when none could be made.
    SECURITY_ATTRIBUTES* Attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    std::unique_ptr<void, decltype(&LocalFree)> descriptor_{nullptr, &LocalFree};
    SECURITY_ATTRIBUTES attributes_{sizeof(SECURITY_ATTRIBUTES), nullptr, FALSE};
};

// The recovery file's bytes, or why they cannot be had now.
struct FileBytes {
    enum class State { Read, Missing, NotReadableNow };
    State What = State::Read;
    std::string Bytes;
    std::wstring Error;
};

std::wstring SystemErrorText(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring result = n && text ? std::wstring(text, n) : L"";
    if (text) LocalFree(text);
    while (!result.empty() && (result.back() == L'\n' || result.back() == L'\r' || result.back() == L' '))
        result.pop_back();
    return tk::FormatText(L"error %s%s", {std::to_wstring(code), result.empty() ? L"" : L": " + result});
}

// A file that is not there in a folder that is: missing for good. Any other failure (a sharing
// violation, a lock, a folder on a share not reachable now) may pass: not readable now. A folder
// that is gone from a local fixed disk is gone for good too.
FileBytes ReadRecoveryBytes(const std::wstring& file) {
    FileBytes result;
    tk::ScopedFile handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle.Valid()) {
        const DWORD code = GetLastError();
        result.Error = SystemErrorText(code);
        result.What = FileBytes::State::NotReadableNow;
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) {
            const std::filesystem::path folder = std::filesystem::path(file).parent_path();
            const DWORD attributes = GetFileAttributesW(folder.c_str());
            const bool folderThere = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
            const std::wstring root = folder.root_path().wstring();
            const bool localDisk = !root.empty() && GetDriveTypeW(root.c_str()) == DRIVE_FIXED;
            if (folderThere || localDisk) {
                result.What = FileBytes::State::Missing;
                result.Error = tk::FormatText(L"The backup %s is missing", {file});
            }
        }
        return result;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(handle.get(), &size) || size.QuadPart > (512ll << 20)) {
        result.What = FileBytes::State::NotReadableNow;
        result.Error = SystemErrorText(GetLastError());
        return result;
    }
    result.Bytes.resize(static_cast<size_t>(size.QuadPart));
    size_t done = 0;
    while (done < result.Bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<size_t>(result.Bytes.size() - done, 1u << 20));
        if (!ReadFile(handle.get(), result.Bytes.data() + done, want, &got, nullptr)) {
            result.What = FileBytes::State::NotReadableNow;
            result.Error = SystemErrorText(GetLastError());
            return result;
        }
        if (got == 0) break;
        done += got;
    }
    result.Bytes.resize(done);
    return result;
}

std::atomic<unsigned long> gRecoveryCounter{0};

// A list of rows as DifferingPairs reads it. (RowsOf lives with the editor's model, which the
// folder menu does not link.)
class ListRows : public ShortcutRows {
public:
    explicit ListRows(const std::vector<ShortcutRow>& rows) : rows_(rows) {}
    int RowCount() override { return static_cast<int>(rows_.size()); }
    std::wstring Alias(int row) override { return rows_[static_cast<size_t>(row)].Alias; }
    std::wstring Path(int row) override { return rows_[static_cast<size_t>(row)].Path; }
    void AppendRow(const std::wstring&, const std::wstring&) override {}

private:
    const std::vector<ShortcutRow>& rows_;
};

}  // namespace

// ---- the record, platform-free rules ----

std::wstring CrashRecordText(const CrashRecord& record) {
    return std::wstring(kRecordPrefix) + std::to_wstring(record.StartCount) + L"|" + std::to_wstring(record.Pid) + L"|" +
           std::to_wstring(record.ProcessStart) + L"|" + record.File;
}

std::optional<CrashRecord> ParseCrashRecord(const std::wstring& text) {
    if (text.empty()) return std::nullopt;
    CrashRecord record;
    const std::wstring_view view(text);
    if (view.substr(0, 2) != kRecordPrefix) {
        record.Legacy = true;
        record.File = text;
        return record;
    }
    // Three numbers, then the file name (which may hold '|' no more than any path does).
    size_t at = 2;
    std::uint64_t numbers[3] = {};
    for (std::uint64_t& n : numbers) {
        const size_t bar = view.find(L'|', at);
        const auto parsed = bar == std::wstring_view::npos ? std::nullopt : ParseNumber(view.substr(at, bar - at));
        if (!parsed) {
            record.Legacy = true;  // not ours after all: handled as a foreign record
            record.File = text;
            return record;
        }
        n = *parsed;
        at = bar + 1;
    }
    record.StartCount = numbers[0];
    record.Pid = static_cast<std::uint32_t>(numbers[1]);
    record.ProcessStart = numbers[2];
    record.File = text.substr(at);
    return record;
}

bool IsRecoveryFileName(std::wstring_view name) {
    constexpr std::wstring_view prefix = L"recovery-";
    if (name.size() < prefix.size() + 4 || name.substr(0, prefix.size()) != prefix) return false;
    const std::wstring extension = tk::AsciiUpper(std::wstring(name.substr(name.size() - 4)));
    if (extension != L".PWB") return false;
    std::wstring_view middle = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    for (int part = 0; part < 3; ++part) {
        const size_t dash = middle.find(L'-');
        const std::wstring_view digits = part < 2 ? middle.substr(0, dash) : middle;
        if ((part < 2 && dash == std::wstring_view::npos) || !AllDigits(digits) || digits.size() > 20) return false;
        if (part < 2) middle.remove_prefix(dash + 1);
    }
    return true;
}

std::uint64_t ParseChangeCount(std::wstring_view text) { return ParseNumber(text).value_or(0); }

std::wstring RecoveryMessage(const RecoveryOutcome& outcome) {
    switch (outcome.What) {
    case RecoveryOutcome::Kind::None: return {};
    case RecoveryOutcome::Kind::Restored: return tk::FormatText(kRecoveredText, {tk::IntToText(outcome.Rows)});
    case RecoveryOutcome::Kind::Unusable: return tk::FormatText(kRecoveryUnusableText, {outcome.File, outcome.Error});
    case RecoveryOutcome::Kind::NotReadableNow:
        return tk::FormatText(kRecoveryNotReadableNowText, {outcome.File, outcome.Error});
    case RecoveryOutcome::Kind::Foreign: return tk::FormatText(kRecoveryForeignText, {outcome.File});
    case RecoveryOutcome::Kind::Failed: return tk::FormatText(kRecoveryFailedText, {outcome.Error});
    }
    return {};
}

// ---- the lock ----

// Owns the named mutex of the key for the scope: waits for it (up to the time limit) when made,
// releases it on every path out.
class ListWriter::Lock {
public:
    Lock(const std::wstring& keyPath, unsigned timeoutMs) {
        static LockSecurity security;
        const std::wstring name = LockName(keyPath);
        mutex_.reset(CreateMutexW(security.Attributes(), FALSE, name.c_str()));
        if (!mutex_) mutex_.reset(OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name.c_str()));
        if (!mutex_)
            throw tk::Exception(tk::FormatText(L"The list's lock %s cannot be opened (%s)",
                                               {name, SystemErrorText(GetLastError())}));
        const DWORD waited = WaitForSingleObject(mutex_.get(), timeoutMs);
        if (waited == WAIT_TIMEOUT) throw EListBusy();
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED)
            throw tk::Exception(tk::FormatText(L"The list's lock %s cannot be had (%s)",
                                               {name, SystemErrorText(GetLastError())}));
        // Abandoned: its holder died, perhaps in the middle of a write; the recovery check that
        // follows every taking of the lock finds what it left.
        owned_ = true;
    }
    ~Lock() {
        if (owned_) ReleaseMutex(mutex_.get());
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    tk::ScopedKernelHandle mutex_;
    bool owned_ = false;
};

std::wstring ListWriter::LockName(const std::wstring& keyPath) {
    // FNV-1a over the upper-cased key path: registry paths do not care about letter case, and the
    // name may not hold backslashes past its namespace.
    std::uint64_t hash = 1469598103934665603ull;
    for (wchar_t c : Upper(keyPath)) {
        hash ^= static_cast<std::uint64_t>(c);
        hash *= 1099511628211ull;
    }
    wchar_t suffix[24];
    std::swprintf(suffix, 24, L"%016llX", static_cast<unsigned long long>(hash));
    return std::wstring(L"Local\\QuiverdirListWriter-") + suffix;
}

// ---- the writer ----

struct ListWriter::KeyState {
    bool Exists = false;
    std::uint64_t Count = 0;
    std::wstring RecordText;
    bool RecordNotText = false;  // the record is a value of another type
    std::vector<ShortcutRow> Rows;
    std::wstring Error;
    // Indexes of pair values past the list's end (beyond a gap), whole or half.
    std::set<int> Leftovers;
};

WriterSettings WriterSettings::ForThisProgram() {
    WriterSettings settings;
    settings.BackupFolder = BackupFolderPath();
    settings.FallbackFolders = {TemporaryFolder()};
    return settings;
}

ListWriter::ListWriter(WriterSettings settings) : settings_(std::move(settings)) {}

ListWriter::~ListWriter() = default;

std::unique_ptr<KeyValueAccessor> ListWriter::Accessor() {
    if (settings_.Accessors) return settings_.Accessors();
    // The registry; included here only, so the rest of the writer works on any store.
    return RegistryAccessors()();
}

namespace {

// Whether a value holds text or another type (a value of another type is there too).
bool Present(KeyValueAccessor& key, const wchar_t* name) {
    try {
        return !key.ReadString(name).empty();
    } catch (const tk::Exception&) {
        return true;
    }
}

// The indexes of pair values at or past end (the list's end), whole or half. When the store
// counts its values and the count is that of the list's pairs and the values the writer knows,
// there are none, and the names are not listed (a key of ten thousand rows lists slowly); an empty
// value of those the writer knows only makes it look.
std::set<int> PairsPast(KeyValueAccessor& key, int end, int knownValues) {
    std::set<int> past;
    if (const auto count = key.ValueCount(); count && *count == static_cast<size_t>(2 * end + knownValues)) return past;
    if (const auto names = key.ValueNames()) {
        for (const std::wstring& name : *names) {
            const long long index = PairIndex(name);
            if (index >= end) past.insert(static_cast<int>(index));
        }
        return past;
    }
    // A store that cannot list its values: those up to a run of 64 free indexes.
    for (int i = end, free = 0; free < 64; ++i) {
        bool any = false;
        try {
            any = !key.ReadString(AliasValueName(i)).empty() || !key.ReadString(PathValueName(i)).empty();
        } catch (const tk::Exception&) {
            any = true;
        }
        if (any) {
            past.insert(i);
            free = 0;
        } else {
            ++free;
        }
    }
    return past;
}

}  // namespace

ListWriter::KeyState ListWriter::ReadState(bool wantRows) {
    KeyState state;
    auto accessor = Accessor();
    OpenedKey key(*accessor);
    if (!key.OpenForReading(settings_.KeyPath)) return state;
    state.Exists = true;
    try {
        state.Count = ParseChangeCount(accessor->ReadString(kChangeCountValue));
    } catch (const tk::Exception&) {
        state.Count = 0;  // a value of another type: rewritten by the next write
    }
    try {
        state.RecordText = accessor->ReadString(kRewriteRecordValue);
    } catch (const tk::Exception&) {
        state.RecordNotText = true;
    }
    if (!wantRows) return state;
    int end = 0;
    try {
        for (;; ++end) {
            std::wstring alias = accessor->ReadString(AliasValueName(end));
            std::wstring path = accessor->ReadString(PathValueName(end));
            if (alias.empty() || path.empty()) break;
            state.Rows.push_back({std::move(alias), std::move(path), false});
        }
    } catch (const tk::Exception& e) {
        state.Error = e.Message();
    }
    state.Leftovers = PairsPast(*accessor, end, KnownValues(*accessor));
    return state;
}

int ListWriter::KnownValues(KeyValueAccessor& key) {
    return Present(key, kChangeCountValue) + Present(key, kRewriteRecordValue) + Present(key, L"Setting");
}

bool ListWriter::IsOurRecoveryFile(const std::wstring& file) const {
    const std::filesystem::path p(file);
    if (!p.is_absolute() || !IsRecoveryFileName(p.filename().wstring())) return false;
    const std::wstring folder = FolderKey(p.parent_path().wstring());
    if (!settings_.BackupFolder.empty() && FolderKey(settings_.BackupFolder) == folder) return true;
    for (const std::wstring& fallback : settings_.FallbackFolders)
        if (!fallback.empty() && FolderKey(fallback) == folder) return true;
    return false;
}

std::wstring ListWriter::WriteRecoveryFile(const std::vector<ShortcutRow>& rows) {
    // A row the format cannot hold stops the change before anything is written.
    const std::wstring text = BackupText(rows);
    wchar_t name[96];
    std::swprintf(name, 96, L"recovery-%lu-%lu-%lu.pwb", static_cast<unsigned long>(GetCurrentProcessId()),
                  ++gRecoveryCounter, static_cast<unsigned long>(GetTickCount()));
    std::vector<std::wstring> folders{settings_.BackupFolder};
    folders.insert(folders.end(), settings_.FallbackFolders.begin(), settings_.FallbackFolders.end());
    std::wstring errors;
    for (const std::wstring& folder : folders) {
        if (folder.empty()) continue;
        const std::wstring file = (std::filesystem::path(folder) / name).wstring();
        try {
            if (!MakeFolders(folder)) throw tk::Exception(L"Unable to make the folder " + folder);
            tk::WriteUnicodeFile(file, text, false);
            return file;
        } catch (const tk::Exception& e) {
            errors += L"\r\n" + e.Message();
        }
    }
    throw tk::Exception(L"The list was not changed: no copy of it could be saved before the change." + errors);
}

namespace {

// Writes the pairs of `to` over the key holding `from` (plus the leftover pairs past its end):
// leftovers first (no reader sees them), then the differing pairs (a growing list from its end
// backwards, so no reader sees a new row before those in front of it are there), then the pairs
// past the new end, N before P, from the front, so the first deletion already ends the list.
struct PairPlan {
    PairRange Write;
    int OldCount = 0, NewCount = 0;
    std::vector<int> Leftovers;  // beyond max(OldCount, NewCount)
    int Changes() const {
        return std::max(0, Write.Last - Write.First + 1) + std::max(0, OldCount - NewCount);
    }
    bool Empty() const { return Changes() == 0 && Leftovers.empty(); }
};

PairPlan PlanPairs(const std::vector<ShortcutRow>& from, const std::vector<ShortcutRow>& to,
                   const std::set<int>& leftovers) {
    PairPlan plan;
    ListRows a(from), b(to);
    plan.Write = DifferingPairs(a, b);
    plan.OldCount = static_cast<int>(from.size());
    plan.NewCount = static_cast<int>(to.size());
    const int end = std::max(plan.OldCount, plan.NewCount);
    for (int i : leftovers)
        if (i >= end) plan.Leftovers.push_back(i);
    return plan;
}

void WritePairs(KeyValueAccessor& key, const PairPlan& plan, const std::vector<ShortcutRow>& to) {
    for (int i : plan.Leftovers) {
        key.DeleteValue(AliasValueName(i));
        key.DeleteValue(PathValueName(i));
    }
    const auto writePair = [&](int i) {
        key.WriteString(AliasValueName(i), to[static_cast<size_t>(i)].Alias);
        key.WriteString(PathValueName(i), to[static_cast<size_t>(i)].Path);
    };
    if (plan.NewCount > plan.OldCount) {
        for (int i = plan.Write.Last; i >= plan.Write.First; --i) writePair(i);
    } else {
        for (int i = plan.Write.First; i <= plan.Write.Last; ++i) writePair(i);
    }
    for (int i = plan.NewCount; i < plan.OldCount; ++i) {
        key.DeleteValue(AliasValueName(i));
        key.DeleteValue(PathValueName(i));
    }
}

// Puts the key back from what a failed WritePairs may have left to `before`: every pair it may
// have touched gets its value of before again, and those past before's end go.
void PutBack(KeyValueAccessor& key, const PairPlan& plan, const std::vector<ShortcutRow>& before) {
    const int last = std::max(plan.Write.Last, plan.OldCount - 1);
    for (int i = plan.Write.First; i <= last && i < plan.OldCount; ++i) {
        key.WriteString(AliasValueName(i), before[static_cast<size_t>(i)].Alias);
        key.WriteString(PathValueName(i), before[static_cast<size_t>(i)].Path);
    }
    for (int i = plan.OldCount; i < plan.NewCount; ++i) {
        key.DeleteValue(AliasValueName(i));
        key.DeleteValue(PathValueName(i));
    }
}

}  // namespace

RecoveryOutcome ListWriter::RecoverLocked() {
    RecoveryOutcome outcome;
    const KeyState state = ReadState(false);
    if (!state.RecordNotText && state.RecordText.empty()) return outcome;

    const auto clearRecord = [&] {
        // A record that cannot be cleared brings its message again at the next check.
        try {
            auto accessor = Accessor();
            OpenedKey key(*accessor);
            key.OpenForWriting(settings_.KeyPath, false);
            accessor->DeleteValue(kRewriteRecordValue);
        } catch (const tk::Exception&) {
        }
    };
    if (state.RecordNotText) {
        outcome.What = RecoveryOutcome::Kind::Foreign;
        outcome.File = L"?";
        clearRecord();
        return outcome;
    }
    const CrashRecord record = *ParseCrashRecord(state.RecordText);
    const bool ours = IsOurRecoveryFile(record.File);
    if (!ours) {
        // Neither replayed nor deleted: the file is not the writer's to touch.
        outcome.What = RecoveryOutcome::Kind::Foreign;
        outcome.File = state.RecordText;
        clearRecord();
        return outcome;
    }
    outcome.File = record.File;
    if (!record.Legacy && record.StartCount != state.Count) {
        // The write finished (the count was raised) or later writes followed: only the record goes.
        clearRecord();
        DeleteFileW(record.File.c_str());
        return outcome;
    }

    const FileBytes bytes = ReadRecoveryBytes(record.File);
    if (bytes.What == FileBytes::State::NotReadableNow) {
        outcome.What = RecoveryOutcome::Kind::NotReadableNow;
        outcome.Error = bytes.Error;
        return outcome;
    }
    std::vector<ShortcutRow> rows;
    try {
        if (bytes.What == FileBytes::State::Missing) throw tk::Exception(bytes.Error);
        rows = RowsFromBackupText(tk::DecodeText(bytes.Bytes, tk::DetectTextEncoding(bytes.Bytes)), record.File);
    } catch (const tk::Exception& e) {
        // The key keeps what it holds; only the record goes, so the message comes once.
        outcome.What = RecoveryOutcome::Kind::Unusable;
        outcome.Error = e.Message();
        clearRecord();
        return outcome;
    }

    try {
        WriteWholeList(rows, state.Count + 1);
        FlushQuietly();
        auto accessor = Accessor();
        OpenedKey key(*accessor);
        key.OpenForWriting(settings_.KeyPath, false);
        accessor->DeleteValue(kRewriteRecordValue);
    } catch (const tk::Exception& e) {
        outcome.What = RecoveryOutcome::Kind::Failed;
        outcome.Error = e.Message();
        return outcome;
    }
    DeleteFileW(record.File.c_str());
    outcome.What = RecoveryOutcome::Kind::Restored;
    outcome.Rows = static_cast<int>(rows.size());
    return outcome;
}

void ListWriter::WriteWholeList(const std::vector<ShortcutRow>& rows, std::uint64_t count) {
    // Every pair of the list is written (the key's own reading may stop early at a pair a cut-off
    // write left half), then every pair value past its end goes.
    const KeyState now = ReadState(true);
    std::set<int> past(now.Leftovers);
    for (int i = static_cast<int>(rows.size()); i < static_cast<int>(now.Rows.size()); ++i) past.insert(i);
    auto accessor = Accessor();
    OpenedKey key(*accessor);
    key.OpenForWriting(settings_.KeyPath, true);
    // Past the list's end first, from the front: a list longer in the key ends at once.
    for (int i : past) {
        if (i < static_cast<int>(rows.size())) continue;
        accessor->DeleteValue(AliasValueName(i));
        accessor->DeleteValue(PathValueName(i));
    }
    for (size_t i = 0; i < rows.size(); ++i) {
        accessor->WriteString(AliasValueName(static_cast<int>(i)), rows[i].Alias);
        accessor->WriteString(PathValueName(static_cast<int>(i)), rows[i].Path);
    }
    accessor->WriteString(kChangeCountValue, std::to_wstring(count));
}

void ListWriter::FlushQuietly() {
    // A flush the system refuses weakens only the order of what reaches the disk, not what the
    // key holds.
    auto accessor = Accessor();
    OpenedKey key(*accessor);
    if (!key.OpenForReading(settings_.KeyPath)) return;
    try {
        accessor->Flush();
    } catch (const tk::Exception&) {
    }
}

void ListWriter::RequireNoPendingRecovery() {
    lastRecovery_ = RecoverLocked();
    // A cut-off write whose list could not be put back: a write now would make its record look
    // finished and lose the way back, so nothing is written until the recovery succeeds.
    if (lastRecovery_.What == RecoveryOutcome::Kind::NotReadableNow ||
        lastRecovery_.What == RecoveryOutcome::Kind::Failed)
        throw tk::Exception(RecoveryMessage(lastRecovery_));
}

RecoveryOutcome ListWriter::Recover() {
    Lock lock(settings_.KeyPath, settings_.LockTimeoutMs);
    lastRecovery_ = RecoverLocked();
    return lastRecovery_;
}

StoredList ListWriter::Read() {
    Lock lock(settings_.KeyPath, settings_.LockTimeoutMs);
    lastRecovery_ = RecoverLocked();
    KeyState state = ReadState(true);
    StoredList list;
    list.Rows = std::move(state.Rows);
    list.Version = state.Count;
    list.Error = std::move(state.Error);
    return list;
}

WriteOutcome ListWriter::Apply(const std::vector<ShortcutRow>& basisRows, std::uint64_t basisVersion,
                               const ListChange& change) {
    Lock lock(settings_.KeyPath, settings_.LockTimeoutMs);
    RequireNoPendingRecovery();
    return ApplyLocked(&basisRows, basisVersion, change);
}

WriteOutcome ListWriter::Apply(const ListChange& change) {
    Lock lock(settings_.KeyPath, settings_.LockTimeoutMs);
    RequireNoPendingRecovery();
    return ApplyLocked(nullptr, 0, change);
}

bool ListWriter::Seed(const std::wstring& windowsDirectory) {
    Lock lock(settings_.KeyPath, settings_.LockTimeoutMs);
    {
        auto accessor = Accessor();
        if (accessor->KeyExists(settings_.KeyPath)) {
            lastRecovery_ = RecoverLocked();
            return false;
        }
    }
    lastRecovery_ = {};
    const WriteOutcome outcome = ApplyLocked(nullptr, 0, [&](const std::vector<ShortcutRow>&) {
        return std::vector<ShortcutRow>{{kSeedWindowsAlias, windowsDirectory}, {kSeedDriveAlias, kSeedDrivePath}};
    });
    return outcome.Written;
}

WriteOutcome ListWriter::ApplyLocked(const std::vector<ShortcutRow>* basisRows, std::uint64_t basisVersion,
                                     const ListChange& change) {
    WriteOutcome outcome;
    KeyState state = ReadState(false);
    if (basisRows && state.Count == basisVersion && state.Exists) {
        // The caller's rows are the key's: nobody wrote since they were read. Only the pairs past
        // their end are looked for, as names.
        outcome.Before = *basisRows;
        auto accessor = Accessor();
        OpenedKey key(*accessor);
        if (key.OpenForReading(settings_.KeyPath))
            state.Leftovers = PairsPast(*accessor, static_cast<int>(basisRows->size()), KnownValues(*accessor));
    } else {
        const std::uint64_t count = state.Count;
        const bool exists = state.Exists;
        state = ReadState(true);
        state.Count = count;
        state.Exists = exists;
        // A value of another type ends the reading: the pairs after it are no rows now but would
        // count as pairs past the end, so no change is decided on such a list.
        if (!state.Error.empty()) throw tk::ERegistryException(state.Error);
        outcome.Before = state.Rows;
        outcome.Stale = basisRows != nullptr;
    }
    outcome.After = change(outcome.Before);
    outcome.Version = state.Count;
    const PairPlan plan = PlanPairs(outcome.Before, outcome.After, state.Leftovers);
    if (plan.Empty()) {
        outcome.After = outcome.Before;
        return outcome;
    }

    const bool guarded = plan.Changes() > 1;
    std::wstring file;
    auto accessor = Accessor();
    OpenedKey key(*accessor);
    if (guarded) {
        // The recovery file is whole and on the disk before the record names it.
        file = WriteRecoveryFile(outcome.Before);
        CrashRecord record{state.Count, GetCurrentProcessId(), ProcessStartTime(), file, false};
        try {
            key.OpenForWriting(settings_.KeyPath, true);
            accessor->WriteString(kRewriteRecordValue, CrashRecordText(record));
        } catch (...) {
            DeleteFileW(file.c_str());
            throw;
        }
    } else {
        key.OpenForWriting(settings_.KeyPath, true);
    }
    try {
        if (guarded) {
            WritePairs(*accessor, plan, outcome.After);
            accessor->WriteString(kChangeCountValue, std::to_wstring(state.Count + 1));
        } else {
            // Without a record the count goes first: a write cut off after it makes other
            // programs read the key afresh, while a pair written before a count that never came
            // would pass for the list they hold.
            accessor->WriteString(kChangeCountValue, std::to_wstring(state.Count + 1));
            WritePairs(*accessor, plan, outcome.After);
        }
    } catch (...) {
        const std::exception_ptr error = std::current_exception();
        if (!guarded) throw;
        try {
            PutBack(*accessor, plan, outcome.Before);
            accessor->DeleteValue(kRewriteRecordValue);
        } catch (...) {
            // The record and its file stay: the next recovery puts the list back.
            throw tk::Exception(tk::FormatText(
                kRewriteLeftForNextStart, {tk::ExceptionMessage(error), tk::ExceptionMessage(std::current_exception())}));
        }
        DeleteFileW(file.c_str());
        std::rethrow_exception(error);
    }
    outcome.Version = state.Count + 1;
    outcome.Written = true;
    if (!guarded) return outcome;
    // Everything written is on the disk before the record goes, so a loss of power never keeps a
    // cleared record with half a list. A flush the system refuses weakens only that order.
    FlushQuietly();
    try {
        accessor->DeleteValue(kRewriteRecordValue);
    } catch (...) {
        // The list is whole and the count raised: the next check clears the record without
        // touching the list.
        outcome.Warning = tk::FormatText(kRecordNotCleared, {tk::ExceptionMessage(std::current_exception())});
        return outcome;
    }
    DeleteFileW(file.c_str());
    return outcome;
}

}  // namespace qd
