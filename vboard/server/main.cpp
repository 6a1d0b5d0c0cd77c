// qx7mb-vboard: the virtual QX7-MB board. Serves the JTAG link and the control socket, with the board
// window unless headless, until SIGINT or SIGTERM (or the window is closed), then removes its sockets.
#include "vboard/BoardFolder.h"
#include "vboard/LinkService.h"
#include "vboard/ServerFolder.h"
#include "vboard/VirtualBoard.h"
#include "vboard/window/WindowRun.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <signal.h>
#include <string>

namespace {

void Usage(FILE* out) {
    std::fputs("Usage: qx7mb-vboard [--headless] [--device N] [--dir PATH] [--configured] [--help]\n"
               "The virtual QX7-MB board: serves the sockets 'jtag' and 'control' in its folder\n"
               "($QX7MB_VBOARD, else $XDG_RUNTIME_DIR/qx7mb-vboard, else /tmp/qx7mb-vboard-<uid>;\n"
               "board N >= 1 the same name with \"-N\" appended). One JTAG link at a time.\n"
               "  --headless     run without a board window\n"
               "  --device N     serve board N, which JTAG device number N reaches (default 0)\n"
               "  --dir PATH     serve this folder instead\n"
               "  --configured   start with the control-panel design already configured\n"
               "  --help         show this text\n",
               out);
}

// A device number: decimal digits only, up to the largest 32-bit one.
bool ParseDevice(const std::string& text, int& device) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [last, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || last != end || value < 0)
        return false;
    device = value;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    bool headless = false;
    bool configured = false;
    int device = 0;
    std::string folder;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--headless") {
            headless = true;
        } else if (arg == "--device" && i + 1 < argc && ParseDevice(argv[i + 1], device)) {
            ++i;
        } else if (arg == "--configured") {
            configured = true;
        } else if (arg == "--dir" && i + 1 < argc && argv[i + 1][0] != '\0') {
            folder = argv[++i];
        } else if (arg == "--help") {
            Usage(stdout);
            return 0;
        } else {
            std::fprintf(stderr, "qx7mb-vboard: unknown or incomplete option '%s'\n", arg.c_str());
            Usage(stderr);
            return 2;
        }
    }
    if (folder.empty())
        folder = vboard::DefaultBoardFolder(device);
    if (!headless && !vboard::DisplayAvailable()) {
        std::fprintf(stderr, "qx7mb-vboard: no display for the board window; use --headless\n");
        return 1;
    }

    // The signals are taken by sigwait below; every thread started from here on inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    vboard::ServerFolder serverFolder;
    std::string error;
    if (!serverFolder.Acquire(folder, error)) {
        std::fprintf(stderr, "qx7mb-vboard: %s\n", error.c_str());
        return 1;
    }
    vboard::VirtualBoard board(configured);
    vboard::LinkService service(board, folder);
    if (!service.Start(error)) {
        std::fprintf(stderr, "qx7mb-vboard: %s\n", error.c_str());
        return 1;
    }
    std::printf("qx7mb-vboard: serving %s (%s)\n", folder.c_str(), configured ? "configured" : "unconfigured");
    std::fflush(stdout);

    int code = 0;
    if (headless) {
        int received = 0;
        while (sigwait(&signals, &received) != 0) {
        }
    } else {
        code = vboard::RunBoardWindow(argc, argv, board, folder, signals);
    }
    service.Stop();
    return code;
}
