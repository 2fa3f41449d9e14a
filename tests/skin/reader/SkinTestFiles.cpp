#include "tests/skin/reader/SkinTestFiles.h"

#include <cstdlib>
#include <fstream>

#ifdef _WIN32
#include <windows.h>
#endif

namespace qdtest {

tk::BmpImage GradientImage(int w, int h, std::uint8_t seed) {
    tk::BmpImage image;
    image.width = w;
    image.height = h;
    image.pixels.resize(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.SetPixel(x, y, ((x & 0xFF) << 16) | ((y & 0xFF) << 8) | seed);
    return image;
}

std::vector<skin::SkinRecordInput> SmallSkinRecords() {
    return {
        skin::SkinRecordInput::Bitmap("Pic", tk::EncodeBmp24(GradientImage(5, 3, 7))),
        skin::SkinRecordInput::Integer("Colour", 0x00C0FFEE),
        skin::SkinRecordInput::Boolean("Flag", 2),
        skin::SkinRecordInput::String("Note", "silver"),
    };
}

skin::Bytes SkinArchive(const std::vector<skin::SkinRecordInput>& records, const std::string& password) {
    skin::ArchiveMemberInput member;
    member.name = "SKINDATA.SK2";
    member.content = skin::BuildSkinData(records);
    member.password = password;
    return skin::BuildSkinArchive({member});
}

skin::Bytes ZeroBomb(std::uint32_t matches) {
    skin::Bytes out;
    std::uint64_t used = 0;  // bits written
    auto bits = [&](std::uint32_t value, int count) {  // lowest bit first
        for (int i = 0; i < count; ++i) {
            if (used % 8 == 0) out.push_back(0);
            out.back() |= static_cast<std::uint8_t>(((value >> i) & 1) << (used % 8));
            ++used;
        }
    };
    auto code = [&](std::uint32_t value, int length) {  // Huffman codes go highest bit first
        for (int i = length - 1; i >= 0; --i) bits(value >> i, 1);
    };
    bits(1, 1);   // final block
    bits(2, 2);   // dynamic codes
    bits(29, 5);  // 286 literal/length code lengths, up to the 258-byte match symbol 285
    bits(0, 5);   // 1 distance code length
    bits(14, 4);  // 18 code-length code lengths, in the stored order 16 17 18 0 8 7 9 6 10 5 11 4 12 3 13 2 14 1
    const int codeLengthLengths[18] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2};
    for (int length : codeLengthLengths) bits(static_cast<std::uint32_t>(length), 3);
    // Code-length codes: 18 (a run of zeros) is "0", length 1 is "10", length 2 is "11".
    auto zeros = [&](int count) {
        while (count > 0) {
            const int n = count > 138 ? 138 : count;
            code(0, 1);
            bits(static_cast<std::uint32_t>(n - 11), 7);
            count -= n;
        }
    };
    code(3, 2);   // literal 0: length 2
    zeros(255);   // literals 1-255
    code(3, 2);   // end-of-block: length 2
    zeros(28);    // lengths 257-284
    code(2, 2);   // 285 (length 258): length 1
    code(2, 2);   // distance 0 (distance 1): length 1
    // Literal/length codes: 285 is "0", literal 0 "10", end-of-block "11"; the distance code is "0".
    code(2, 2);
    // Each match is "0" and "0": all its bits are zero, and so are those not yet used in the last byte.
    used += 2 * std::uint64_t{matches};
    out.resize(static_cast<std::size_t>((used + 7) / 8), 0);
    code(3, 2);  // end-of-block
    return out;
}

skin::Bytes SkinArchiveOfDeflate(const skin::Bytes& deflate, std::uint32_t recordedSize, const std::string& password) {
    skin::ArchiveMemberInput member;
    member.name = "SKINDATA.SK2";
    member.password = password;
    skin::Bytes file = skin::BuildSkinArchive({member}, [&](const skin::Bytes&) { return deflate; });
    const std::size_t directory = skin::Get32(file, file.size() - 6);
    skin::Put32(file, 22, recordedSize);             // local header
    skin::Put32(file, directory + 24, recordedSize);  // directory record
    return file;
}

void WriteFile(const std::filesystem::path& path, const skin::Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

#ifdef _WIN32
static const wchar_t* kTempVariable = L"TMP";
#endif

TempFolderRedirect::TempFolderRedirect(const std::filesystem::path& folder) : folder_(folder) {
    std::filesystem::create_directories(folder_);
#ifdef _WIN32
    wchar_t buffer[32768];
    const DWORD n = GetEnvironmentVariableW(kTempVariable, buffer, 32768);
    hadSaved_ = n > 0 && n < 32768;
    if (hadSaved_) saved_.assign(buffer, n);
    SetEnvironmentVariableW(kTempVariable, (folder_.wstring() + L"\\").c_str());
#else
    if (const char* old = std::getenv("TMPDIR")) {
        hadSaved_ = true;
        saved_ = std::filesystem::path(old).wstring();
    }
    setenv("TMPDIR", folder_.c_str(), 1);
#endif
}

TempFolderRedirect::~TempFolderRedirect() {
#ifdef _WIN32
    SetEnvironmentVariableW(kTempVariable, hadSaved_ ? saved_.c_str() : nullptr);
#else
    if (hadSaved_)
        setenv("TMPDIR", std::filesystem::path(saved_).c_str(), 1);
    else
        unsetenv("TMPDIR");
#endif
}

std::size_t TempFolderRedirect::FileCount() const {
    std::size_t n = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder_)) {
        (void)e;
        ++n;
    }
    return n;
}

}  // namespace qdtest
