#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

// The switches of the Quartus stand-ins: environment variables that tests set and the stand-ins read.
namespace standin {

// A file each stand-in appends one line to per open, close or run (fields separated by tabs).
constexpr const char* RECORD = "QX7MB_STANDIN_RECORD";
// "none": no cable is found (quartus_pgm fails too); "busy": another program holds the JTAG UART.
constexpr const char* CABLE = "QX7MB_STANDIN_CABLE";
// A link breaks once this many bytes have passed it, both ways together.
constexpr const char* BREAK_AFTER = "QX7MB_STANDIN_BREAK_AFTER";
// "1": every read returns at most one byte.
constexpr const char* BYTEWISE = "QX7MB_STANDIN_BYTEWISE";
// Every write takes at most this many bytes.
constexpr const char* WRITE_TAKE = "QX7MB_STANDIN_WRITE_TAKE";
// quartus_pgm: "fail": programming fails; "hang": it never ends, nor does a process it starts.
constexpr const char* PROGRAMMER = "QX7MB_STANDIN_PGM";
// quartus_pgm --version prints a line "Version THIS Build ..."; no version line when unset.
constexpr const char* VERSION = "QX7MB_STANDIN_PGM_VERSION";

// The line quartus_pgm prints when it finds no cable.
constexpr const char* NO_CABLE_LINE = "Error (213013): Programming hardware cable not detected";

// A switch's value; empty when unset.
inline std::string Switch(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Appends a line to the record file, when a test asked for one.
inline void Record(const std::string& line) {
    const std::string path = Switch(RECORD);
    if (!path.empty())
        std::ofstream(path, std::ios::app) << line << '\n';
}

} // namespace standin
