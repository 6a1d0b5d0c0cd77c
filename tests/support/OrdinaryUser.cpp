#include "tests/support/OrdinaryUser.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace {
// Debian's "nobody" and "nogroup", used when the user database does not name them.
constexpr uid_t NOBODY = 65534;
constexpr gid_t NOGROUP = 65534;
} // namespace

bool OrdinaryUser::IsRoot() {
    return geteuid() == 0;
}

uid_t OrdinaryUser::Uid() {
    const passwd* entry = getpwnam("nobody");
    return entry != nullptr ? entry->pw_uid : NOBODY;
}

gid_t OrdinaryUser::Gid() {
    const passwd* entry = getpwnam("nobody");
    return entry != nullptr ? entry->pw_gid : NOGROUP;
}

void OrdinaryUser::HandOver(const std::string& folder) {
    if (!IsRoot())
        return;
    ASSERT_EQ(chown(folder.c_str(), Uid(), Gid()), 0) << folder;
}

OrdinaryUser::OrdinaryUser() {
    if (!IsRoot())
        return;
    group = getegid();
    const int count = getgroups(0, nullptr);
    groups.resize(static_cast<size_t>(count > 0 ? count : 0));
    if (count > 0)
        getgroups(count, groups.data());
    // The group first: without root's effective user the process may no longer change it.
    const bool done = setgroups(0, nullptr) == 0 && setegid(Gid()) == 0 && seteuid(Uid()) == 0;
    EXPECT_TRUE(done) << "cannot act as an ordinary user";
    switched = true;
}

OrdinaryUser::~OrdinaryUser() {
    if (!switched)
        return;
    // Root again first: the saved user id is still root's.
    const bool done = seteuid(0) == 0 && setegid(group) == 0 && setgroups(groups.size(), groups.data()) == 0;
    EXPECT_TRUE(done) << "cannot return to root";
}

} // namespace testsupport
