// The skin file reader: extracts "SKINDATA.SK2" from a skin archive to a temporary file, reads
// every named record into memory, removes the file and answers lookups by record name.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "skin/reader/SkinData.h"
#include "toolkit/BmpImage.h"

// The name of the record database inside a skin archive.
inline constexpr std::string_view kSkinDataMemberName = "SKINDATA.SK2";
// The message of the exception raised when a file is not a readable skin archive.
inline constexpr std::wstring_view kSkinReadFailedMessage = L"Failed to read skin file!";

class Tsk2SkinFileReader {
public:
    // Loads the skin file at once. Raises tk::Exception("Failed to read skin file!") when the file
    // is missing or not a skin archive holding the data member; returns with Loaded() false when
    // the member is rejected (password missing or wrong, wrong length). Malformed record data and
    // undecodable bitmaps raise their own toolkit exceptions. The temporary file is removed on
    // every path.
    Tsk2SkinFileReader(const std::filesystem::path& FileName, std::string_view Password);
    Tsk2SkinFileReader(const Tsk2SkinFileReader&) = delete;
    Tsk2SkinFileReader& operator=(const Tsk2SkinFileReader&) = delete;

    // Case-insensitive lookups; the first record of a name in chain order wins.
    const tk::BmpImage* FindBitmap(std::string_view name) const;
    std::int32_t ReadInteger(std::string_view name) const;  // -1 when absent
    bool ReadBoolean(std::string_view name) const;          // false when absent
    const std::string* FindString(std::string_view name) const;

    bool Loaded() const { return loaded_; }
    const skin::SkinTables& Tables() const { return tables_; }

    // Where the data member was extracted to during the last construction (for tests).
    const std::filesystem::path& TemporaryFileName() const { return tempName_; }

private:
    skin::SkinTables tables_;
    bool loaded_ = false;
    std::filesystem::path tempName_;
};
