// selftest: is this board healthy? Five steps over the control-panel firmware's own commands: the
// link, the outputs, the inputs, the SDRAM and the SD card.
#include "board/Protocol.h"
#include "board/VgaPatterns.h"
#include "cli/CommandTable.h"
#include "cli/Commands.h"
#include "cli/Numbers.h"
#include "cli/SdramCheck.h"
#include "platform/Clock.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <iterator>
#include <poll.h>
#include <tuple>
#include <unistd.h>

namespace cli {

namespace {

constexpr int PINGS = 200;
// Pings in a row that fail before the link is taken for lost.
constexpr int LOST_AFTER = 5;
constexpr uint32_t PROMPT_LIMIT_MS = 30000;
constexpr uint32_t POLL_INTERVAL_MS = 100;
constexpr uint32_t QUICK_MARCH_BYTES = 1u << 20;

enum class Result { Passed, Failed, Skipped };

const char* ResultName(Result result) {
    switch (result) {
    case Result::Passed:
        return "passed";
    case Result::Failed:
        return "failed";
    case Result::Skipped:
        return "skipped";
    }
    return "";
}

struct Step {
    Step(const char* id, const char* title) : id(id), title(title) {}

    const char* id;
    const char* title;
    Result result = Result::Passed;
    std::string summary;
    std::vector<std::string> lines;
    nlohmann::json details = nlohmann::json::object();
};

std::string Milliseconds(double ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f ms", ms);
    return text;
}

// Every digit showing the value.
uint32_t EveryDigit(uint32_t value) {
    uint32_t word = 0;
    for (int k = 0; k < DIGIT_COUNT; ++k)
        word |= DigitBits(value, k);
    return word;
}

// KEY0 to KEY3 are bits 0 to 3, SW0 to SW9 bits 4 to 13, as the switches page reads them.
std::string InputName(int bit) {
    return bit < KEY_COUNT ? "KEY" + std::to_string(bit) : "SW" + std::to_string(bit - KEY_COUNT);
}

std::string InputNames(uint32_t bits) {
    std::string names;
    for (int bit = 0; bit < KEY_COUNT + SWITCH_COUNT; ++bit) {
        if (bits & (1u << bit))
            names += (names.empty() ? "" : " and ") + InputName(bit);
    }
    return names;
}

class SelfTest {
public:
    explicit SelfTest(ToolSession& session)
        : session(session), board(session.Board()), transfer(board, session.Context().interruption) {}

    CommandResult Run();

private:
    void Link(Step& step);
    void Outputs(Step& step);
    void Inputs(Step& step);
    void Sdram(Step& step);
    void SdCard(Step& step);
    void Try(Step& step, const std::string& what, bool accepted);
    bool TryInput(int bit, std::string& outcome);
    bool SkipRequested();
    void Report(const Step& step, int number);

