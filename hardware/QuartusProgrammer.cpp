#include "hardware/QuartusProgrammer.h"

#include "board/DownloadApi.h"
#include "hardware/JtagCable.h"
#include "hardware/QuartusInstall.h"
#include "hardware/Report.h"
#include "platform/Files.h"

#include <charconv>
#include <cstdio>
#include <sstream>
#include <unistd.h>

namespace hardware {

namespace {

constexpr const char* PROGRAMMER_FILE = "quartus_pgm";

// The line of the output that explains a failure: the last error with a message number
// ("Error (213013): Programming hardware cable not detected"), since quartus_pgm ends with a summary
// error line that says only that it failed; else the last error line; else the last line.
std::string ExplainingLine(const std::string& output) {
    std::istringstream lines(output);
    std::string line;
    std::string numbered;
    std::string error;
    std::string last;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.find_first_not_of(" \t") == std::string::npos)
            continue;
        last = line;
        if (line.rfind("Error (", 0) == 0)
            numbered = line;
        else if (line.rfind("Error", 0) == 0)
            error = line;
    }
    return !numbered.empty() ? numbered : !error.empty() ? error : last;
}

std::string Seconds(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", ms / 1000.0);
    return text;
}

} // namespace

bool QuartusProgrammer::Accepts(const std::string& bitstream) {
    if (!platform::FileExists(bitstream)) {
        Fail("no bitstream file at \"" + bitstream + "\"");
        return false;
    }
    // quartus_pgm splits its operation argument at ';' and reads what follows an '@' as the device.
    for (const char mark : {';', '@'}) {
        if (bitstream.find(mark) != std::string::npos) {
            Fail("quartus_pgm cannot take a bitstream whose path has a '" + std::string(1, mark) + "': \"" + bitstream +
                 "\"");
            return false;
        }
    }
    return true;
}

bool QuartusProgrammer::Configure(const std::string& bitstream, const JtagTarget& target) {
    if (!Accepts(bitstream))
        return false;
    const std::string device = target.device != -1 ? "@" + std::to_string(target.device) : "";
    platform::ProgramOutcome outcome;
    if (!Run({"-c", target.cable, "-m", "JTAG", "-o", "p;" + bitstream + device}, outcome))
        return false;
    if (outcome.exitCode != 0) {
        const std::string line = ExplainingLine(outcome.output);
        Fail("quartus_pgm could not configure the FPGA on " + CableText(target.cable) + ": " +
             (line.empty() ? "exit code " + std::to_string(outcome.exitCode) : line));
        return false;
    }
    return true;
}

double QuartusProgrammer::Version() {
    platform::ProgramOutcome outcome;
    if (!Run({"--version"}, outcome))
        return 0.0;
    static const std::string MARK = "Version ";
    for (std::size_t at = outcome.output.find(MARK); at != std::string::npos; at = outcome.output.find(MARK, at + 1)) {
        const char* first = outcome.output.data() + at + MARK.size();
        double version = 0.0;
        const auto [end, error] = std::from_chars(first, outcome.output.data() + outcome.output.size(), version);
        if (error == std::errc() && end != first && version > 0.0)
            return version;
    }
    Fail("quartus_pgm --version printed no version: " + ExplainingLine(outcome.output));
    return 0.0;
}

bool QuartusProgrammer::Run(const std::vector<std::string>& arguments, platform::ProgramOutcome& outcome) {
    QuartusInstall install;
    std::string problem;
    if (!install.Find(QuartusInstall::PROGRAMMER, problem)) {
        Fail(problem);
        return false;
    }
    const std::string program = install.ToolFolder() + "/" + PROGRAMMER_FILE;
    if (!platform::FileExists(program) || access(program.c_str(), X_OK) != 0) {
        Fail(install.Missing(PROGRAMMER_FILE, install.ToolFolder()));
        return false;
    }
    std::string failure;
    if (!platform::RunProgram(program, arguments, limitMs, outcome, failure)) {
        Fail("cannot start " + program + ": " + failure);
        return false;
    }
    if (outcome.timedOut) {
        const std::string line = ExplainingLine(outcome.output);
        Fail("quartus_pgm did not finish within " + Seconds(limitMs) + " and was stopped" +
             (line.empty() ? std::string() : "; its last line: " + line));
        return false;
    }
    return true;
}

void QuartusProgrammer::Fail(const std::string& text) {
    ReportFailure(DOWNLOAD_LIBRARY_NAME, text);
}

} // namespace hardware
