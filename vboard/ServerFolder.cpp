#include "vboard/ServerFolder.h"

#include "vboard/BoardFolder.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vboard {

ServerFolder::~ServerFolder() {
    if (lockFd >= 0)
        close(lockFd);
}

bool ServerFolder::Acquire(const std::string& folder, std::string& error) {
    if (folder.empty()) {
        error = "no board folder given";
        return false;
    }
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
        error = "cannot create " + folder + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        error = folder + " is not a folder";
        return false;
    }
    if (info.st_uid != geteuid()) {
        error = folder + " belongs to another user";
        return false;
    }
    // Only its user may reach the board.
    if ((info.st_mode & 0777) != 0700 && chmod(folder.c_str(), 0700) != 0) {
        error = "cannot restrict " + folder + " to its user: " + std::strerror(errno);
        return false;
    }
    const std::string lockPath = folder + "/" + LOCK_FILE_NAME;
    const int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        error = "cannot open " + lockPath + ": " + std::strerror(errno);
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno == EWOULDBLOCK ? "another board server already serves " + folder
                                     : "cannot lock " + lockPath + ": " + std::strerror(errno);
        close(fd);
        return false;
    }
    if (lockFd >= 0)
        close(lockFd);
    lockFd = fd;
    path = folder;
    return true;
}

} // namespace vboard
