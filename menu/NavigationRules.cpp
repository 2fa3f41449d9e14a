#include "menu/NavigationRules.h"

#include <windows.h>

namespace qd::menu {

FrontKind KindOf(const WindowFacts& facts) {
    if (IsExplorerClass(facts.className)) return FrontKind::ExplorerWindow;
    if (IsConsoleClass(facts.className)) return FrontKind::Console;
    if (facts.className == L"#32770" && facts.enabled && !facts.askingThread && facts.folderTree &&
        !facts.nameField && !facts.filesListed)
        return FrontKind::FolderTree;
    // A dialog busy with a box of its own (disabled) is left alone.
    if (facts.className != L"#32770" || !facts.nameField || !facts.enabled) return FrontKind::Other;
    if (!facts.filesListed || facts.passwordField || facts.askingThread) return FrontKind::Other;
    // The older dialogs have no way to pick a folder: OK on a folder path always opens the folder.
    if (facts.lookInList || facts.fileTypesShown) return FrontKind::FileDialog;
    return FrontKind::UncertainDialog;
}

bool IsExplorerClass(std::wstring_view className) {
    return className == L"CabinetWClass" || className == L"ExploreWClass" || className == L"ExplorerWClass";
}

bool IsConsoleClass(std::wstring_view className) {
    return className == L"ConsoleWindowClass" || className == L"WineConsoleClass";
}

std::wstring DialogFolderText(const std::wstring& folder) {
    std::wstring text = folder;
    for (wchar_t& c : text)
        if (c == L'/') c = L'\\';
    for (const wchar_t c : text)
        if (c < 0x20 || c == L'*' || c == L'?' || c == L'"' || c == L'<' || c == L'>' || c == L'|') return {};
    if (!IsFullPath(text)) return {};
    const bool share = text[0] == L'\\';
    while (!text.empty() && text.back() == L'\\') text.pop_back();
    if (share && text.find(L'\\', 2) == std::wstring::npos) return {};  // a server without a share
    return text + L'\\';
}

bool TextFromAnswer(const std::vector<std::uint8_t>& buffer, long long length, std::wstring& text) {
    if (length <= 0 || static_cast<unsigned long long>(length) > buffer.size()) return false;
    const std::size_t units = buffer.size() / 2;
    auto unit = [&](std::size_t i) { return static_cast<wchar_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8)); };
    const auto end = static_cast<std::size_t>(length - 1);
    if (end < units && unit(end) == L'\0') {
        std::size_t i = 0;
        while (i < end && unit(i) != L'\0') ++i;
        if (i == end) {
            text.assign(reinterpret_cast<const wchar_t*>(buffer.data()), end);
            return true;
        }
    }
    std::size_t n = 0;
    while (n < buffer.size() && buffer[n] != 0) ++n;
    if (n == buffer.size()) return false;
    text.clear();
    if (n == 0) return true;
    const auto* bytes = reinterpret_cast<const char*>(buffer.data());
    const int wide = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(n), nullptr, 0);
    if (wide <= 0) return false;
    text.resize(static_cast<std::size_t>(wide));
    MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(n), text.data(), wide);
    return true;
}

std::size_t ItemIdListSize(const ByteReader& read, std::size_t limit) {
    std::size_t offset = 0;
    for (;;) {
        std::uint16_t size = 0;
        if (limit < 2 || offset > limit - 2 || !read(offset, &size, 2)) return 0;
        if (size == 0) return offset + 2;
        // Every item holds at least its own size field; a smaller one would never end the list.
        if (size < 2 || size > limit - offset) return 0;
        offset += size;
    }
}

}  // namespace qd::menu
