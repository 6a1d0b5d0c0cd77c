#pragma once

#include "cli/CommandResult.h"
#include "cli/ToolRequest.h"

#include <string>
#include <vector>

namespace CLI {
class App;
class Option;
} // namespace CLI

namespace cli {

class ToolSession;

// One command of the tool, defined in its own file and listed in the table.
struct ToolCommand {
    const char* name;    // as typed; "mem write" is write below mem
    const char* summary; // its line in the help
    // Adds its arguments and options to its subcommand, bound to request; gives its notes for the help.
    std::string (*options)(CLI::App& command, ToolRequest& request);
    // The work; none for a group of commands such as mem. It checks its own input first and refuses bad
    // input before it connects, so that nothing reaches the board; then it connects as the panel does,
    // acts, and reports.
    CommandResult (*run)(ToolSession& session);
};

// Every command, a group before its members, in the order of the help.
const std::vector<const ToolCommand*>& ToolCommands();

// A required argument of a command, such as ADDR.
CLI::Option* Positional(CLI::App& command, const std::string& name, std::string& value, const std::string& description);

} // namespace cli
