#include "platform/InstanceLock.h"

#include "platform/Files.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

struct Candidate {
    std::string path;
    bool makeFolder; // the user's own folder, made when missing
};

// The lock files to try, in order.
std::vector<Candidate> Candidates(const std::string& name) {
    std::vector<Candidate> candidates;
    std::string runtime;
    if (GetEnv("XDG_RUNTIME_DIR", runtime) && FolderExists(runtime))
        candidates.push_back({runtime + "/" + name + ".lock", false});

    std::error_code error;
    std::string temp = std::filesystem::temp_directory_path(error).string();
    if (error)
        temp = "/tmp";
    candidates.push_back({temp + "/" + name + "-" + std::to_string(geteuid()) + ".lock", false});

    std::string state;
    std::string home;
    if (GetEnv("XDG_STATE_HOME", state) && !state.empty())
        candidates.push_back({state + "/qx7mb/" + name + ".lock", true});
    else if (GetEnv("HOME", home) && !home.empty())
        candidates.push_back({home + "/.local/state/qx7mb/" + name + ".lock", true});
    return candidates;
}

// The lock file at path, opened or made without following a link; -1 when it cannot be opened or is
// not a plain file of this user.
int OpenOwnLockFile(const std::string& path) {
    const int handle = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (handle < 0)
        return -1;
    struct stat info {};
    if (fstat(handle, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != geteuid()) {
        close(handle);
        return -1;
    }
    return handle;
}

} // namespace

InstanceLock::~InstanceLock() {
    Release();
}

bool InstanceLock::Acquire(const std::string& name) {
    Release();
    for (const Candidate& candidate : Candidates(name)) {
        if (candidate.makeFolder) {
            std::error_code error;
            std::filesystem::create_directories(std::filesystem::path(candidate.path).parent_path(), error);
        }
        const int handle = OpenOwnLockFile(candidate.path);
        if (handle < 0)
            continue;
        if (flock(handle, LOCK_EX | LOCK_NB) != 0) {
            close(handle);
            return false;
        }
        fd = handle;
        path = candidate.path;
        return true;
    }
    return false;
}

void InstanceLock::Release() {
    if (fd < 0)
        return;
    flock(fd, LOCK_UN);
    close(fd);
    fd = -1;
    path.clear();
}

} // namespace platform
