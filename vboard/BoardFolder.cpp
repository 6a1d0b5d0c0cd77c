#include "vboard/BoardFolder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vboard {

namespace {

// Why a folder or socket of a board may not be trusted; empty when it may.
std::string Distrust(const struct stat& info, const std::string& what) {
    if (info.st_uid != geteuid())
        return what + " belongs to another user (uid " + std::to_string(info.st_uid) + ")";
    if ((info.st_mode & 077) != 0) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        return what + " is open to group or others (mode " + mode + ")";
    }
    return {};
}

// Why the board in the folder open as handle may not be trusted, empty when it may; absent is set
// when there is no such socket to look at.
std::string BoardProblem(int handle, const char* socketName, bool& absent) {
    struct stat info {};
    if (fstat(handle, &info) != 0) {
        absent = true;
        return {};
    }
    const std::string reason = Distrust(info, "the folder");
    if (!reason.empty())
        return reason;
    if (fstatat(handle, socketName, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        absent = true;
        return {};
    }
    if (!S_ISSOCK(info.st_mode))
        return std::string(socketName) + " is not a socket";
    return Distrust(info, std::string("its socket ") + socketName);
}

void Refuse(const std::string& folder, const std::string& reason) {
    std::fprintf(stderr, "qx7mb: not connecting to the virtual board in %s: %s\n", folder.c_str(), reason.c_str());
}

} // namespace

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

int ConnectToBoard(const std::string& folder, const char* socketName) {
    // The folder is looked at and entered through one handle, so that what was checked is what is
    // connected to, whatever is renamed meanwhile.
    const int handle = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return -1;
    bool absent = false;
    const std::string reason = BoardProblem(handle, socketName, absent);
    int fd = -1;
    if (!reason.empty())
        Refuse(folder, reason);
    else if (!absent)
        fd = ConnectUnixSocket("/proc/self/fd/" + std::to_string(handle) + "/" + socketName);
    close(handle);
    return fd;
}

} // namespace vboard
