#pragma once

#include "cli/CommandResult.h"
#include "cli/ToolSession.h"

#include <string>
#include <vector>

namespace cli {

// What several commands share: the keys and switches as the switches page reads them (bits 0 to 3
// the keys, 4 to 13 the switches), in a line and as JSON.
std::string InputsLine(uint32_t value);
nlohmann::json InputsJson(uint32_t value);
// A report's lines (the SD card registers' reports), without their line ends.
std::vector<std::string> Lines(const std::string& text);

} // namespace cli
