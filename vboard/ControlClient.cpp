#include "vboard/ControlClient.h"

#include "vboard/BoardFolder.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vboard {

namespace {

// A reply line longer than this is not one of a board server's.
constexpr std::size_t MAX_REPLY_LEN = 1 << 20;

} // namespace

ControlClient::~ControlClient() {
    Close();
}

bool ControlClient::Connect(const std::string& folder) {
    Close();
    fd = ConnectToBoard(folder, CONTROL_SOCKET_NAME);
    return fd >= 0;
}

void ControlClient::Close() {
    if (fd >= 0)
        close(fd);
    fd = -1;
    received.clear();
}

bool ControlClient::Request(const std::string& line, std::string& reply, int limitMs) {
    if (fd < 0 || line.find('\n') != std::string::npos)
        return false;
    const std::string message = line + "\n";
    std::size_t sent = 0;
    while (sent < message.size()) {
        const ssize_t n = send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Close();
            return false;
        }
        sent += static_cast<std::size_t>(n);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    for (;;) {
        const std::size_t end = received.find('\n');
        if (end != std::string::npos) {
            reply = received.substr(0, end);
            received.erase(0, end + 1);
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0 || received.size() > MAX_REPLY_LEN) {
            Close();
            return false;
        }
        pollfd p{fd, POLLIN, 0};
        const int ready = poll(&p, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            Close();
            return false;
        }
        char buffer[4096];
        const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            Close();
            return false;
        }
        received.append(buffer, static_cast<std::size_t>(n));
    }
}

} // namespace vboard
