#include "skin/theme/StylePropagation.h"

#include <vector>

#include "toolkit/win/Form.h"

TsuiUIStyle FindFormUIStyle(tk::TComponent* owner) {
    auto* form = dynamic_cast<tk::TForm*>(owner);
    if (!form) return TsuiUIStyle::DeepBlue;
    for (tk::TControl* c : form->Controls()) {
        if (c->ClassName() != "TsuiForm") continue;
        const auto style = c->GetPublishedProperty("UIStyle");
        if (style && std::holds_alternative<int>(*style)) {
            const int value = std::get<int>(*style);
            if (value >= 0 && value <= static_cast<int>(TsuiUIStyle::BlueGlass)) return static_cast<TsuiUIStyle>(value);
        }
        return TsuiUIStyle::DeepBlue;
    }
    return TsuiUIStyle::DeepBlue;
}

void ApplyStyleToChildren(tk::TWinControl& container, TsuiUIStyle style, TsuiFileTheme* theme) {
    const std::vector<tk::TControl*> children = container.Controls();
    for (tk::TControl* c : children) {
        if (!HasPublishedProperty(c, "FileTheme") || !HasPublishedProperty(c, "UIStyle")) continue;
        c->SetPublishedProperty("FileTheme", static_cast<tk::TComponent*>(theme));
        c->SetPublishedProperty("UIStyle", static_cast<int>(style));
    }
}

bool HasPublishedProperty(const tk::TComponent* component, std::string_view name) {
    return component && component->PublishesProperty(name);
}
