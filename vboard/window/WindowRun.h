#pragma once

#include "vboard/VirtualBoard.h"

#include <signal.h>
#include <string>

namespace vboard {

// True when a window can be shown: a display to open, or a Qt platform chosen in the environment.
bool DisplayAvailable();

// Shows the board window and runs its event loop until the window is closed or one of the signals
// (blocked in every thread by the caller) arrives. Returns the program's exit code.
int RunBoardWindow(int& argc, char** argv, VirtualBoard& board, const std::string& folder, const sigset_t& stopSignals);

} // namespace vboard
