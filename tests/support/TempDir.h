// A fresh folder under the system's temporary folder, removed with everything in it at the end of
// the test.
#pragma once

#include <filesystem>
#include <string>

namespace qdtest {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::filesystem::path& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// A name that no other test or test process uses at the same time.
std::wstring UniqueName(const std::wstring& prefix);

}  // namespace qdtest
