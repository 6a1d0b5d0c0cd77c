#include "cli/Tool.h"

#include "cli/Commands.h"
#include "cli/ToolOptions.h"
#include "cli/ToolSession.h"

#include <algorithm>
#include <ostream>

namespace cli {

namespace {

CommandResult RunCommand(ToolSession& session) {
    switch (session.Request().command) {
    case ToolCommand::Info:
        return RunInfo(session);
    case ToolCommand::Configure:
        return RunConfigure(session);
    case ToolCommand::Leds:
        return RunLeds(session);
    case ToolCommand::Hex:
        return RunHex(session);
    case ToolCommand::Inputs:
        return RunInputs(session);
    case ToolCommand::Watch:
        return RunWatch(session);
    case ToolCommand::Sd:
        return RunSd(session);
    case ToolCommand::Vga:
        return RunVga(session);
    case ToolCommand::MemRead:
        return RunMemRead(session);
    case ToolCommand::MemWrite:
        return RunMemWrite(session);
    case ToolCommand::MemVerify:
        return RunMemVerify(session);
    case ToolCommand::SelfTest:
        return RunSelfTest(session);
    case ToolCommand::Doctor:
        return RunDoctor(session);
    case ToolCommand::Trace:
        return RunTrace(session);
    }
    return CommandResult::Failure(EXIT_USAGE, "no command");
}

} // namespace

int RunTool(const std::vector<std::string>& args, ToolContext& context) {
    ToolRequest request;
    std::string refusal;
    CommandResult result;
    bool configured = false;
    switch (ParseToolArguments(args, request, context.out, refusal)) {
    case ParseOutcome::Help:
        return EXIT_OK;
    case ParseOutcome::Refused:
        // A script that asked for JSON gets it also for a command line it got wrong.
        request.json = std::find(args.begin(), args.end(), "--json") != args.end();
        result = CommandResult::Failure(EXIT_USAGE, refusal);
        break;
    case ParseOutcome::Run: {
        ToolSession session(request, context);
        result = RunCommand(session);
        configured = session.Connection().ConfiguredFpga();
        break;
    }
    }
    if (request.json) {
        nlohmann::json object = {{"ok", result.exitCode == EXIT_OK},
                                 {"command", request.name},
                                 {"device", request.device},
                                 {"configured", configured}};
        object.update(result.fields);
        if (result.exitCode != EXIT_OK)
            object["error"] = result.error;
        context.out << object.dump() << '\n' << std::flush;
    }
    if (result.exitCode != EXIT_OK)
        context.err << "qx7mb: " << result.error << '\n' << std::flush;
    return result.exitCode;
}

} // namespace cli
