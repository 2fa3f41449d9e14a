#include "tools/skinpreview/PreviewArgs.h"

#include <cwctype>

namespace preview {

namespace {

struct Named {
    const wchar_t* name;
    TsuiUIStyle style;
};
constexpr Named kStyles[] = {{L"MacOS", TsuiUIStyle::MacOS},
                             {L"WinXP", TsuiUIStyle::WinXP},
                             {L"DeepBlue", TsuiUIStyle::DeepBlue},
                             {L"Protein", TsuiUIStyle::Protein},
                             {L"BlueGlass", TsuiUIStyle::BlueGlass}};

std::wstring Lower(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

}  // namespace

std::optional<TsuiUIStyle> StyleByName(const std::wstring& name) {
    for (const Named& n : kStyles)
        if (Lower(n.name) == Lower(name)) return n.style;
    return std::nullopt;
}

std::wstring StyleName(TsuiUIStyle style) {
    for (const Named& n : kStyles)
        if (n.style == style) return n.name;
    return L"skin file";
}

std::wstring ResolveSkinPath(const std::wstring& file, const std::filesystem::path& currentFolder) {
    const std::filesystem::path path(file);
    if (path.is_absolute() || currentFolder.empty()) return file;
    return (currentFolder / path).lexically_normal().wstring();
}

PreviewArgs ParsePreviewArgs(const std::vector<std::wstring>& args) {
    PreviewArgs out;
    bool haveStyle = false, haveSkin = false, havePassword = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::wstring& a = args[i];
        if (a != L"--style" && a != L"--skin" && a != L"--password") {
            out.Error = L"Unknown argument: " + a;
            return out;
        }
        if (i + 1 >= args.size()) {
            out.Error = a + L" needs a value";
            return out;
        }
        const std::wstring& value = args[++i];
        if (a == L"--style") {
            const auto style = StyleByName(value);
            if (!style) {
                out.Error = L"Unknown style: " + value;
                return out;
            }
            out.Style = *style;
            haveStyle = true;
        } else if (a == L"--skin") {
            if (value.empty()) {
                out.Error = L"--skin needs a file name";
                return out;
            }
            out.SkinFile = value;
            haveSkin = true;
        } else {
            out.Password = value;
            havePassword = true;
        }
    }
    if (haveStyle && haveSkin) {
        out.Error = L"Give either --style or --skin, not both";
    } else if (havePassword && !haveSkin) {
        out.Error = L"--password goes with --skin";
    } else if (haveSkin) {
        out.Style = TsuiUIStyle::FromThemeFile;
    }
    return out;
}

}  // namespace preview
