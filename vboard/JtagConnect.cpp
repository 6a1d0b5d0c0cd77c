#include "vboard/JtagConnect.h"

#include "vboard/BoardFolder.h"

#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vboard {

namespace {

// The board server's first byte, or -1 when none came in time or the connection ended.
int ReadGreeting(int fd, int limitMs) {
    for (;;) {
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, limitMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return -1;
        uint8_t byte = 0;
        const ssize_t n = recv(fd, &byte, 1, 0);
        if (n < 0 && errno == EINTR)
            continue;
        return n == 1 ? byte : -1;
    }
}

} // namespace

int ConnectJtag(const std::string& folder, int limitMs, JtagConnectResult& result) {
    result = JtagConnectResult::NoBoard;
    const int fd = ConnectToBoard(folder, JTAG_SOCKET_NAME);
    if (fd < 0)
        return -1;
    const int greeting = ReadGreeting(fd, limitMs);
    if (greeting == LINK_GRANTED) {
        result = JtagConnectResult::Granted;
        return fd;
    }
    if (greeting == LINK_IN_USE)
        result = JtagConnectResult::InUse;
    close(fd);
    return -1;
}

} // namespace vboard
