#include "toolkit/win/MenuItem.h"

#include <windows.h>

#include <unordered_map>
#include <unordered_set>

#include "toolkit/Exception.h"
#include "toolkit/win/Menus.h"

namespace tk {

namespace {

// Live items: native menus hand back raw item data, which is checked here before use.
std::unordered_set<const TMenuItem*>& LiveItems() {
    static std::unordered_set<const TMenuItem*> items;
    return items;
}

std::wstring KeyName(unsigned vk) {
    if ((vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9')) return std::wstring(1, static_cast<wchar_t>(vk));
    if (vk >= VK_F1 && vk <= VK_F24) return L"F" + std::to_wstring(vk - VK_F1 + 1);
    switch (vk) {
    case VK_BACK: return L"BkSp";
    case VK_TAB: return L"Tab";
    case VK_RETURN: return L"Enter";
    case VK_ESCAPE: return L"Esc";
    case VK_SPACE: return L"Space";
    case VK_PRIOR: return L"PgUp";
    case VK_NEXT: return L"PgDn";
    case VK_END: return L"End";
    case VK_HOME: return L"Home";
    case VK_LEFT: return L"Left";
    case VK_UP: return L"Up";
    case VK_RIGHT: return L"Right";
    case VK_DOWN: return L"Down";
    case VK_INSERT: return L"Ins";
    case VK_DELETE: return L"Del";
    default: break;
    }
    return L"";
}

}  // namespace

TMenuItem* FindItemByShortCut(TMenuItem* parent, TShortCut shortCut) {
    if (!parent || shortCut == 0) return nullptr;
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->Enabled()) continue;
        if (item->ShortCut() == shortCut) return item;
        if (TMenuItem* found = FindItemByShortCut(item, shortCut)) return found;
    }
    return nullptr;
}

std::wstring ShortCutToText(TShortCut shortCut) {
    const std::wstring key = KeyName(shortCut & 0xFF);
    if (key.empty()) return L"";
    std::wstring text;
    if (shortCut & scShift) text += L"Shift+";
    if (shortCut & scCtrl) text += L"Ctrl+";
    if (shortCut & scAlt) text += L"Alt+";
    return text + key;
}

TShortCut ShortCutOfKey(unsigned vk) {
    TShortCut shortCut = static_cast<TShortCut>(vk & 0xFF);
    if (GetKeyState(VK_SHIFT) < 0) shortCut |= scShift;
    if (GetKeyState(VK_CONTROL) < 0) shortCut |= scCtrl;
    if (GetKeyState(VK_MENU) < 0) shortCut |= scAlt;
    return shortCut;
}

// The identifiers of one tree of items: given out in turn, skipping those in use, so that an
// identifier freed by an item that went is not handed out again at once.
struct TMenuItem::CommandTable {
    std::unordered_map<unsigned, TMenuItem*> items;
    unsigned next = kFirstMenuCommand;

    unsigned Take(TMenuItem* item) {
        if (items.size() > kLastMenuCommand - kFirstMenuCommand) throw Exception(L"Too many menu items");
        for (;;) {
            const unsigned command = next;
            next = next == kLastMenuCommand ? kFirstMenuCommand : next + 1;
            if (items.emplace(command, item).second) return command;
        }
    }
};

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {
    // A sub-item joins its parent's tree; any other item starts a tree of its own.
    auto* parent = dynamic_cast<TMenuItem*>(owner);
    commands_ = parent ? parent->commands_ : std::make_shared<CommandTable>();
    command_ = commands_->Take(this);
    LiveItems().insert(this);
}

TMenuItem::~TMenuItem() {
    LiveItems().erase(this);
    commands_->items.erase(command_);
    command_ = 0;
}

TMenuItem* TMenuItem::FindCommand(unsigned command) const {
    const auto it = commands_->items.find(command);
    return it == commands_->items.end() ? nullptr : it->second;
}

bool TMenuItem::IsLive(const TMenuItem* item) { return item && LiveItems().contains(item); }

void TMenuItem::SetCaption(std::wstring caption) {
    caption_ = std::move(caption);
    Changed();
}

void TMenuItem::SetChecked(bool checked) {
    checked_ = checked;
    Changed();
}

void TMenuItem::SetEnabled(bool enabled) {
    enabled_ = enabled;
    Changed();
}

void TMenuItem::SetDefault(bool value) {
    default_ = value;
    Changed();
}

void TMenuItem::SetImageIndex(int index) {
    imageIndex_ = index;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    shortCut_ = shortCut;
    Changed();
}

TMenuItem* TMenuItem::Add(std::wstring caption) {
    auto* item = new TMenuItem(this);
    item->caption_ = std::move(caption);
    items_.push_back(item);
    // The menu hears of the new item once it is whole (the owner's notification comes during its
    // construction).
    if (TMenu* menu = Menu()) menu->Notification(item, Operation::Insert);
    Changed();
    return item;
}

TMenuItem* TMenuItem::Parent() const { return dynamic_cast<TMenuItem*>(Owner()); }

TMenu* TMenuItem::Menu() const {
    const TMenuItem* top = this;
    while (TMenuItem* p = top->Parent()) top = p;
    return dynamic_cast<TMenu*>(top->Owner());
}

void TMenuItem::Click() {
    if (OnClick) OnClick(this);
}

void TMenuItem::Changed() {
    if (TMenu* menu = Menu()) menu->MenuChanged(this);
}

void TMenuItem::Notification(TComponent* component, Operation operation) {
    if (operation == Operation::Remove && std::erase(items_, component) > 0 && !IsDestroying()) Changed();
    TComponent::Notification(component, operation);
}

}  // namespace tk
