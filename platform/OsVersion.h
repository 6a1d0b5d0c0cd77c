#pragma once

#include <cstdint>

namespace platform {

// The version of Windows the program runs on. False on every other operating system.
bool GetWindowsVersion(uint32_t& major, uint32_t& minor);

} // namespace platform
