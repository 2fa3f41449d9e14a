// Spreading a UI style over a form's components.
#pragma once

#include <string_view>

#include "skin/theme/FileTheme.h"
#include "skin/theme/ThemeItems.h"
#include "toolkit/Component.h"
#include "toolkit/win/Control.h"

// The UIStyle of the first form frame (class "TsuiForm") among the child controls of the owner
// when the owner is a form; DeepBlue when the owner is null, not a form, or has no frame.
TsuiUIStyle FindFormUIStyle(tk::TComponent* owner);

// For every direct child control of the container whose class publishes both "FileTheme" and
// "UIStyle": FileTheme := theme, then UIStyle := style, through the published properties.
void ApplyStyleToChildren(tk::TWinControl& container, TsuiUIStyle style, TsuiFileTheme* theme);

// Whether the component's class publishes a property of that name (false for no component).
bool HasPublishedProperty(const tk::TComponent* component, std::string_view name);
