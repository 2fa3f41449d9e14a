#include "skin/reader/SkinFileReader.h"

#include <system_error>

#include "skin/reader/ArchiveMember.h"
#include "skin/reader/TempFileName.h"
#include "toolkit/Exception.h"
#include "toolkit/Stream.h"
#include "toolkit/Text.h"

namespace {

// Removes the temporary file when the load ends, however it ends.
struct TempFileGuard {
    std::filesystem::path path;
    ~TempFileGuard() {
        std::error_code ec;
        std::filesystem::remove(path, ec);
    }
};

template <typename Table>
auto FindFirst(const Table& table, std::string_view name) -> decltype(&table.front().second) {
    for (const auto& [key, value] : table)
        if (tk::SameTextIgnoringAsciiCase(key, name)) return &value;
    return nullptr;
}

}  // namespace

Tsk2SkinFileReader::Tsk2SkinFileReader(const std::filesystem::path& FileName, std::string_view Password) {
    tempName_ = skin::NewTempFileName();
    TempFileGuard guard{tempName_};
    const ArchiveMemberResult r = ExtractArchiveMember(FileName, kSkinDataMemberName, tempName_, Password);
    if (r == amrRejected) return;
    if (r != amrExtracted) throw tk::Exception(std::wstring(kSkinReadFailedMessage));

    tk::TMemoryStream member;
    member.LoadFromFile(tempName_);
    const auto& bytes = member.Bytes();
    tables_ = skin::ParseSkinData(bytes.data(), bytes.size());
    loaded_ = true;
}

const tk::BmpImage* Tsk2SkinFileReader::FindBitmap(std::string_view name) const {
    return FindFirst(tables_.bitmaps, name);
}

std::int32_t Tsk2SkinFileReader::ReadInteger(std::string_view name) const {
    const std::int32_t* value = FindFirst(tables_.integers, name);
    return value ? *value : -1;
}

bool Tsk2SkinFileReader::ReadBoolean(std::string_view name) const {
    const std::uint8_t* value = FindFirst(tables_.booleans, name);
    return value && *value != 0;
}

const std::string* Tsk2SkinFileReader::FindString(std::string_view name) const {
    return FindFirst(tables_.strings, name);
}
