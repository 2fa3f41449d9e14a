// What the file theme needs from the operating system: the folders a theme file is looked for in,
// whether a component is a form, and the frame-changed request to a form's window.
#pragma once

#include <filesystem>
#include <vector>

#include "toolkit/Component.h"

namespace skin {

// The program's folder, then (on Windows) the Windows folder and the system folder.
std::vector<std::filesystem::path> ThemeSearchFolders();

bool IsFormComponent(const tk::TComponent* component);

// SetWindowPos with SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED on
// the form's window, when it has one.
void RequestFrameChange(tk::TComponent* form);

}  // namespace skin
