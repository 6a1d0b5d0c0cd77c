#pragma once

#include "board/Board.h"

#include <string>

// Whether the firmware behind an open link is the control panel's: its name is asked until an answer
// comes or 3000 ms have passed since the first question (there is always one), and must be "TZ8"
// exactly. False with "Invalid Board Name" or "Failed to query board name."; the link stays as it is.
bool CheckBoardName(TBoard& board, std::string& name, std::string& error);
