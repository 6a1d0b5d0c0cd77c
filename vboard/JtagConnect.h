#pragma once

#include <cstdint>
#include <string>

namespace vboard {

// A board takes one JTAG link at a time, as a real JTAG UART does. The board server opens every new
// connection on its "jtag" socket with one byte: the link is granted, or the board is in use and the
// connection is closed after that byte. Everything after a granted byte is the link's byte stream.
constexpr uint8_t LINK_GRANTED = 0x06;
constexpr uint8_t LINK_IN_USE = 0x15;

enum class JtagConnectResult { Granted, InUse, NoBoard };

// Connects to FOLDER/jtag and waits up to limitMs for the board server's first byte. Returns the
// link's socket when it is granted, else -1 with the reason in result.
int ConnectJtag(const std::string& folder, int limitMs, JtagConnectResult& result);

} // namespace vboard
