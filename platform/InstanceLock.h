#pragma once

#include <string>

namespace platform {

// A system-wide named lock that tells a second copy of the program that the first one runs: an
// exclusive flock on a lock file of this user named after the lock, NAME.lock in $XDG_RUNTIME_DIR,
// or else NAME-<uid>.lock in the shared temp folder. The kernel drops the lock when the process ends,
// also by a crash, so a stale file never blocks.
//
// A lock file is opened without following links and trusted only when it is a plain file of this
// user. Another user can make a file of that name in the temp folder first (and hold it, to keep the
// program out); such a file is passed over for NAME.lock in the user's own state folder
// ($XDG_STATE_HOME/qx7mb, else ~/.local/state/qx7mb), which every copy then finds the same way.
class InstanceLock {
public:
    InstanceLock() = default;
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // False when another holder has the lock or no lock file of this user can be opened.
    bool Acquire(const std::string& name);
    void Release();
    bool IsHeld() const { return fd >= 0; }
    // The lock file held; empty when none.
    const std::string& Path() const { return path; }

private:
    int fd = -1;
    std::string path;
};

} // namespace platform
