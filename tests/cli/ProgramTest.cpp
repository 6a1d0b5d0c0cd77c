// The program qx7mb itself: its exit codes as a shell sees them, and Ctrl-C as a real signal.
#include "platform/Files.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>

extern char** environ;

namespace {

// The program running with its output in files.
class Program {
public:
    // Standard output goes to outFd when one is given; a shell command first sets the limits with
    // which the program then runs (as "ulimit -f 100" would).
    Program(std::vector<std::string> args, const testsupport::TempFolder& folder, int outFd = -1,
            const std::string& limits = "")
        : out(folder / "out.txt"), err(folder / "err.txt") {
        args.insert(args.begin(), platform::ProgramFolder() + "qx7mb");
        if (!limits.empty())
            args.insert(args.begin(), {"/bin/sh", "-c", limits + "; exec \"$0\" \"$@\""});
        std::vector<char*> argv;
        for (auto& arg : args)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (outFd >= 0)
            posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
        else
            posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
    }

    // The exit code, or -1 when it ended otherwise.
    int Wait() {
        int status = 0;
        if (pid <= 0 || waitpid(pid, &status, 0) != pid)
            return -1;
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void Interrupt() { kill(pid, SIGINT); }
    std::string Err() const { return Read(err); }

private:
    static std::string Read(const std::string& path) {
        std::ifstream in(path);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::string out;
    std::string err;
    pid_t pid = -1;
};

TEST(ProgramTest, BadUsageExitsWithTwo) {
    testsupport::TempFolder folder;
    Program program({"leds"}, folder);
    EXPECT_EQ(program.Wait(), 2);
    EXPECT_NE(program.Err().find("(see qx7mb --help)"), std::string::npos) << program.Err();
}

TEST(ProgramTest, CtrlCEndsATransferAndSaysHowFarItCame) {
    testsupport::VBoardProcess board;
    testsupport::TempFolder folder;
    std::ofstream(folder / "image.bin", std::ios::binary) << std::string(1 << 20, '\x5A');
    // Each exchange takes 20 ms, so the transfer of 33 exchanges is still running when Ctrl-C comes.
    ASSERT_EQ(board.Control("fault delay 20"), "ok fault delay 20");
    Program program({"mem", "write", "0", folder / "image.bin"}, folder);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (board.Control("mem read 0 1") != "ok 5A" && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    program.Interrupt();
    EXPECT_EQ(program.Wait(), 130);
    EXPECT_NE(program.Err().find("qx7mb: write interrupted after "), std::string::npos) << program.Err();
    EXPECT_EQ(board.Control("mem read FFFFF 1"), "ok 00");
}

// Results that cannot be written are no success: a full disk is named on standard error, a reader
// that went away is not (it knows).
TEST(ProgramTest, AnOutputThatCannotBeWrittenIsExitCodeOne) {
    testsupport::VBoardProcess board;
    testsupport::TempFolder folder;
    const int full = open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(full, 0);
    Program program({"--json", "inputs"}, folder, full);
    close(full);
    EXPECT_EQ(program.Wait(), 1);
    EXPECT_EQ(program.Err(), "qx7mb: cannot write the standard output: No space left on device\n");

    int ends[2];
    ASSERT_EQ(pipe2(ends, O_CLOEXEC), 0);
    close(ends[0]);
    Program closed({"--json", "inputs"}, folder, ends[1]);
    close(ends[1]);
    EXPECT_EQ(closed.Wait(), 1);
    EXPECT_EQ(closed.Err(), "");
}

// A file size limit (ulimit -f) makes the save fail as a full disk does, with no temporary file left.
TEST(ProgramTest, AFileSizeLimitFailsTheSaveInsteadOfEndingTheProgram) {
    testsupport::VBoardProcess board;
    testsupport::TempFolder folder;
    std::filesystem::create_directory(folder / "out");
    Program program({"mem", "read", "0", "1M", folder / "out/dump.bin"}, folder, -1, "ulimit -f 100");
    EXPECT_EQ(program.Wait(), 1);
    EXPECT_EQ(program.Err(), "qx7mb: Write file(" + folder / "out/dump.bin" + ") error.\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder / "out"));
}

} // namespace
