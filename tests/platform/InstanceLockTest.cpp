// The single-instance lock: one holder at a time, a lock file of the user's own wherever it lies.
#include "platform/InstanceLock.h"

#include "tests/support/FileContent.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/Recorders.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using platform::InstanceLock;
using testsupport::ScopedEnv;
using testsupport::TempFolder;

const std::string NAME = "QX7MB_TEST_INSTANCE";

// Each place a lock file may go, private to the test.
class InstanceLockTest : public ::testing::Test {
protected:
    std::string TempLock() const { return temp / (NAME + "-" + std::to_string(geteuid()) + ".lock"); }
    std::string StateLock() const { return state / ("qx7mb/" + NAME + ".lock"); }

    TempFolder runtime;
    TempFolder temp;
    TempFolder state;
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.Path().c_str()};
    ScopedEnv tempDir{"TMPDIR", temp.Path().c_str()};
    ScopedEnv stateDir{"XDG_STATE_HOME", state.Path().c_str()};
};

TEST_F(InstanceLockTest, OneHolderAtATimeUntilReleased) {
    InstanceLock first;
    InstanceLock second;
    ASSERT_TRUE(first.Acquire(NAME));
    EXPECT_EQ(first.Path(), runtime / (NAME + ".lock"));
    EXPECT_FALSE(second.Acquire(NAME));
    EXPECT_FALSE(second.IsHeld());
    InstanceLock other;
    EXPECT_TRUE(other.Acquire("ANOTHER_PROGRAM")) << "other names do not collide";
    first.Release();
    EXPECT_TRUE(first.Path().empty());
    EXPECT_TRUE(second.Acquire(NAME));
}

TEST_F(InstanceLockTest, WithoutARuntimeFolderTheLockFileInTheTempFolderNamesTheUser) {
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    InstanceLock first;
    ASSERT_TRUE(first.Acquire(NAME));
    EXPECT_EQ(first.Path(), TempLock());
    InstanceLock second;
    EXPECT_FALSE(second.Acquire(NAME));
}

TEST_F(InstanceLockTest, ALinkInPlaceOfTheLockFileIsNeitherFollowedNorTrusted) {
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    // Someone's link to a file that the user could create or lock: it is not followed.
    const std::string victim = temp / "victim";
    fs::create_symlink(victim, TempLock());

    InstanceLock first;
    ASSERT_TRUE(first.Acquire(NAME));
    EXPECT_FALSE(fs::exists(victim)) << "nothing was made where the link points";
    EXPECT_EQ(first.Path(), StateLock()) << "the user's own state folder instead";
    InstanceLock second;
    EXPECT_FALSE(second.Acquire(NAME)) << "a second copy finds the same lock";
}

TEST_F(InstanceLockTest, AnotherUsersLockFileNeverKeepsTheProgramOut) {
    if (!testsupport::OrdinaryUser::IsRoot())
        GTEST_SKIP() << "only root can give a file to another user";
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    // The other user made the file first and holds it.
    testsupport::WriteFile(TempLock(), "");
    ASSERT_EQ(chown(TempLock().c_str(), testsupport::OrdinaryUser::Uid(), testsupport::OrdinaryUser::Gid()), 0);
    const int theirs = open(TempLock().c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(theirs, 0);
    ASSERT_EQ(flock(theirs, LOCK_EX | LOCK_NB), 0);

    InstanceLock first;
    EXPECT_TRUE(first.Acquire(NAME));
    EXPECT_EQ(first.Path(), StateLock());
    InstanceLock second;
    EXPECT_FALSE(second.Acquire(NAME));
    close(theirs);
}

TEST_F(InstanceLockTest, NoPlaceForALockFileOfTheUsersOwnMeansNoLock) {
    ScopedEnv noRuntime("XDG_RUNTIME_DIR", nullptr);
    ScopedEnv noState("XDG_STATE_HOME", nullptr);
    ScopedEnv noHome("HOME", nullptr);
    fs::create_symlink(temp / "victim", TempLock());
    InstanceLock lock;
    EXPECT_FALSE(lock.Acquire(NAME));
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_FALSE(fs::exists(temp / "victim"));
}

} // namespace
