#pragma once

#include <string>

namespace vboard {

// The folder where the board server of board `device` keeps its two sockets. Board 0's is
// $QX7MB_VBOARD, else $XDG_RUNTIME_DIR/qx7mb-vboard, else /tmp/qx7mb-vboard-<uid>; board N (N >= 1)
// serves the same name with "-N" appended.
std::string DefaultBoardFolder(int device = 0);

constexpr const char* JTAG_SOCKET_NAME = "jtag";
constexpr const char* CONTROL_SOCKET_NAME = "control";
constexpr const char* LOCK_FILE_NAME = "server.lock";

// Connects a stream socket to a Unix socket path; -1 when nothing listens there or the path does
// not fit an address. The socket is closed on exec.
int ConnectUnixSocket(const std::string& path);

// Connects a client to the socket socketName of the board folder, which is trusted only when this
// user owns it and it is closed to group and others, and the socket likewise: in a shared temp folder
// another user could make the folder first and serve a fake board. A refused folder or socket is said
// in one line on standard error; a folder or socket that is not there is an unplugged cable and says
// nothing. -1 when not connected. Every client of a board server connects through here.
int ConnectToBoard(const std::string& folder, const char* socketName);

} // namespace vboard
