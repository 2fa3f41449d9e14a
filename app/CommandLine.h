// The command line of Quiverdir.exe: list, add and delete shortcuts and export and import backups
// without the window. Running a command is a plain function (the words it takes are parsed in
// list/CommandLineParse.h); CommandLineMain joins them to the process (its output streams, its
// exit status and the notice to a running editor).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "list/CommandLineParse.h"
#include "list/ShortcutStore.h"

namespace qd {


struct CommandOutcome {
    int Status = kExitOk;
    std::wstring Out;          // for standard output
    std::wstring Err;          // for standard error
    bool ListChanged = false;  // the key was written: a running editor must reload
};

struct CommandContext {
    std::wstring KeyPath = kStoreKeyPath;
    AccessorFactory Accessors;
    std::wstring WindowsDirectory;  // for the first-run seed, written before a first change
    std::function<bool(const std::wstring&)> FolderExists;
    // The automatic backup of the list before an import changes it: called with the list as the
    // key holds it, before anything is written. An error it raises stops the import.
    std::function<void(ShortcutRows& list)> BackupBeforeImport;
    // Where the recovery file of a change of more than one value pair goes, tried in order (the
    // backups folder, then fallbacks; empty: the temporary folder).
    std::vector<std::wstring> RecoveryFolders;
    // How long a change waits for another program's write to end before it gives up.
    unsigned LockTimeoutMs = 30000;
};

// Runs one command against the key, through the list's writer: the reading under its lock, each
// change decided on the list as the key holds it at the moment of writing. --help touches no key.
// Never throws: failures (another program's write that did not end in time included) come back as
// status 1 and a message; what the writer's recovery check found comes first in Err.
CommandOutcome RunCommand(const CommandRequest& request, const CommandContext& context);

// The program's arguments after its name.
std::vector<std::wstring> ProgramArguments();

// The command line as the program runs it: parses and runs the command, writes its output to the
// standard streams (or, when the program has none and its starter no console, shows it in a
// message box), tells a running editor of a change and returns the exit status.
int CommandLineMain(const std::vector<std::wstring>& args);

}  // namespace qd
