#include "skin/theme/ThemePlatform.h"

#ifdef _WIN32
#include <windows.h>

#include "toolkit/win/Form.h"
#else
#include <system_error>
#endif

namespace skin {

std::vector<std::filesystem::path> ThemeSearchFolders() {
    std::vector<std::filesystem::path> folders;
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n > 0 && n < buffer.size()) folders.push_back(std::filesystem::path(buffer.substr(0, n)).parent_path());
    n = GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n > 0 && n < buffer.size()) folders.emplace_back(buffer.substr(0, n));
    n = GetSystemDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
    if (n > 0 && n < buffer.size()) folders.emplace_back(buffer.substr(0, n));
#else
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) folders.push_back(exe.parent_path());
#endif
    return folders;
}

bool IsFormComponent(const tk::TComponent* component) {
#ifdef _WIN32
    return dynamic_cast<const tk::TForm*>(component) != nullptr;
#else
    (void)component;
    return false;
#endif
}

void RequestFrameChange(tk::TComponent* form) {
#ifdef _WIN32
    auto* f = dynamic_cast<tk::TForm*>(form);
    if (f && f->HandleAllocated())
        SetWindowPos(f->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
#else
    (void)form;
#endif
}

}  // namespace skin
