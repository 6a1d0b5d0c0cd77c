// Programs run without a shell: arguments verbatim, output and errors captured together, exit codes,
// and a time limit that stops the program with what it started.
#include "platform/ProgramRun.h"

#include "tests/support/ProcessEnd.h"
#include "tests/support/Recorders.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

platform::ProgramOutcome RunToEnd(const std::string& program, const std::vector<std::string>& arguments,
                                  uint32_t limitMs = 10000) {
    platform::ProgramOutcome outcome;
    std::string failure;
    EXPECT_TRUE(platform::RunProgram(program, arguments, limitMs, outcome, failure)) << failure;
    return outcome;
}

TEST(ProgramRunTest, ArgumentsReachTheProgramVerbatim) {
    const auto outcome = RunToEnd("/usr/bin/printf", {"[%s]\\n", "two words", "p;/x y/design.sof", "$HOME", "*", ""});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.output, "[two words]\n[p;/x y/design.sof]\n[$HOME]\n[*]\n[]\n");
}

TEST(ProgramRunTest, OutputAndErrorsAreOneStreamAndTheExitCodeIsKept) {
    const auto outcome = RunToEnd("/bin/sh", {"-c", "echo one; echo two >&2; echo three; exit 7"});
    EXPECT_EQ(outcome.output, "one\ntwo\nthree\n");
    EXPECT_EQ(outcome.exitCode, 7);
    EXPECT_EQ(RunToEnd("/bin/sh", {"-c", "kill -TERM $$"}).exitCode, -1) << "ended by a signal";
    EXPECT_EQ(RunToEnd("/bin/sh", {"-c", "read line; echo \"[$line]\""}).output, "[]\n") << "its input is empty";
}

TEST(ProgramRunTest, AProgramThatCannotStartIsReported) {
    platform::ProgramOutcome outcome;
    std::string failure;
    EXPECT_FALSE(platform::RunProgram("/nonexistent/quartus_pgm", {}, 1000, outcome, failure));
    EXPECT_EQ(failure, "No such file or directory");
}

TEST(ProgramRunTest, AtTheLimitTheProgramIsStoppedWithEverythingItStarted) {
    const auto start = Clock::now();
    const auto outcome = RunToEnd("/bin/sh", {"-c", "sleep 30 & echo $!; echo started; sleep 30"}, 200);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_TRUE(outcome.timedOut);
    EXPECT_EQ(outcome.exitCode, -1);
    ASSERT_NE(outcome.output.find("\nstarted\n"), std::string::npos) << outcome.output;
    // The background sleep was in the program's group.
    EXPECT_TRUE(testsupport::EndsSoon(std::stoi(outcome.output)));
}

TEST(ProgramRunTest, AProgramThatEndsIsSeenEndingWhileWhatItLeftBehindHoldsItsOutput) {
    const auto start = Clock::now();
    const auto outcome = RunToEnd("/bin/sh", {"-c", "sleep 30 & echo $!; exit 3"});
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(outcome.exitCode, 3);
    EXPECT_FALSE(outcome.timedOut);
    kill(std::stoi(outcome.output), SIGKILL);
}

// A program started with SIGCHLD ignored (some shells and services pass it on) has its children
// collected by the kernel, status and all, unless the run takes them back.
TEST(ProgramRunTest, AnInheritedIgnoredChildSignalStillGivesTheExitCode) {
    struct sigaction ignored {};
    ignored.sa_handler = SIG_IGN;
    struct sigaction before {};
    sigaction(SIGCHLD, &ignored, &before);
    const auto start = Clock::now();
    const auto outcome = RunToEnd("/bin/sh", {"-c", "exit 5"}, 3000);
    struct sigaction after {};
    sigaction(SIGCHLD, &before, &after);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.exitCode, 5);
    EXPECT_EQ(after.sa_handler, SIG_IGN) << "the caller's choice is back";
}

std::atomic<int> interruptions = 0;

// Ctrl-C during a run ends the program's group and collects it before the caller's own handling of
// Ctrl-C runs, so that no programmer keeps working on the cable after the caller has gone.
TEST(ProgramRunTest, CtrlCStopsTheProgramWithWhatItStartedThenReachesTheCaller) {
    testsupport::TempFolder folder;
    const std::string pids = folder / "pids";
    struct sigaction counting {};
    counting.sa_handler = [](int) { ++interruptions; };
    struct sigaction before {};
    sigaction(SIGINT, &counting, &before);
    std::thread ctrlC([&pids] {
        // Once both the program and what it started are running.
        for (int i = 0; i < 2000 && std::ifstream(pids).peek() == EOF; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        kill(getpid(), SIGINT);
    });
    const auto start = Clock::now();
    const auto outcome = RunToEnd("/bin/sh", {"-c", "sleep 30 & echo $$ $! > " + pids + "; wait"}, 5000);
    ctrlC.join();
    sigaction(SIGINT, &before, nullptr);
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(outcome.timedOut);
    EXPECT_EQ(outcome.exitCode, -1);
    EXPECT_EQ(interruptions, 1);
    pid_t program = 0;
    pid_t started = 0;
    std::ifstream(pids) >> program >> started;
    EXPECT_EQ(kill(program, 0), -1) << "collected";
    EXPECT_TRUE(testsupport::EndsSoon(started));
}

} // namespace
