// The folder menu's rules as plain functions: the hot key as text and as its setting in
// options.ini, the command the Run value holds, and the menu's captions. Both builds; nothing here
// touches a window.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qd::menu {

// A global hot key: modifier flags as the platform's hot keys take them and a virtual key code.
struct HotKey {
    static constexpr unsigned kAlt = 0x1, kCtrl = 0x2, kShift = 0x4, kWin = 0x8;
    unsigned Modifiers = 0;
    unsigned Key = 0;  // 0: no hot key
    bool Empty() const { return Key == 0; }
    bool operator==(const HotKey&) const = default;
};

// Win+Alt+F. A hot key is taken from every program, so the default must be no character on any
// keyboard: AltGr is Ctrl+Alt to the system, and Ctrl+Alt+F is AltGr+F, '[' on the Czech, Slovak
// and Hungarian layouts (Ctrl+Alt+letter types a character on many more); Ctrl+Shift+Alt+letter is
// AltGr+Shift, which several layouts use as well. No layout the system ships puts characters on the
// Win key (a layout's shift states are made of Shift, Ctrl, Alt and the Kana and OEM modifiers), and
// the system's own Win+Alt keys (D, G, R, B, K, the digits, Enter, Print Screen) leave F free.
constexpr HotKey kDefaultHotKey{HotKey::kWin | HotKey::kAlt, 'F'};

// "Win+Alt+F": the modifiers in the order Win, Ctrl, Alt, Shift (as the system's own key lists
// name them), then the key's name; "" for no hot key or a key without a name.
std::wstring HotKeyText(const HotKey& key);
// The name of a key that can be a hot key (letters, digits, F1 to F24, the editing and arrow keys,
// the number pad's digits, Space, Pause); "" for any other key.
std::wstring KeyName(unsigned key);
// Whether the combination may be a global hot key: a named key, with Ctrl, Alt or Win, or a
// function key (a letter with Shift alone would take that capital letter from every program).
bool IsUsableHotKey(const HotKey& key);
// The hot key a text names ("Win+Alt+F", in any order and letter case, blanks around the parts
// allowed; "Control" and "Windows" too), or nothing when the text is not a usable hot key.
// "None" (any letter case) and an empty text give the empty hot key.
std::optional<HotKey> ParseHotKey(std::wstring_view text);

// The hot key as options.ini keeps it: section [FolderMenu], key HotKey.
constexpr wchar_t kSettingsSection[] = L"FolderMenu";
constexpr wchar_t kHotKeyEntry[] = L"HotKey";
constexpr wchar_t kNoHotKeyValue[] = L"None";

struct HotKeySetting {
    HotKey Key = kDefaultHotKey;
    // The file's text when it named no usable hot key (the default then stands in), else empty.
    std::wstring Rejected;
};
// The setting from the file's value; nothing (the entry is missing) gives the default.
HotKeySetting ReadHotKeySetting(const std::optional<std::wstring>& value);
// The value written for a hot key: its text, or "None".
std::wstring HotKeySettingValue(const HotKey& key);

// The Run value that starts the program with Windows: the program's path in quotes.
std::wstring RunCommand(std::wstring_view exePath);
// Whether a Run value starts exactly this program: its path, quoted or not, in any letter case of
// the ASCII letters, with nothing after it.
bool RunCommandStartsProgram(std::wstring_view value, std::wstring_view exePath);

// An alias as a menu caption shows it: every "&" doubled, so that none underlines a letter.
std::wstring AliasCaption(std::wstring_view alias);

}  // namespace qd::menu
