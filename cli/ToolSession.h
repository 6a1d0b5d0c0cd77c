#pragma once

#include "board/Board.h"
#include "cli/MessageRoute.h"
#include "cli/ProgressBar.h"
#include "cli/ToolContext.h"
#include "cli/ToolRequest.h"
#include "core/ConnectionWorkflow.h"

#include <memory>
#include <string>

namespace cli {

// One run of a command: the request, the board and its connection, and the ways the command
// reports. The link is closed when the session ends (by the board's destruction).
class ToolSession : private ConnectionHooks {
public:
    ToolSession(const ToolRequest& request, ToolContext& context);
    ToolSession(const ToolSession&) = delete;
    ToolSession& operator=(const ToolSession&) = delete;

    // Connects as the panel does, configuring the FPGA unless the request forbids it.
    bool Connect(std::string& error);

    const ToolRequest& Request() const { return request; }
    ToolContext& Context() { return context; }
    TBoard& Board() { return *board; }
    ConnectionWorkflow& Connection() { return connection; }
    MessageRoute& Messages() { return messages; }

    // A line of the command's text output on standard output; nothing with --json.
    void Print(const std::string& line);
    // A step of long work, on standard error when a person watches it.
    void Step(const std::string& text);
    // A progress bar on standard error, drawn when a person watches it.
    ProgressBar Progress(const std::string& label, uint64_t total);

private:
    // Of the connection's steps, the tool tells only the long one.
    void DownloadBegins() override;

    const ToolRequest& request;
    ToolContext& context;
    MessageRoute messages;
    std::unique_ptr<TBoard> board;
    ConnectionWorkflow connection;
};

} // namespace cli
