#include "cli/ToolSession.h"

#include <ostream>

namespace cli {

namespace {

std::unique_ptr<TBoard> MakeBoard(const ToolContext& context) {
    return context.jtagApi ? std::make_unique<TBoard>(*context.jtagApi) : std::make_unique<TBoard>();
}

} // namespace

ToolSession::ToolSession(const ToolRequest& request, ToolContext& context)
    : request(request), context(context), messages(context.err), board(MakeBoard(context)),
      connection(*board, request.device, *this) {}

bool ToolSession::Connect(std::string& error) {
    return connection.Connect(!request.noConfigure, error);
}

void ToolSession::DownloadBegins() {
    Step("Configure FPGA...");
}

void ToolSession::Print(const std::string& line) {
    if (!request.json)
        context.out << line << '\n' << std::flush;
}

void ToolSession::Step(const std::string& text) {
    if (context.errIsTerminal)
        context.err << "qx7mb: " << text << '\n' << std::flush;
}

ProgressBar ToolSession::Progress(const std::string& label, uint64_t total) {
    return ProgressBar(context.err, context.errIsTerminal, label, total);
}

} // namespace cli
