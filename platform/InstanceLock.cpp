#include "platform/InstanceLock.h"

#include "platform/Files.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <unistd.h>

namespace platform {

InstanceLock::~InstanceLock() {
    Release();
}

std::string InstanceLock::LockFilePath(const std::string& name) {
    std::string folder;
    if (!GetEnv("XDG_RUNTIME_DIR", folder) || !FolderExists(folder)) {
        std::error_code error;
        folder = std::filesystem::temp_directory_path(error).string();
        if (error)
            folder = "/tmp";
    }
    return folder + "/" + name + ".lock";
}

bool InstanceLock::Acquire(const std::string& name) {
    Release();
    const int handle = open(LockFilePath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (handle < 0)
        return false;
    if (flock(handle, LOCK_EX | LOCK_NB) != 0) {
        close(handle);
        return false;
    }
    fd = handle;
    return true;
}

void InstanceLock::Release() {
    if (fd < 0)
        return;
    flock(fd, LOCK_UN);
    close(fd);
    fd = -1;
}

} // namespace platform
