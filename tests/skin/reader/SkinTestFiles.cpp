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
