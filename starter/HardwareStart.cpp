#include "starter/HardwareStart.h"

#include "platform/ProgramRun.h"

#include <sstream>

namespace starter {

namespace {

// The doctor asks quartus_pgm, jtagconfig and the board, each within its own limit.
constexpr uint32_t DOCTOR_LIMIT_MS = 120000;

} // namespace

int HardwareStart::Run() {
    const std::string doctor = folder + "qx7mb";
    platform::ProgramOutcome outcome;
    std::string failure;
    std::vector<std::string> lines;
    // Configuring belongs to the checks here: a bitstream that Quartus refuses is told in the window, with
    // quartus_pgm's own line, instead of only behind the panel's box.
    if (!platform::RunProgram(doctor, {"doctor", "--configure"}, DOCTOR_LIMIT_MS, outcome, failure)) {
        lines.push_back("fail  the doctor: cannot start " + doctor + ": " + failure);
    } else if (outcome.exitCode == 0) {
        return startPanel(folder + "qx7mb-panel");
    } else {
        std::istringstream output(outcome.output);
        for (std::string line; std::getline(output, line);)
            lines.push_back(line);
        if (outcome.timedOut)
            lines.push_back("fail  the doctor: it did not finish within 120 s and was stopped");
    }
    return ask(lines) ? startPanel(folder + "qx7mb-panel") : 1;
}

} // namespace starter
