// qx7mb: the QX7-MB board from the command line. Everything but the process's own services (the
// streams, the terminal test, Ctrl-C, sleeping) is in the library qx7mb_cli.
#include "cli/Tool.h"

#include <chrono>
#include <csignal>
#include <iostream>
#include <thread>
#include <unistd.h>

namespace {

cli::Interruption interruption;

// While a transfer or a watch runs, Ctrl-C asks it to end; otherwise it ends the program as usual.
void OnInterrupt(int) {
    if (interruption.IsArmed()) {
        interruption.Request();
        return;
    }
    std::signal(SIGINT, SIG_DFL);
    std::raise(SIGINT);
}

} // namespace

int main(int argc, char** argv) {
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    // A closed pipe on standard output is a write error, not a silent end; a file over the size limit
    // is a short write that fails the save, not the end of the program with its temporary file left.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);

    cli::ToolContext context{std::cout,
                             std::cerr,
                             isatty(STDERR_FILENO) == 1,
                             interruption,
                             [](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                             std::nullopt};
    return cli::RunTool(std::vector<std::string>(argv + 1, argv + argc), context);
}
