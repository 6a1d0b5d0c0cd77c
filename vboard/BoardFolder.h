#pragma once

#include <string>

namespace vboard {

// The folder where a board server keeps its two sockets: $QX7MB_VBOARD, else
// $XDG_RUNTIME_DIR/qx7mb-vboard, else /tmp/qx7mb-vboard-<uid>.
std::string DefaultBoardFolder();

constexpr const char* JTAG_SOCKET_NAME = "jtag";
constexpr const char* CONTROL_SOCKET_NAME = "control";
constexpr const char* LOCK_FILE_NAME = "server.lock";

// Connects a stream socket to a Unix socket path; -1 when nothing listens there or the path does
// not fit an address. The socket is closed on exec.
int ConnectUnixSocket(const std::string& path);

} // namespace vboard
