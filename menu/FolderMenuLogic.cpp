#include "menu/FolderMenuLogic.h"

#include <array>

#include "toolkit/Text.h"

namespace qd::menu {

namespace {

// Virtual key codes of the named keys (the platform's values).
constexpr unsigned kF1 = 0x70, kF24 = 0x87, kNumPad0 = 0x60, kNumPad9 = 0x69;

struct NamedKey {
    unsigned Key;
    const wchar_t* Name;
};
// The first name of a key is the one written; the others are read too.
constexpr std::array kNamedKeys{
    NamedKey{0x20, L"Space"}, NamedKey{0x21, L"PgUp"},   NamedKey{0x21, L"PageUp"},
    NamedKey{0x22, L"PgDn"},  NamedKey{0x22, L"PageDown"}, NamedKey{0x23, L"End"},
    NamedKey{0x24, L"Home"},  NamedKey{0x25, L"Left"},   NamedKey{0x26, L"Up"},
    NamedKey{0x27, L"Right"}, NamedKey{0x28, L"Down"},   NamedKey{0x2D, L"Ins"},
    NamedKey{0x2D, L"Insert"}, NamedKey{0x2E, L"Del"},   NamedKey{0x2E, L"Delete"},
    NamedKey{0x13, L"Pause"},
};

using tk::AsciiUpper;

bool SameText(std::wstring_view a, std::wstring_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

std::wstring_view Trim(std::wstring_view text) {
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// The key a name stands for, or 0.
unsigned KeyOfName(std::wstring_view name) {
    if (name.size() == 1) {
        const wchar_t c = AsciiUpper(name[0]);
        if ((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9')) return c;
        return 0;
    }
    if (name.size() >= 2 && AsciiUpper(name[0]) == L'F') {
        unsigned number = 0;
        for (wchar_t c : name.substr(1)) {
            if (c < L'0' || c > L'9' || number > 24) return 0;
            number = number * 10 + (c - L'0');
        }
        if (name[1] != L'0' && number >= 1 && number <= 24) return kF1 + number - 1;
        return 0;
    }
    if (name.size() == 4 && SameText(name.substr(0, 3), L"Num") && name[3] >= L'0' && name[3] <= L'9')
        return kNumPad0 + (name[3] - L'0');
    for (const NamedKey& named : kNamedKeys)
        if (SameText(name, named.Name)) return named.Key;
    return 0;
}

// The modifier a name stands for, or 0.
unsigned ModifierOfName(std::wstring_view name) {
    if (SameText(name, L"Ctrl") || SameText(name, L"Control")) return HotKey::kCtrl;
    if (SameText(name, L"Alt")) return HotKey::kAlt;
    if (SameText(name, L"Shift")) return HotKey::kShift;
    if (SameText(name, L"Win") || SameText(name, L"Windows")) return HotKey::kWin;
    return 0;
}

}  // namespace

std::wstring KeyName(unsigned key) {
    if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')) return std::wstring(1, static_cast<wchar_t>(key));
    if (key >= kF1 && key <= kF24) return L"F" + std::to_wstring(key - kF1 + 1);
    if (key >= kNumPad0 && key <= kNumPad9) return L"Num" + std::to_wstring(key - kNumPad0);
    for (const NamedKey& named : kNamedKeys)
        if (named.Key == key) return named.Name;
    return L"";
}

std::wstring HotKeyText(const HotKey& key) {
    const std::wstring name = KeyName(key.Key);
    if (name.empty()) return L"";
    std::wstring text;
    if (key.Modifiers & HotKey::kWin) text += L"Win+";
    if (key.Modifiers & HotKey::kCtrl) text += L"Ctrl+";
    if (key.Modifiers & HotKey::kAlt) text += L"Alt+";
    if (key.Modifiers & HotKey::kShift) text += L"Shift+";
    return text + name;
}

bool IsUsableHotKey(const HotKey& key) {
    if (KeyName(key.Key).empty()) return false;
    if ((key.Modifiers & ~(HotKey::kAlt | HotKey::kCtrl | HotKey::kShift | HotKey::kWin)) != 0) return false;
    const bool functionKey = key.Key >= kF1 && key.Key <= kF24;
    return functionKey || (key.Modifiers & (HotKey::kCtrl | HotKey::kAlt | HotKey::kWin)) != 0;
}

std::optional<HotKey> ParseHotKey(std::wstring_view text) {
    text = Trim(text);
    if (text.empty() || SameText(text, kNoHotKeyValue)) return HotKey{};
    HotKey key;
    size_t start = 0;
    for (;;) {
        const size_t plus = text.find(L'+', start);
        const std::wstring_view part = Trim(text.substr(start, plus == std::wstring_view::npos ? text.npos : plus - start));
        const bool last = plus == std::wstring_view::npos;
        if (last) {
            key.Key = KeyOfName(part);
            break;
        }
        const unsigned modifier = ModifierOfName(part);
        // Each modifier once, and only before the key.
        if (modifier == 0 || (key.Modifiers & modifier)) return std::nullopt;
        key.Modifiers |= modifier;
        start = plus + 1;
    }
    if (!IsUsableHotKey(key)) return std::nullopt;
    return key;
}

HotKeySetting ReadHotKeySetting(const std::optional<std::wstring>& value) {
    if (!value) return {};
    if (const std::optional<HotKey> key = ParseHotKey(*value)) return {*key, L""};
    return {kDefaultHotKey, *value};
}

std::wstring HotKeySettingValue(const HotKey& key) { return key.Empty() ? kNoHotKeyValue : HotKeyText(key); }

std::wstring RunCommand(std::wstring_view exePath) { return L"\"" + std::wstring(exePath) + L"\""; }

bool RunCommandStartsProgram(std::wstring_view value, std::wstring_view exePath) {
    value = Trim(value);
    if (value.size() >= 2 && value.front() == L'"' && value.back() == L'"') value = value.substr(1, value.size() - 2);
    return !exePath.empty() && SameText(value, exePath);
}

std::wstring AliasCaption(std::wstring_view alias) {
    std::wstring caption;
    caption.reserve(alias.size());
    for (wchar_t c : alias) {
        caption += c;
        if (c == L'&') caption += L'&';
    }
    return caption;
}

}  // namespace qd::menu
