#include "app/ListKeys.h"

#include <windows.h>

#include "app/FindBox.h"
#include "app/Main.h"
#include "toolkit/win/Application.h"

namespace qd {

namespace {

struct VirtualKey {
    Key key;
    unsigned vk;
};

constexpr VirtualKey kVirtualKeys[] = {
    {Key::Enter, VK_RETURN}, {Key::Escape, VK_ESCAPE}, {Key::Space, VK_SPACE}, {Key::Insert, VK_INSERT},
    {Key::Delete, VK_DELETE}, {Key::Up, VK_UP},        {Key::Down, VK_DOWN},   {Key::F2, VK_F2},
    {Key::F3, VK_F3},        {Key::F5, VK_F5},         {Key::C, 'C'},          {Key::F, 'F'},
    {Key::V, 'V'},           {Key::Y, 'Y'},            {Key::Z, 'Z'},
};

std::uint8_t ModifiersHeld() {
    std::uint8_t modifiers = kNoModifier;
    if (GetKeyState(VK_SHIFT) < 0) modifiers |= kShift;
    if (GetKeyState(VK_CONTROL) < 0) modifiers |= kCtrl;
    if (GetKeyState(VK_MENU) < 0) modifiers |= kAlt;
    return modifiers;
}

}  // namespace

std::optional<KeyChord> ChordOfKey(unsigned vk, std::uint8_t modifiers) {
    for (const VirtualKey& k : kVirtualKeys)
        if (k.vk == vk) return KeyChord{k.key, modifiers};
    return std::nullopt;
}

tk::TShortCut CommandKey(desc::MainCommand command) {
    const std::optional<KeyChord> chord = KeyOfCommand(command);
    if (!chord) return 0;
    unsigned shortCut = 0;
    for (const VirtualKey& k : kVirtualKeys)
        if (k.key == chord->key) shortCut = k.vk;
    if (chord->modifiers & kShift) shortCut |= tk::scShift;
    if (chord->modifiers & kCtrl) shortCut |= tk::scCtrl;
    if (chord->modifiers & kAlt) shortCut |= tk::scAlt;
    return static_cast<tk::TShortCut>(shortCut);
}

std::wstring HintWithKey(const std::wstring& hint, desc::MainCommand command) {
    const tk::TShortCut key = CommandKey(command);
    if (hint.empty() || key == 0) return hint;
    return hint + L" (" + tk::ShortCutToText(key) + L")";
}

KeyFocus TfrmMain::KeyFocusOf(HWND target) {
    if (!HandleAllocated() || !target || GetAncestor(target, GA_ROOT) != Handle() || !IsWindowEnabled(Handle()))
        return KeyFocus::Outside;
    if (lvMain->HandleAllocated() && target == lvMain->Handle()) return KeyFocus::List;
    if (findBox_ && findBox_->HandleAllocated() && target == findBox_->Handle()) return KeyFocus::FindBox;
    wchar_t className[16] = {};
    GetClassNameW(target, className, 16);
    return lstrcmpiW(className, L"Edit") == 0 ? KeyFocus::EditBox : KeyFocus::OtherControl;
}

bool TfrmMain::KeyPressed(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    const std::optional<KeyChord> chord = ChordOfKey(static_cast<unsigned>(msg.wParam), ModifiersHeld());
    if (!chord) return false;
    const std::optional<desc::MainCommand> command =
        KeyCommand(*chord, {KeyFocusOf(msg.hwnd), findBox_ && findBox_->IsOpen()});
    if (!command) return false;
    // The key is taken before the window typed into sees it (the list would search for a row by
    // it), also when the command cannot run now (no row chosen, the first row moved up). An error
    // goes to the error box here, so the key never reaches that window after all.
    tk::Application().Guarded([&] { RunCommand(*command); });
    return true;
}

void TfrmMain::InstallKeys() {
    suiForm1->LeaveKeysToHost();
    keyHook_ = tk::Application().AddMessageHook([this](MSG& msg) { return KeyPressed(msg); });
}

void TfrmMain::RemoveKeys() {
    if (keyHook_) tk::Application().RemoveMessageHook(keyHook_);
    keyHook_ = 0;
}

}  // namespace qd
