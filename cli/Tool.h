#pragma once

#include "cli/ToolContext.h"

#include <string>
#include <vector>

namespace cli {

// Runs the tool qx7mb on its command line (without the program's name) and returns its exit code.
// Results go to context.out, as text or one JSON object; failures to context.err in one line.
int RunTool(const std::vector<std::string>& args, ToolContext& context);

} // namespace cli
