#pragma once

#include "cli/ToolRequest.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

enum class ParseOutcome { Run, Help, Refused };

// Reads the command line (args without the program's name) into request. Run when a command is to
// run; Help when a help text was asked for and written to out; Refused with the reason in error.
ParseOutcome ParseToolArguments(const std::vector<std::string>& args, ToolRequest& request, std::ostream& out,
                                std::string& error);

} // namespace cli