    ToolSession& session;
    TBoard& board;
    MemoryTransfer transfer;
    bool linkLost = false;
    bool interrupted = false;
    bool inputOpen = true;
};

CommandResult SelfTest::Run() {
    std::string error;
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    session.Print("Board test of board " + std::to_string(session.Request().device) + " (" +
                  session.Connection().BoardName() + ", " + board.LinkDescription() +
                  "); the SDRAM's content is not kept");
    using StepFunction = void (SelfTest::*)(Step&);
    const std::tuple<StepFunction, const char*, const char*> plan[] = {
        {&SelfTest::Link, "link", "Link"},
        {&SelfTest::Outputs, "outputs", "LEDs, digits and VGA"},
        {&SelfTest::Inputs, "inputs", "Keys and switches"},
        {&SelfTest::Sdram, "sdram", "SDRAM"},
        {&SelfTest::SdCard, "sdcard", "SD card"},
    };
    CommandResult result;
    result.fields["steps"] = nlohmann::json::array();
    int counts[3] = {0, 0, 0};
    int number = 0;
    for (const auto& [function, id, title] : plan) {
        Step step(id, title);
        if (linkLost || interrupted) {
            step.result = Result::Skipped;
            step.summary = linkLost ? "the link failed" : "interrupted";
        } else {
            (this->*function)(step);
        }
        ++counts[static_cast<int>(step.result)];
        Report(step, ++number);
        result.fields["steps"].push_back({{"step", step.id},
                                          {"title", step.title},
                                          {"result", ResultName(step.result)},
                                          {"summary", step.summary},
                                          {"details", step.details}});
    }
    const int passed = counts[static_cast<int>(Result::Passed)];
    const int failed = counts[static_cast<int>(Result::Failed)];
    const int skipped = counts[static_cast<int>(Result::Skipped)];
    result.fields["passed"] = passed;
    result.fields["failed"] = failed;
    result.fields["skipped"] = skipped;
    session.Print("Summary: " + std::to_string(passed) + " passed, " + std::to_string(failed) + " failed, " +
                  std::to_string(skipped) + " skipped");
    if (linkLost) {
        result.exitCode = EXIT_BOARD;
        result.error = "the link to the board failed during the test";
    } else if (interrupted) {
        result.exitCode = EXIT_INTERRUPTED;
        result.error = "the test was interrupted";
    } else if (failed != 0) {
        result.exitCode = EXIT_UNHEALTHY;
        result.error = std::to_string(failed) + " of " + std::to_string(std::size(plan)) + " steps failed";
    }
    return result;
}

void SelfTest::Report(const Step& step, int number) {
    std::string head = std::string("[") + ResultName(step.result) + "]";
    head.resize(10, ' ');
    session.Print(head + std::to_string(number) + " " + step.title + (step.summary.empty() ? "" : ": " + step.summary));
    for (const std::string& line : step.lines)
        session.Print("            " + line);
}

// A command that was not accepted fails the step; one that got no answer at all may mean the link is
// gone, which a ping then tells.
void SelfTest::Try(Step& step, const std::string& what, bool accepted) {
    if (accepted)
        return;
    step.result = Result::Failed;
    step.details["refused"].push_back(what);
    if (!board.Ping())
        linkLost = true;
}

void SelfTest::Link(Step& step) {
    const std::string name = session.Connection().BoardName();
    std::vector<double> times;
    int failures = 0;
    int inRow = 0;
    for (int i = 0; i < PINGS && inRow < LOST_AFTER; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const bool answered = board.Ping();
        const auto end = std::chrono::steady_clock::now();
        if (!answered) {
            ++failures;
            ++inRow;
            continue;
        }
        inRow = 0;
        times.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    linkLost = inRow >= LOST_AFTER;
    step.summary = "board \"" + name + "\"";
    step.details = {{"board", name}, {"pings", PINGS}, {"failures", failures}};
    std::string line = std::to_string(PINGS) + " pings, " + std::to_string(failures) + " failed";
    if (!times.empty()) {
        std::sort(times.begin(), times.end());
        const double median = times[times.size() / 2];
        step.details["round_trip_ms"] = {{"min", times.front()}, {"median", median}, {"max", times.back()}};
        line += "; round trip min " + Milliseconds(times.front()) + ", median " + Milliseconds(median) + ", max " +
                Milliseconds(times.back());
    }
    step.lines.push_back(line);
    if (failures != 0)
        step.result = Result::Failed;
}

void SelfTest::Outputs(Step& step) {
    step.details["refused"] = nlohmann::json::array();
    for (int led = 0; led < LED_COUNT && !linkLost; ++led)
        Try(step, "LEDR" + std::to_string(led), board.SetLeds(1u << led));
    for (uint32_t value = 0; value < DIGIT_VALUES && !linkLost; ++value)
        Try(step, "digits " + Hex(value), board.SetSevenSegment(EveryDigit(value), 0));
    bool accepted = false;
    if (!linkLost)
        Try(step, "VGA output probe",
            board.SendControl(accepted, CONTROL_TARGET_VGA_OUT, CONTROL_OP_PROBE, 0) && accepted);
    for (int pattern = 0; pattern < VGA_PATTERN_COUNT && !linkLost; ++pattern) {
        board.DrainInput();
        Try(step, std::string("VGA pattern ") + VGA_PATTERNS[pattern].name,
            board.SendControl(accepted, CONTROL_TARGET_VGA, CONTROL_OP_SET_PATTERN, static_cast<uint8_t>(pattern)) &&
                accepted);
    }
    if (!linkLost) {
        Try(step, "LEDs off", board.SetLeds(0));
        Try(step, "digits 000000", board.SetSevenSegment(0, 0));
    }
    step.lines.push_back("10 LEDs one at a time, all six digits through 0 to F, " + std::to_string(VGA_PATTERN_COUNT) +
                         " VGA patterns");
    step.lines.push_back("the firmware cannot report what the LEDs, digits and monitor show: watch the board");
    if (step.result == Result::Passed) {
        step.summary = "every command accepted";
    } else {
        std::string refused;
        for (const auto& what : step.details["refused"])
            refused += (refused.empty() ? "" : ", ") + what.get<std::string>();
        step.summary = "refused: " + refused;
    }
}

void SelfTest::Inputs(Step& step) {
    uint32_t value = 0;
    if (!board.ReadKeysAndSwitches(value)) {
        linkLost = !board.Ping();
        step.result = Result::Failed;
        step.summary = "Failed to read the keys and switches.";
        return;
    }
    step.summary = InputsLine(value);
    step.details["initial"] = InputsJson(value);
    if (!session.Request().interactive) {
        step.lines.push_back("each key and switch not tried (run with --interactive)");
        return;
    }
    step.details["tried"] = nlohmann::json::object();
    for (int bit = 0; bit < KEY_COUNT + SWITCH_COUNT && !linkLost; ++bit) {
        std::string outcome;
        if (!TryInput(bit, outcome))
            step.result = Result::Failed;
        step.details["tried"][InputName(bit)] = outcome;
        if (outcome != "passed")
            step.lines.push_back(InputName(bit) + ": " + outcome);
    }
    if (linkLost)
        step.result = Result::Failed;
    else if (step.result == Result::Passed)
        step.lines.push_back("each key and switch changed its own bit alone");
}

// Whether the person pressed Enter to skip the input asked for. Standard input is only looked at,
// never waited on; at its end no more skips can come.
bool SelfTest::SkipRequested() {
    const int fd = session.Context().input;
    pollfd ready{fd, POLLIN, 0};
    while (inputOpen && poll(&ready, 1, 0) == 1) {
        char c = 0;
        if (read(fd, &c, 1) != 1) {
            inputOpen = false;
            break;
        }
        if (c == '\n')
            return true;
    }
    return false;
}

// Asks for one key to be pressed or one switch flipped and watches the keys and switches until a
// change comes: passed when exactly its bit changed (and a key came back up), failed when it never
// changed within the time limit or another bit changed. False when it failed.
bool SelfTest::TryInput(int bit, std::string& outcome) {
    const bool key = bit < KEY_COUNT;
    const uint32_t mine = 1u << bit;
    ToolContext& context = session.Context();
    uint32_t before = 0;
    if (!board.ReadKeysAndSwitches(before)) {
        linkLost = true;
        outcome = "the link failed";
        return false;
    }
    context.err << "qx7mb: " << (key ? "press " : "flip ") << InputName(bit)
                << (key ? ", hold it a moment and release it" : "") << " (Enter skips it; " << PROMPT_LIMIT_MS / 1000
                << " s)" << std::endl;
    bool changed = false;
    const uint32_t start = platform::GetTickCount();
    while (platform::GetTickCount() - start < PROMPT_LIMIT_MS) {
        if (SkipRequested()) {
            outcome = "skipped";
            return true;
        }
        context.sleep(POLL_INTERVAL_MS);
        uint32_t now = 0;
        if (!board.ReadKeysAndSwitches(now)) {
            linkLost = true;
            outcome = "the link failed";
            return false;
        }
        const uint32_t difference = now ^ before;
        if (!changed) {
            if (difference == 0)
                continue;
            if (difference != mine) {
                outcome = InputNames(difference) + " changed instead";
                return false;
            }
            // A switch stays where it was flipped; a key must come back up.
            if (!key) {
                outcome = "passed";
                return true;
            }
            changed = true;
        } else if (difference == 0) {
            outcome = "passed";
            return true;
        } else if (difference != mine) {
            outcome = InputNames(difference & ~mine) + " changed too";
            return false;
        }
    }
    outcome = changed ? "stayed down" : "never changed";
    return false;
}

void SelfTest::Sdram(Step& step) {
    const uint32_t size = session.Request().quick ? QUICK_MARCH_BYTES : SDRAM_SIZE;
    SdramCheck check(board, transfer);
    const auto progress = [this](const std::string& label, uint64_t total) { return session.Progress(label, total); };
    // Each test in turn, as long as the link holds.
    const std::pair<const char*, std::function<SdramCheck::Finding()>> tests[] = {
        {"data_lines", [&] { return check.DataLines(); }},
        {"address_lines", [&] { return check.AddressLines(); }},
        {"march", [&] { return check.March(size, progress); }},
    };
    std::string readings;
    for (const auto& [key, test] : tests) {
        if (linkLost || interrupted)
            break;
        const SdramCheck::Finding finding = test();
        step.lines.push_back(finding.Line());
        step.details[key] = finding.Json();
        if (finding.outcome != SdramCheck::Outcome::Passed)
            step.result = Result::Failed;
        if (finding.outcome == SdramCheck::Outcome::Failed && readings.find(finding.reading) == std::string::npos)
            readings += (readings.empty() ? "" : "; ") + finding.reading;
        linkLost = finding.outcome == SdramCheck::Outcome::LinkFailed;
        interrupted = finding.outcome == SdramCheck::Outcome::Interrupted;
    }
    step.details["march_bytes"] = size;
    step.summary = step.result == Result::Passed ? "data lines, address lines and march passed" : readings;
}

void SelfTest::SdCard(Step& step) {
    bool present = false;
    bool flag = false;
    std::string csd;
    std::string cid;
    std::string fileSystem;
    board.DrainInput();
    if (!board.ReadSdCardInfo(present, csd, cid, fileSystem, flag)) {
        linkLost = !board.Ping();
        step.result = Result::Failed;
        step.summary = "Failed to access SDCARD.";
        return;
    }
    step.details["card"] = present;
    if (!present) {
        step.result = Result::Skipped;
        step.summary = "no card in the slot";
        return;
    }
    step.summary = "card present, file system " + fileSystem;
    step.details["cid"] = Lines(cid);
    step.details["csd"] = Lines(csd);
    step.details["file_system"] = fileSystem;
    nlohmann::json warnings = nlohmann::json::array();
    if (csd.find("-CSD Version") == std::string::npos)
        warnings.push_back("the CSD register's structure is unknown");
    if (csd.find("-Memory Capacity:") == std::string::npos)
        warnings.push_back("the decoded capacity is 0");
    step.details["warnings"] = warnings;
    for (const std::string& line : Lines(cid))
        step.lines.push_back(line);
    for (const std::string& line : Lines(csd))
        step.lines.push_back(line);
    for (const auto& warning : warnings)
        step.lines.push_back("warning: " + warning.get<std::string>());
}

} // namespace

static CommandResult RunSelfTest(ToolSession& session) {
    return SelfTest(session).Run();
}

static const char* const SELFTEST_FOOTER =
    R"(Steps, in this order, each reported as passed, failed or skipped:
  1 Link: the board's name, then 200 pings: failures and round-trip times.
  2 LEDs, digits, VGA: each LED alone, all six digits through 0 to F, each VGA pattern; every
    command must be accepted. The firmware cannot report what the lamps show: watch the board.
  3 Keys and switches: read once; with --interactive, press each key and flip each switch when asked
    (30 s each; Enter skips one): exactly its bit must change.
  4 SDRAM: walking ones and zeros through one location (data lines), a marker at 0 and at each
    power-of-two address (address lines), then a march over the whole 64 MiB (--quick: the first MiB):
    a pattern and its complement, each written and read back. A failure names the first failing
    address, the bits that differ and what they mean ("data bit 5 stuck at 1").
    THE SDRAM'S CONTENT IS NOT KEPT: whatever was in the memory is overwritten.
  5 SD card: present or not, its registers and file system; a capacity of 0 or an unknown register
    structure is a warning, not a failure.
Exit code 0 when no step failed, 4 when any did; 1 when the board or link failed.)";

static std::string SelfTestOptions(CLI::App& command, ToolRequest& request) {
    command.add_flag("--quick", request.quick, "march over the first MiB of SDRAM only");
    command.add_flag("--interactive", request.interactive, "ask for each key and switch to be tried");
    return SELFTEST_FOOTER;
}

extern const ToolCommand SELFTEST_COMMAND{"selftest", "test the board: link, outputs, inputs, SDRAM, SD card",
                                          SelfTestOptions, RunSelfTest};

} // namespace cli
