// The commands that read the keys and switches: inputs, once, and watch, each change.
#include "board/Protocol.h"
#include "cli/CommandTable.h"
#include "cli/Commands.h"
#include "cli/Numbers.h"
#include "platform/Clock.h"

#include <CLI/CLI.hpp>
#include <cstdio>

namespace cli {

namespace {

constexpr uint32_t POLL_INTERVAL_MS = 100;

// "KEY0 KEY2 down" or "none down".
std::string Set(uint32_t bits, int count, const char* name, const char* state) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (bits & (1u << i))
            text += name + std::to_string(i) + " ";
    }
    return (text.empty() ? std::string("none ") : text) + state;
}

const char* const READ_FAILED = "Failed to read the keys and switches.";

} // namespace

std::string InputsLine(uint32_t value) {
    return "keys " + Hex(InputsKeys(value)) + " (" + Set(InputsKeys(value), KEY_COUNT, "KEY", "down") + ")  switches " +
           Hex(InputsSwitches(value), 3) + " (" + Set(InputsSwitches(value), SWITCH_COUNT, "SW", "on") + ")";
}

nlohmann::json InputsJson(uint32_t value) {
    nlohmann::json down = nlohmann::json::array();
    nlohmann::json on = nlohmann::json::array();
    for (int i = 0; i < KEY_COUNT; ++i) {
        if (InputsKeys(value) & (1u << i))
            down.push_back(i);
    }
    for (int i = 0; i < SWITCH_COUNT; ++i) {
        if (InputsSwitches(value) & (1u << i))
            on.push_back(i);
    }
    return {{"keys", InputsKeys(value)}, {"switches", InputsSwitches(value)}, {"keys_down", down}, {"switches_on", on}};
}

static CommandResult RunInputs(ToolSession& session) {
    std::string error;
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    uint32_t value = 0;
    if (!session.Board().ReadKeysAndSwitches(value))
        return CommandResult::Failure(EXIT_BOARD, READ_FAILED);
    session.Print(InputsLine(value));
    return {EXIT_OK, {}, InputsJson(value)};
}

static CommandResult RunWatch(ToolSession& session) {
    std::string error;
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    ToolContext& context = session.Context();
    const int wanted = session.Request().count;
    uint32_t value = 0;
    if (!session.Board().ReadKeysAndSwitches(value))
        return CommandResult::Failure(EXIT_BOARD, READ_FAILED);
    const uint32_t start = platform::GetTickCount();
    CommandResult result;
    result.fields["initial"] = InputsJson(value);
    result.fields["changes"] = nlohmann::json::array();
    session.Print("  0.0 s  " + InputsLine(value));

    ArmedInterruption armed(context.interruption);
    int changes = 0;
    // Like the switches page: the next poll starts a tenth of a second after the last one ended.
    while (wanted == 0 || changes < wanted) {
        context.sleep(POLL_INTERVAL_MS);
        if (context.interruption.Requested())
            break;
        uint32_t now = 0;
        if (!session.Board().ReadKeysAndSwitches(now)) {
            result.exitCode = EXIT_BOARD;
            result.error = READ_FAILED;
            return result;
        }
        if (now == value)
            continue;
        value = now;
        ++changes;
        const uint32_t ms = platform::GetTickCount() - start;
        nlohmann::json change = InputsJson(value);
        change["ms"] = ms;
        result.fields["changes"].push_back(change);
        char time[32];
        std::snprintf(time, sizeof time, "%5.1f s  ", ms / 1000.0);
        session.Print(time + InputsLine(value));
    }
    // Ctrl-C is how a watch without a count ends; one with a count that ends early did not finish.
    if (wanted != 0 && changes < wanted) {
        result.exitCode = EXIT_INTERRUPTED;
        result.error = "interrupted after " + std::to_string(changes) + " of " + std::to_string(wanted) + " changes";
    }
    return result;
}

static std::string InputsOptions(CLI::App&, ToolRequest&) {
    return "As the switches page reads them: a key that is held is down, a switch that is set is on.";
}

static std::string WatchOptions(CLI::App& command, ToolRequest& request) {
    command.add_option("--count", request.count, "end after N changes (default: run until Ctrl-C)")
        ->type_name("N")
        ->check(CLI::PositiveNumber.description(""));
    return "The keys and switches are read ten times a second, as the switches page does. The state at\n"
           "the start comes first, then one line per change; with --json one object at the end.";
}

extern const ToolCommand INPUTS_COMMAND{"inputs", "read the four keys and the ten switches once", InputsOptions,
                                        RunInputs};
extern const ToolCommand WATCH_COMMAND{"watch", "show each change of the keys and switches", WatchOptions, RunWatch};

} // namespace cli
