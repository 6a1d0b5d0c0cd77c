// Where "system.log" goes: the program's folder while it can be written, else the user's state folder.
#include "config/Quartusinfo.h"
#include "platform/Files.h"
#include "tests/config/QuartusEnvironment.h"

#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::ScopedEnv;

namespace {

constexpr uid_t NOBODY = 65534;

class SystemInfoFolderTest : public QuartusEnvironment {
protected:
    SystemInfoFolderTest() {
        // Another user must be able to reach both folders when the test runs as root (below).
        chmod(program.Path().c_str(), 0555);
        chmod(elsewhere.Path().c_str(), 0777);
    }
    ~SystemInfoFolderTest() override { chmod(program.Path().c_str(), 0700); }

    // Runs the step as a user for whom a folder's permissions count: as root, in a child process that
    // has become "nobody". Gives the step's text.
    static std::string AsUnprivileged(const std::function<std::string()>& step) {
        if (geteuid() != 0)
            return step();
        int channel[2];
        if (pipe(channel) != 0)
            return "pipe failed";
        const pid_t child = fork();
        if (child == 0) {
            close(channel[0]);
            std::string text = setgid(NOBODY) == 0 && setuid(NOBODY) == 0 ? step() : "setuid failed";
            const ssize_t written = write(channel[1], text.data(), text.size());
            _exit(written == static_cast<ssize_t>(text.size()) ? 0 : 1);
        }
        close(channel[1]);
        std::string text;
        char buffer[512];
        for (ssize_t n; (n = read(channel[0], buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<size_t>(n));
        close(channel[0]);
        int status = 0;
        waitpid(child, &status, 0);
        return text;
    }
};

TEST_F(SystemInfoFolderTest, AWritableProgramFolderKeepsTheLog) {
    chmod(program.Path().c_str(), 0700);
    EXPECT_EQ(SystemInfoFolder(), program.Path() + "/");
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "state"));
}

TEST_F(SystemInfoFolderTest, AReadOnlyProgramFolderSendsTheLogToTheStateFolder) {
    const std::string written = AsUnprivileged([] {
        WriteSystemInfo("system.log");
        return SystemInfoFolder();
    });
    EXPECT_EQ(written, elsewhere / "state/qx7mb/");
    EXPECT_TRUE(std::filesystem::is_regular_file(elsewhere / "state/qx7mb/system.log"));
    EXPECT_NE(ReadFile(elsewhere / "state/qx7mb/system.log").find("OS=Unknown OS\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(program / "system.log"));
}

// Run by root, an installed program could write anywhere; what it writes would outlive the package.
TEST_F(SystemInfoFolderTest, AnInstalledProgramWritesNothingUnderItsPrefixEvenWhereItCould) {
    for (const char* installed : {"usr/lib/qx7mb", "usr/lib/qx7mb/hardware"}) {
        const std::string folder = program / installed;
        std::filesystem::create_directories(folder);
        platform::SetProgramFolder(folder);
        WriteSystemInfo("system.log");
        EXPECT_EQ(SystemInfoFolder(), elsewhere / "state/qx7mb/") << installed;
        EXPECT_FALSE(std::filesystem::exists(folder + "/system.log")) << installed;
    }
}

TEST_F(SystemInfoFolderTest, WithoutAnAbsoluteStateHomeTheStateFolderIsUnderHome) {
    ScopedEnv home("HOME", (elsewhere / "home").c_str());
    for (const char* value : {static_cast<const char*>(nullptr), "", "relative/state"}) {
        ScopedEnv state("XDG_STATE_HOME", value);
        EXPECT_EQ(AsUnprivileged([] { return SystemInfoFolder(); }), elsewhere / "home/.local/state/qx7mb/")
            << (value == nullptr ? "unset" : value);
    }
}

} // namespace
