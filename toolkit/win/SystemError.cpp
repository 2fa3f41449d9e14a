#include "toolkit/win/SystemError.h"

#include <iterator>

namespace tk {

std::wstring SystemErrorText(DWORD error) {
    wchar_t text[512] = {};
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                   static_cast<DWORD>(std::size(text)), nullptr);
    std::wstring message(text, n);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r')) message.pop_back();
    return message.empty() ? L"error " + std::to_wstring(error) : message;
}

}  // namespace tk
