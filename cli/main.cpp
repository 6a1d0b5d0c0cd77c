// qx7mb: the QX7-MB board from the command line. Everything but the process's own services (the
// streams, the terminal test, Ctrl-C, sleeping) is in the library qx7mb_cli.
#include "cli/Tool.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

cli::Interruption interruption;

// Standard output, buffered, keeping the reason of the first write that failed: results that never
// reached their reader are no success.
class StandardOutput : public std::streambuf {
public:
    int failure = 0;

protected:
    int overflow(int c) override {
        if (c != traits_type::eof())
            pending.push_back(static_cast<char>(c));
        return pending.size() < BUFFER_SIZE || sync() == 0 ? traits_type::not_eof(c) : traits_type::eof();
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        pending.append(text, static_cast<std::size_t>(count));
        return pending.size() < BUFFER_SIZE || sync() == 0 ? count : 0;
    }
    int sync() override {
        std::size_t done = 0;
        while (done < pending.size()) {
            const ssize_t n = write(STDOUT_FILENO, pending.data() + done, pending.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                if (failure == 0)
                    failure = n < 0 ? errno : EIO;
                pending.clear();
                return -1;
            }
            done += static_cast<std::size_t>(n);
        }
        pending.clear();
        return 0;
    }

private:
    static constexpr std::size_t BUFFER_SIZE = 64 * 1024;
    std::string pending;
};

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

    StandardOutput output;
    std::ostream out(&output);
    cli::ToolContext context{out,
                             std::cerr,
                             isatty(STDERR_FILENO) == 1,
                             interruption,
                             [](uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
                             std::nullopt};
    const int code = cli::RunTool(std::vector<std::string>(argv + 1, argv + argc), context);
    // A reader that went away (a closed pipe) knows it did and needs no word about it.
    out.flush();
    if (output.failure == 0)
        return code;
    if (output.failure != EPIPE)
        std::cerr << "qx7mb: cannot write the standard output: " << std::strerror(output.failure) << std::endl;
    return code == 0 ? 1 : code;
}
