// Counts the device contexts, GDI objects, icons and hooks that this program takes from the
// system and has not given back. The system's own count (GetGuiResources) is not implemented under
// Wine, so the ledger watches the program's calls instead: it redirects the program's import table
// entries of the functions that acquire and release these resources to recorders that call the
// real functions. Calls the system makes for itself are not seen, only the program's own. Watching
// starts with the first ledger: a function that called a watched function before may keep using
// the address it loaded then, so start one before the code to be watched runs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace qdtest {

class ResourceLedger {
public:
    // Starts watching (the import table is redirected once per process) and remembers what is
    // held now; the counts below are relative to that.
    ResourceLedger();

    // Resources acquired since construction and still held.
    int Held() const;
    // Those resources, one line each ("GetDC 0x1234"), for failure messages.
    std::wstring HeldText() const;

private:
    std::uint64_t start_ = 0;
};

}  // namespace qdtest
