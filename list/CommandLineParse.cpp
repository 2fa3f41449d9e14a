#include "list/CommandLineParse.h"

#include "toolkit/Text.h"

namespace qd {

namespace {

struct OptionDesc {
    const wchar_t* name;
    CommandAction action;
    int operands;
};

constexpr OptionDesc kOptions[] = {
    {L"--help", CommandAction::Help, 0},     {L"-h", CommandAction::Help, 0},
    {L"/?", CommandAction::Help, 0},         {L"--list", CommandAction::List, 0},
    {L"--add", CommandAction::Add, 2},       {L"--delete", CommandAction::Delete, 1},
    {L"--export", CommandAction::Export, 1}, {L"--import", CommandAction::Import, 1},
};

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::wstring>& args) {
    ParsedCommandLine parsed;
    if (args.empty()) return parsed;
    for (const OptionDesc& d : kOptions) {
        if (tk::AsciiUpper(args[0]) != tk::AsciiUpper(d.name)) continue;
        const int given = static_cast<int>(args.size()) - 1;
        if (given != d.operands) {
            parsed.Error = tk::FormatText(L"%s takes %s argument(s), not %s.",
                                          {args[0], tk::IntToText(d.operands), tk::IntToText(given)});
            return parsed;
        }
        parsed.Request.Action = d.action;
        if (d.action == CommandAction::Add) {
            parsed.Request.Alias = args[1];
            parsed.Request.Path = args[2];
        } else if (d.action == CommandAction::Delete) {
            parsed.Request.Alias = args[1];
        } else if (d.action == CommandAction::Export || d.action == CommandAction::Import) {
            parsed.Request.File = args[1];
        }
        return parsed;
    }
    parsed.Error = L"Unknown option: " + args[0];
    return parsed;
}

std::wstring UsageText() {
    return L"Usage:\r\n"
           L"  Quiverdir.exe                      open the list's editor\r\n"
           L"  Quiverdir.exe --list               print the list: alias, a tab, the path; one row a line\r\n"
           L"  Quiverdir.exe --add ALIAS PATH     add a row at the end (PATH: the full path of an existing folder)\r\n"
           L"  Quiverdir.exe --delete ALIAS       delete the first row whose alias is exactly ALIAS\r\n"
           L"  Quiverdir.exe --export FILE        write the list to a backup file (.pwb is added unless there)\r\n"
           L"  Quiverdir.exe --import FILE        append the backup's rows the list lacks\r\n"
           L"  Quiverdir.exe --help               print this text\r\n"
           L"Exit status: 0 done, 1 refused or failed (with a message), 2 not a command.\r\n";
}

OutputRoutes RouteOutput(const OutputFacts& facts) {
    const bool shortcutStart = !facts.OutHanded && !facts.ErrHanded && !facts.Console && facts.InteractiveDesktop;
    const auto route = [&](bool handed) {
        if (handed) return OutputRoute::Handle;
        if (facts.Console) return OutputRoute::Console;
        return shortcutStart ? OutputRoute::Box : OutputRoute::Nothing;
    };
    return {route(facts.OutHanded), route(facts.ErrHanded)};
}

}  // namespace qd
