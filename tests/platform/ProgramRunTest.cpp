// Programs run without a shell: arguments verbatim, output and errors captured together, exit codes,
// and a time limit that stops the program with what it started.
#include "platform/ProgramRun.h"

#include "tests/support/ProcessEnd.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <string>

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

} // namespace
