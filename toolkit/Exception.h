// The toolkit's exception classes. Messages are wide text so that file and value names survive
// whole; what() gives the same text as UTF-8 for logs and test output.
#pragma once

#include <exception>
#include <string>

namespace tk {

class Exception : public std::exception {
public:
    explicit Exception(std::wstring message);
    const std::wstring& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return narrow_.c_str(); }

private:
    std::wstring message_;
    std::string narrow_;
};

// Stream errors: a file that cannot be opened or created, a short read or write.
class EStreamError : public Exception { using Exception::Exception; };
class EFOpenError : public EStreamError { using EStreamError::EStreamError; };
class EFCreateError : public EStreamError { using EStreamError::EStreamError; };
class EReadError : public EStreamError { using EStreamError::EStreamError; };
class EWriteError : public EStreamError { using EStreamError::EStreamError; };

// Registry accessor errors: "Invalid data type for '%s'", "Failed to set data for '%s'".
class ERegistryException : public Exception { using Exception::Exception; };

// INI file errors: "Unable to write to %s".
class EIniFileException : public Exception { using Exception::Exception; };

}  // namespace tk
