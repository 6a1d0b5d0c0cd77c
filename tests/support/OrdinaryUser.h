#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

// File permissions stop an ordinary user, never the superuser. Tests of what a user may not write or
// read run their file operations inside an OrdinaryUser: run as root, the process takes the user and
// group "nobody" as its effective ones (and no supplementary groups) while it lives; run by anyone
// else, it changes nothing.
class OrdinaryUser {
public:
    OrdinaryUser();
    ~OrdinaryUser();
    OrdinaryUser(const OrdinaryUser&) = delete;
    OrdinaryUser& operator=(const OrdinaryUser&) = delete;

    // Whether the process runs as root, and so can also give files to another user.
    static bool IsRoot();
    // The user and group that an OrdinaryUser takes as root.
    static uid_t Uid();
    static gid_t Gid();
    // Gives a folder (made by the test, as root) to the user an OrdinaryUser acts as, so that it can
    // work there; the folder's parents must be passable. Does nothing when not root.
    static void HandOver(const std::string& folder);

private:
    bool switched = false;
    gid_t group = 0;
    std::vector<gid_t> groups;
};

} // namespace testsupport
