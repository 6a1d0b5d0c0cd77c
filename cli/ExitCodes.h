#pragma once

namespace cli {

// Each exit code of the tool means one thing.
constexpr int EXIT_OK = 0;
constexpr int EXIT_BOARD = 1;         // the board or the link failed
constexpr int EXIT_USAGE = 2;         // bad usage or input; nothing was sent to the board
constexpr int EXIT_DIFFERS = 3;       // a verify found a difference
constexpr int EXIT_UNHEALTHY = 4;     // a step of the board test, or a check of the doctor, failed
constexpr int EXIT_INTERRUPTED = 130; // Ctrl-C ended a transfer (128 + SIGINT, as shells report it)

} // namespace cli
