#pragma once

#include "cli/ToolRequest.h"

#include <iosfwd>
#include <string>
#include <vector>

namespace cli {

// Reads the command line (args without the program's name) into request. True when a command is to
// run; otherwise the help was shown (exitCode 0) or the command line was refused with one line on
// err (exitCode 2).
bool ParseToolArguments(const std::vector<std::string>& args, ToolRequest& request, std::ostream& out,
                        std::ostream& err, int& exitCode);

} // namespace cli
