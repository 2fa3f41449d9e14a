#include "toolkit/Exception.h"

#include "toolkit/Text.h"

namespace tk {

Exception::Exception(std::wstring message)
    : message_(std::move(message)), narrow_(ToUtf8(message_)) {}

}  // namespace tk
