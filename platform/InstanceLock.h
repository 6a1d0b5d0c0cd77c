#pragma once

#include <string>

namespace platform {

// A system-wide named lock that tells a second copy of the program that the first one runs: an
// exclusive flock on a lock file named after the lock, in $XDG_RUNTIME_DIR or else the temp folder.
// The kernel drops the lock when the process ends, also by a crash, so a stale file never blocks.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another holder has the lock or the lock file cannot be opened.
    bool Acquire(const std::string& name);
    void Release();
    bool IsHeld() const { return fd >= 0; }

    static std::string LockFilePath(const std::string& name);

private:
    int fd = -1;
};

} // namespace platform
