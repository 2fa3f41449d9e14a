// Skin files for the reader and theme tests: a small skin with one record of each kind, written
// with the program's own skin writer, and a temporary folder the reader is pointed at so a
// test can see that no temporary file stays behind.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "skin/reader/SkinArchiveWriter.h"
#include "toolkit/BmpImage.h"

namespace qdtest {

// A w x h picture whose pixel (x, y) is 0x00RRGGBB with R = x, G = y, B = seed.
tk::BmpImage GradientImage(int w, int h, std::uint8_t seed);

// Records: bitmap "Pic" 5x3, integer "Colour" 0x00C0FFEE, boolean "Flag" 2, string "Note" "silver".
std::vector<skin::SkinRecordInput> SmallSkinRecords();

// A skin archive holding "SKINDATA.SK2" with the given records.
skin::Bytes SkinArchive(const std::vector<skin::SkinRecordInput>& records, const std::string& password = "");

void WriteFile(const std::filesystem::path& path, const skin::Bytes& bytes);

// Points the process's temporary folder at a fresh folder for its lifetime.
class TempFolderRedirect {
public:
    explicit TempFolderRedirect(const std::filesystem::path& folder);
    ~TempFolderRedirect();
    std::size_t FileCount() const;

private:
    std::filesystem::path folder_;
    std::wstring saved_;
    bool hadSaved_ = false;
};

}  // namespace qdtest
