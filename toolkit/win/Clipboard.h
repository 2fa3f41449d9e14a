// Putting text on the clipboard as Unicode text (CF_UNICODETEXT), which every program can read
// whatever its code page: a path in Chinese reaches a program running in another code page intact.
#pragma once

#include <windows.h>

#include <string>

namespace tk {

// Replaces what the clipboard holds with the text; owner (may be nullptr) owns the clipboard
// afterwards. Another program may hold the clipboard open for a moment, so it is asked again for
// about half a second. False when the text could not be put there.
bool SetClipboardText(HWND owner, const std::wstring& text);

}  // namespace tk
