// Output of a windowed program started from a command line. Such a program has no console of its
// own: it writes to the standard handle it was handed (a file or pipe its output was redirected
// to, or a console), else to the console of the process that started it, if that has one.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>

#include "toolkit/win/Scoped.h"

namespace tk {

enum class TStdStreamKind { Output, Error };

class TStdStream {
public:
    explicit TStdStream(TStdStreamKind kind);
    TStdStream(const TStdStream&) = delete;
    TStdStream& operator=(const TStdStream&) = delete;

    // False when there is nowhere to write.
    bool Available() const { return handle_ != nullptr; }
    // It writes to the standard handle it was handed (which may still refuse the write: a pipe
    // whose reader has gone).
    bool Handed() const { return handle_ != nullptr && !console_; }
    // It writes to its starter's console.
    bool ThroughConsole() const { return handle_ != nullptr && console_ != nullptr; }
    // Writes the text: to a console as its characters, to a file or pipe as UTF-8. False when
    // there is nowhere to write or the write failed.
    bool Write(std::wstring_view text);

private:
    HANDLE handle_ = nullptr;             // the standard handle (not ours to close) or console_
    std::unique_ptr<ScopedFile> console_;  // the starter's console, opened here
    bool isConsole_ = false;
};

}  // namespace tk
