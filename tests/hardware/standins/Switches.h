#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

// The switches of the Quartus stand-ins: environment variables that tests set and the stand-ins read.
namespace standin {

// A file each stand-in appends one line to per open, close or run (fields separated by tabs). The
// stand-ins keep what must outlive a process (a design the JTAG server has not seen yet) in files
// beside it.
constexpr const char* RECORD = "QX7MB_STANDIN_RECORD";
// "none": no cable is found (quartus_pgm fails too); "busy": another program holds the JTAG UART.
constexpr const char* CABLE = "QX7MB_STANDIN_CABLE";
// Every open is refused with this error code; "-6:PROGRAM" names the program that holds the UART.
constexpr const char* OPEN_ERROR = "QX7MB_STANDIN_OPEN_ERROR";
// The JTAG UARTs of a configured FPGA's chain as "DEVICE:INSTANCE,..."; "1:0" when unset. quartus_pgm
// takes any device named here.
constexpr const char* UARTS = "QX7MB_STANDIN_UARTS";
// After quartus_pgm configured the FPGA, this many opens still find no JTAG UART (the JTAG server has
// not seen the new design yet).
constexpr const char* UART_LATE = "QX7MB_STANDIN_UART_LATE";
// After a close, this many opens find the UART still in use by the program that closed it (the JTAG
// server lets go of a link a moment after the close returned).
constexpr const char* LINGER = "QX7MB_STANDIN_LINGER";
// "1": the board reads nothing: writes take no bytes once the socket is full, and a flush waits (as
// Quartus's does, without a limit of its own) until the board reads.
constexpr const char* STALL = "QX7MB_STANDIN_STALL";
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

// A count kept beside the record file, shared by the stand-ins of every process; 0 when none.
inline long ReadCount(const char* name) {
    long count = 0;
    const std::string record = Switch(RECORD);
    if (!record.empty())
        std::ifstream(record + "." + name) >> count;
    return count;
}

inline void WriteCount(const char* name, long count) {
    const std::string record = Switch(RECORD);
    if (!record.empty())
        std::ofstream(record + "." + name, std::ios::trunc) << count;
}

} // namespace standin
