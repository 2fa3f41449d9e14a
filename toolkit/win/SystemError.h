// The system's own words for an error code, for messages a person reads.
#pragma once

#include <windows.h>

#include <string>

namespace tk {

// The system's text for error (without the line break it ends with); "error N" when it has none.
std::wstring SystemErrorText(DWORD error);

}  // namespace tk
