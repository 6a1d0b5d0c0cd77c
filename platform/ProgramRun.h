#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// How a program started by RunProgram ended.
struct ProgramOutcome {
    // Its exit code when it ended by exiting; -1 when a signal ended it or it was stopped at the limit.
    int exitCode = -1;
    // Still running when the limit passed: it was killed, with every process of its group.
    bool timedOut = false;
    // Standard output and standard error as one stream, in the order written; of a very long output
    // only the end is kept.
    std::string output;
};

// Runs a program without a shell and waits for it: the arguments reach it verbatim as a list, its
// standard input is empty, and it runs in a process group of its own so that a stop at the limit
// also ends what it started. Ctrl-C (SIGINT, SIGTERM or SIGHUP) during the run ends the program's
// group the same way and collects it; the signal then reaches the caller's own handling of it. Its
// end is collected also when this process was started with SIGCHLD ignored. One run at a time.
// False, with the reason in failure, when it cannot be started.
bool RunProgram(const std::string& program, const std::vector<std::string>& arguments, uint32_t limitMs,
                ProgramOutcome& outcome, std::string& failure);

} // namespace platform
