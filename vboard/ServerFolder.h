#pragma once

#include <string>

namespace vboard {

// The folder a board server serves: created with mode 0700 when missing, refused when it is not a
// folder of this user, and held by an exclusive lock so that two servers never share it. The kernel
// drops the lock when the process ends, however it ends.
class ServerFolder {
public:
    ServerFolder() = default;
    ~ServerFolder();
    ServerFolder(const ServerFolder&) = delete;
    ServerFolder& operator=(const ServerFolder&) = delete;

    // False with a reason; "already serves" in the reason when another server holds the folder.
    bool Acquire(const std::string& path, std::string& error);
    const std::string& Path() const { return path; }

private:
    std::string path;
    int lockFd = -1;
};

} // namespace vboard
