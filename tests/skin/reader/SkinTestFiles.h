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
#include "toolkit/Stream.h"

namespace qdtest {

// A w x h picture whose pixel (x, y) is 0x00RRGGBB with R = x, G = y, B = seed.
tk::BmpImage GradientImage(int w, int h, std::uint8_t seed);

// Records: bitmap "Pic" 5x3, integer "Colour" 0x00C0FFEE, boolean "Flag" 2, string "Note" "silver".
std::vector<skin::SkinRecordInput> SmallSkinRecords();

// A skin archive holding "SKINDATA.SK2" with the given records.
skin::Bytes SkinArchive(const std::vector<skin::SkinRecordInput>& records, const std::string& password = "");

void WriteFile(const std::filesystem::path& path, const skin::Bytes& bytes);

// Raw DEFLATE data that decodes to 1 + 258 * matches zero bytes: one dynamic block whose only
// codes are a zero literal, end-of-block and 1-bit codes for a 258-byte match at distance 1, so
// every four matches take one byte. 4161790 matches come to just under 1 GiB from about 1 MB.
skin::Bytes ZeroBomb(std::uint32_t matches);
inline constexpr std::uint32_t kGigabyteBombMatches = 4161790;

// A skin archive whose "SKINDATA.SK2" holds the raw DEFLATE data as it is (encrypted under the
// password when one is given), with the uncompressed size recorded as given.
skin::Bytes SkinArchiveOfDeflate(const skin::Bytes& deflate, std::uint32_t recordedSize,
                                 const std::string& password = "");

// An output that keeps nothing but the number of bytes written to it.
class CountingSink : public tk::TStream {
public:
    std::int64_t Read(void*, std::int64_t) override { return 0; }
    std::int64_t Write(const void*, std::int64_t count) override {
        written_ += static_cast<std::uint64_t>(count);
        return count;
    }
    std::int64_t Seek(std::int64_t, tk::SeekOrigin) override { return static_cast<std::int64_t>(written_); }
    std::uint64_t Written() const { return written_; }

private:
    std::uint64_t written_ = 0;
};

// A memory source that counts the bytes read from it.
class CountingSource : public tk::TMemoryStream {
public:
    using tk::TMemoryStream::TMemoryStream;
    std::int64_t Read(void* buffer, std::int64_t count) override {
        const std::int64_t got = tk::TMemoryStream::Read(buffer, count);
        read_ += static_cast<std::uint64_t>(got);
        return got;
    }
    std::uint64_t BytesRead() const { return read_; }

private:
    std::uint64_t read_ = 0;
};

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
