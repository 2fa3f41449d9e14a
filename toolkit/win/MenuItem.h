// Menu items as a tree of components: a caption ("-" makes a separator), a check mark, enabled
// and default states, an image index, a keyboard shortcut, sub-items owned by their parent item,
// a click handler, and the measure and draw handlers of an owner-drawn item.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/win/Canvas.h"

namespace tk {

class TMenuItem;
class TMenu;
// Measures an item: the handler sets the width and height it needs.
using TMenuMeasureItemEvent = std::function<void(TMenuItem* sender, TCanvas& canvas, int& width, int& height)>;
// Draws an item into the rectangle.
using TMenuDrawItemEvent = std::function<void(TMenuItem* sender, TCanvas& canvas, const TRect& rect, bool selected)>;

// A keyboard shortcut: the virtual key in the low byte, with the modifier flags below.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
// "Ctrl+S", "Shift+F5", "Del"; empty for no shortcut.
std::wstring ShortCutToText(TShortCut shortCut);
// The shortcut of a key pressed with the modifier keys held at the time of the message being
// handled.
TShortCut ShortCutOfKey(unsigned vk);

// The first enabled item below the parent (depth first, through enabled items only) with the
// shortcut, or nullptr; 0 is no shortcut and finds nothing.
TMenuItem* FindItemByShortCut(TMenuItem* parent, TShortCut shortCut);

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;
    std::string_view ClassName() const override { return "TMenuItem"; }

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring caption);
    // A separator line: the caption "-".
    bool IsLine() const { return caption_ == L"-"; }

    bool Checked() const { return checked_; }
    void SetChecked(bool checked);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // The default item of its menu, drawn bold.
    bool Default() const { return default_; }
    void SetDefault(bool value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);

    // Sub-items, in order. Add creates one owned by this item; the menu above hears of it.
    TMenuItem* Add(std::wstring caption);
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }
    // The item this one is a sub-item of, and the menu at the top of the tree (or nullptr).
    TMenuItem* Parent() const;
    TMenu* Menu() const;

    // The identifier the native menu reports the item by. Each tree of items (a menu and all its
    // items) gives out its own, unique within the tree, from kFirstMenuCommand to kLastMenuCommand:
    // above the identifiers of dialogs (IDOK, IDCANCEL, ...), which the dialog manager sends for
    // Enter and Escape in the same message as a menu choice.
    unsigned Command() const { return command_; }
    static constexpr unsigned kFirstMenuCommand = 0x8000, kLastMenuCommand = 0xDFFF;
    // The item of the identifier in this item's tree, or nullptr.
    TMenuItem* FindCommand(unsigned command) const;
    // Whether the pointer names a live item (native menus hand back raw item data).
    static bool IsLive(const TMenuItem* item);

    TNotifyEvent OnClick;
    void Click();

    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;

    void Notification(TComponent* component, Operation operation) override;

private:
    struct CommandTable;
    void Changed();

    std::wstring caption_;
    bool checked_ = false, enabled_ = true, default_ = false;
    int imageIndex_ = -1;
    TShortCut shortCut_ = 0;
    std::shared_ptr<CommandTable> commands_;  // shared by the items of one tree
    unsigned command_ = 0;
    std::vector<TMenuItem*> items_;
};

}  // namespace tk
