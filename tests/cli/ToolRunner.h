#pragma once

#include "cli/Tool.h"

#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace clitest {

// What one run of the tool left behind.
struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;

    nlohmann::json Json() const { return nlohmann::json::parse(out); }
};

// Runs the tool in this process, as its program would, with its streams captured. The JTAG library
// beside the test program reaches the board server that $QX7MB_VBOARD names.
struct ToolRunner {
    ToolRun Call(const std::vector<std::string>& args) {
        liveOut.str({});
        liveErr.str({});
        cli::ToolContext context{liveOut, liveErr, terminal, *interruption, sleep, jtagApi, input};
        ToolRun run;
        run.code = cli::RunTool(args, context);
        run.out = liveOut.str();
        run.err = liveErr.str();
        return run;
    }

    // What the call under way has written so far, for a test acting in its pauses.
    std::ostringstream liveOut;
    std::ostringstream liveErr;
    // Where the tool reads a person's answers.
    int input = 0;

    bool terminal = false;
    cli::Interruption plainInterruption;
    cli::Interruption* interruption = &plainInterruption;
    // Watch's pauses cost no time; a test may act on the board in them.
    std::function<void(uint32_t)> sleep = [](uint32_t) {};
    std::optional<TJtagApi> jtagApi;
};

// Ctrl-C after the work has looked for it a number of times.
class InterruptionAfter : public cli::Interruption {
public:
    explicit InterruptionAfter(int checks) : checks(checks) {}
    bool Requested() override { return --checks < 0; }

private:
    int checks;
};

} // namespace clitest
