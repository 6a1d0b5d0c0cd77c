#pragma once

#include <cstdint>
#include <string>

namespace hardware {

// The JTAG cable of board N (the device number the libraries are given): the cable that
// $QX7MB_CABLE names, as jtagconfig prints it, when it is set; otherwise cable N+1 ("1" is the first
// cable jtagconfig lists). Empty for a negative device number.
std::string ChooseCable(int32_t deviceNumber);

// The cable as a user reads it in a message: "cable 1" or "cable "USB-Blaster [1-1.4]"".
std::string CableText(const std::string& cable);

} // namespace hardware
