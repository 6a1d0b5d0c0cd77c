#pragma once

#include "cli/CommandResult.h"
#include "cli/ToolSession.h"

#include <string>
#include <vector>

namespace cli {

// The commands. Each checks its own input first and refuses bad input before it connects, so that
// nothing reaches the board; then it connects as the panel does, acts, and reports.
CommandResult RunInfo(ToolSession& session);
CommandResult RunConfigure(ToolSession& session);
CommandResult RunLeds(ToolSession& session);
CommandResult RunHex(ToolSession& session);
CommandResult RunInputs(ToolSession& session);
CommandResult RunWatch(ToolSession& session);
CommandResult RunSd(ToolSession& session);
CommandResult RunVga(ToolSession& session);
CommandResult RunMemRead(ToolSession& session);
CommandResult RunMemWrite(ToolSession& session);
CommandResult RunMemVerify(ToolSession& session);
CommandResult RunSelfTest(ToolSession& session);
CommandResult RunDoctor(ToolSession& session);
CommandResult RunTrace(ToolSession& session);

// The keys and switches as the switches page reads them (bits 0 to 3 the keys, 4 to 13 the
// switches), in a line and as JSON.
std::string InputsLine(uint32_t value);
nlohmann::json InputsJson(uint32_t value);
// A report's lines (the SD card registers' reports), without their line ends.
std::vector<std::string> Lines(const std::string& text);

} // namespace cli
