#pragma once

#include <cstdint>
#include <string>

namespace hardware {

// Where a board's JTAG UART is found: the cable, as jtagconfig lists it ("1" is the first cable) or
// names it, and the device of the cable's chain (1 is the first) and the UART's instance there; -1
// leaves the choice to Quartus's library, which takes the only one.
struct JtagTarget {
    std::string cable;
    int device = -1;
    int instance = -1;
};

// The JTAG UART of board N (the device number the libraries are given). Its cable: for board 0 the
// one $QX7MB_CABLE names, for board N > 0 the one $QX7MB_CABLE_N names, else cable N+1. Its device
// and instance: $QX7MB_JTAG_DEVICE and $QX7MB_JTAG_INSTANCE, else -1. False, with the reason in the
// user's words, for a negative device number, a setting that is no number, or a cable that belongs to
// another board: one board's commands must never reach another.
bool ChooseTarget(int32_t deviceNumber, JtagTarget& target, std::string& problem);

// The cable as a user reads it in a message: "cable 1" or "cable "USB-Blaster [1-1.4]"".
std::string CableText(const std::string& cable);

} // namespace hardware
