#pragma once

#include "board/JtagApi.h"
#include "cli/Interruption.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>

namespace cli {

// What the tool runs in: its two output streams and what it knows of them, Ctrl-C, the pause between
// polls, and the JTAG entry points. The program fills it from the process; tests and the benchmark
// fill it with their own.
struct ToolContext {
    std::ostream& out;
    std::ostream& err;
    // Progress bars and the steps of long work go to err only when a person watches it.
    bool errIsTerminal = false;
    Interruption& interruption;
    std::function<void(uint32_t ms)> sleep;
    // The link's entry points instead of the library VELDARA_JTAG.DLL beside the program.
    std::optional<TJtagApi> jtagApi;
    // Where the person's answers to the board test's prompts come from (standard input).
    int input = 0;
};

} // namespace cli
