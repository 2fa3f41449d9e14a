#include "tests/support/TempDir.h"

#include <atomic>
#include <chrono>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#define QD_GETPID _getpid
#else
#include <unistd.h>
#define QD_GETPID getpid
#endif

namespace qdtest {

std::wstring UniqueName(const std::wstring& prefix) {
    static std::atomic<unsigned> counter{0};
    static const unsigned salt = std::random_device{}();
    return prefix + L"-" + std::to_wstring(QD_GETPID()) + L"-" + std::to_wstring(salt % 100000) + L"-" +
           std::to_wstring(counter++);
}

TempDir::TempDir() {
    path_ = std::filesystem::temp_directory_path() / UniqueName(L"qdtest");
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

}  // namespace qdtest
