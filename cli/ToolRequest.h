#pragma once

#include <cstdint>
#include <string>

namespace cli {

struct ToolCommand;

// One call of the tool as its command line gives it. Values are kept as typed: each command checks
// its own before anything is sent. File names are absolute, since opening the link moves the
// working folder.
struct ToolRequest {
    int32_t device = 0;
    bool json = false;
    bool noConfigure = false;
    const ToolCommand* command = nullptr; // set by parsing, from the table of commands
    std::string name;                     // the command as typed, "mem write" for a memory command
    std::string value;                    // MASK, DIGITS or PATTERN
    std::string address;
    std::string length;
    std::string file; // empty for configure's default bitstream
    bool verify = false;
    int count = 0;            // watch: the number of changes to wait for; 0 until Ctrl-C
    bool quick = false;       // selftest: the march over the first MiB only
    bool interactive = false; // selftest: ask the person to try each key and switch
    bool configure = false;   // doctor: configure the FPGA when the firmware does not answer
    int gap = 200;            // trace: the shortest pause marked, in ms
};

} // namespace cli
