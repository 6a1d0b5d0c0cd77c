// VELDARA_JTAG.DLL, our edition: the JTAG link is the "jtag" socket of a board server. The device
// number selects the board: device N is served in board N's folder. With no board server listening,
// the open fails as it does with an unplugged cable; while another link holds the board, it fails
// and says so on standard error.
#include "board/JtagApi.h"
#include "board/LinkTable.h"
#include "board/TraceHooks.h"
#include "vboard/BoardFolder.h"
#include "vboard/JtagConnect.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

#define QX7MB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// A read that finds nothing waits this long for bytes, so that a caller polling until its own time
// limit does not spin a core.
constexpr long READ_WAIT_NS = 200 * 1000;
// A board server that takes no bytes for this long, or does not grant a link in this time, is taken
// for gone.
constexpr time_t WRITE_LIMIT_S = 5;
constexpr const char* LINK_DESCRIPTION = "QX7-MB virtual board (JTAG over Unix socket)";

constexpr std::size_t MAX_LINKS = 64;
std::mutex tableMutex;
TLinkTable<int, MAX_LINKS> links;

// The link's socket; -1 for a handle that is not open. The socket is used outside the lock, so that
// a read waiting for bytes does not hold up the other links.
int LinkSocket(uint32_t handle) {
    std::lock_guard<std::mutex> guard(tableMutex);
    const int* fd = links.Find(handle);
    return fd != nullptr ? *fd : -1;
}

int32_t ReceiveNow(int fd, uint8_t* buffer, uint32_t count) {
    for (;;) {
        const ssize_t n = recv(fd, buffer, count, MSG_DONTWAIT);
        if (n > 0)
            return static_cast<int32_t>(n);
        if (n < 0 && errno == EINTR)
            continue;
        return n == 0 ? -1 : 0;
    }
}

} // namespace

QX7MB_EXPORT uint32_t VELDARA_JtagOpen(int32_t device, const char*) {
    jtagtrace::OpenCall trace(device, "virtual edition");
    if (device < 0)
        return 0;
    vboard::JtagConnectResult result;
    const int fd =
        vboard::ConnectJtag(vboard::DefaultBoardFolder(device), static_cast<int>(WRITE_LIMIT_S * 1000), result);
    if (result == vboard::JtagConnectResult::InUse)
        std::fprintf(stderr, "VELDARA_JTAG.DLL: board %d is in use: another program holds its JTAG link\n", device);
    if (fd < 0)
        return 0;
    timeval limit{WRITE_LIMIT_S, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    uint32_t handle = 0;
    {
        std::lock_guard<std::mutex> guard(tableMutex);
        handle = links.Add(int{fd});
    }
    if (handle == 0) {
        close(fd);
        return 0;
    }
    return trace.Result(handle);
}

QX7MB_EXPORT void VELDARA_JtagClose(uint32_t handle) {
    jtagtrace::Closed(handle);
    std::lock_guard<std::mutex> guard(tableMutex);
    int fd = -1;
    if (links.Remove(handle, fd))
        close(fd);
}

QX7MB_EXPORT int32_t VELDARA_JtagWrite(uint32_t handle, const uint8_t* bytes, uint32_t count) {
    jtagtrace::WriteCall trace(handle, bytes, count);
    const int fd = LinkSocket(handle);
    if (fd < 0 || (bytes == nullptr && count != 0))
        return 0;
    uint32_t sent = 0;
    while (sent < count) {
        const ssize_t n = send(fd, bytes + sent, count - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return 0;
        sent += static_cast<uint32_t>(n);
    }
    return trace.Result(1);
}

QX7MB_EXPORT int32_t VELDARA_JtagRead(uint32_t handle, uint8_t* buffer, uint32_t count) {
    jtagtrace::ReadCall trace(handle, buffer, count);
    const int fd = LinkSocket(handle);
    if (fd < 0 || buffer == nullptr || count == 0)
        return 0;
    const int32_t got = ReceiveNow(fd, buffer, count);
    if (got != 0)
        return trace.Result(got < 0 ? 0 : got);
    pollfd p{fd, POLLIN, 0};
    const timespec wait{0, READ_WAIT_NS};
    if (ppoll(&p, 1, &wait, nullptr) <= 0)
        return 0;
    return trace.Result(std::max<int32_t>(ReceiveNow(fd, buffer, count), 0));
}

QX7MB_EXPORT int32_t VELDARA_JtagGetInfo(uint32_t handle, uint8_t* info) {
    if (LinkSocket(handle) < 0 || info == nullptr)
        return 0;
    std::memset(info, 0, JTAG_INFO_SIZE);
    std::strncpy(reinterpret_cast<char*>(info + JTAG_INFO_TEXT_OFFSET), LINK_DESCRIPTION,
                 JTAG_INFO_SIZE - JTAG_INFO_TEXT_OFFSET - 1);
    return 1;
}
