#pragma once

#include "board/Board.h"
#include "cli/Interruption.h"
#include "cli/ProgressBar.h"
#include "core/MemoryAccess.h"

#include <cstdint>
#include <functional>

namespace cli {

// The tool's side of the core's memory transfer: the largest chunks one exchange moves, the progress
// bar, and Ctrl-C, which ends a transfer after its current exchange.
class MemoryTransfer {
public:
    enum class Outcome { Done, BoardFailed, Interrupted };
    // Takes each piece read: its offset from the transfer's start, its bytes.
    using ReadSink = std::function<void(uint32_t offset, const uint8_t* bytes, uint32_t count)>;

    MemoryTransfer(TBoard& board, Interruption& interruption) : interruption(interruption) { access.Bind(&board); }

    Outcome Write(uint32_t address, const uint8_t* data, uint32_t count, ProgressBar& progress);
    // Reads straight into destination, which takes count bytes.
    Outcome Read(uint32_t address, uint32_t count, uint8_t* destination, ProgressBar& progress);
    // Hands each piece to sink as it arrives.
    Outcome Read(uint32_t address, uint32_t count, const ReadSink& sink, ProgressBar& progress);
    // The bytes the last transfer moved.
    uint32_t Done() const { return done; }

private:
    TBoardMemoryAccess access;
    Interruption& interruption;
    uint32_t done = 0;
};

} // namespace cli
