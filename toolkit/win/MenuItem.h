// Menu items as a tree of components: a caption, sub-items owned by their parent item, and the
// measure and draw handlers of an owner-drawn item.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolkit/Component.h"
#include "toolkit/win/Canvas.h"

namespace tk {

class TMenuItem;
// Measures an item: the handler sets the width and height it needs.
using TMenuMeasureItemEvent = std::function<void(TMenuItem* sender, TCanvas& canvas, int& width, int& height)>;
// Draws an item into the rectangle.
using TMenuDrawItemEvent = std::function<void(TMenuItem* sender, TCanvas& canvas, const TRect& rect, bool selected)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner) : TComponent(owner) {}
    std::string_view ClassName() const override { return "TMenuItem"; }

    const std::wstring& Caption() const { return caption_; }
    void SetCaption(std::wstring caption) { caption_ = std::move(caption); }

    // Sub-items, in order. Add creates one owned by this item.
    TMenuItem* Add(std::wstring caption) {
        auto* item = new TMenuItem(this);
        item->SetCaption(std::move(caption));
        items_.push_back(item);
        return item;
    }
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const { return items_.at(static_cast<std::size_t>(index)); }

    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;

    void Notification(TComponent* component, Operation operation) override {
        if (operation == Operation::Remove) std::erase(items_, component);
        TComponent::Notification(component, operation);
    }

private:
    std::wstring caption_;
    std::vector<TMenuItem*> items_;
};

}  // namespace tk
