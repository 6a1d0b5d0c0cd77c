#include "cli/Tool.h"

#include "cli/CommandTable.h"
#include "cli/ToolOptions.h"
#include "cli/ToolSession.h"

#include <algorithm>
#include <ostream>

namespace cli {

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
        result = request.command->run(session);
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
