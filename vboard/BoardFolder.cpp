#include "vboard/BoardFolder.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vboard {

std::string DefaultBoardFolder(int device) {
    const std::string suffix = device > 0 ? "-" + std::to_string(device) : std::string();
    const char* folder = std::getenv("QX7MB_VBOARD");
    if (folder != nullptr && *folder != '\0')
        return folder + suffix;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime != nullptr && *runtime != '\0')
        return std::string(runtime) + "/qx7mb-vboard" + suffix;
    return "/tmp/qx7mb-vboard-" + std::to_string(getuid()) + suffix;
}

int ConnectUnixSocket(const std::string& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return -1;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    int result;
    do {
        result = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    } while (result != 0 && errno == EINTR);
    if (result != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

} // namespace vboard
