#pragma once

#include "board/Board.h"
#include "cli/Interruption.h"
#include "cli/ProgressBar.h"

#include <cstdint>
#include <functional>

namespace cli {

// Moves bytes between the SDRAM and the program one exchange at a time (the largest the protocol
// allows), so that Ctrl-C ends a transfer after its current exchange, and shows the progress. Like the
// memory page, it sends one keep-alive before each transfer.
class MemoryTransfer {
public:
    enum class Outcome { Done, BoardFailed, Interrupted };
    // Takes each piece read: its offset from the transfer's start, its bytes.
    using ReadSink = std::function<void(uint32_t offset, const uint8_t* bytes, uint32_t count)>;

    MemoryTransfer(TBoard& board, Interruption& interruption) : board(board), interruption(interruption) {}

    Outcome Write(uint32_t address, const uint8_t* data, uint32_t count, ProgressBar& progress);
    Outcome Read(uint32_t address, uint32_t count, const ReadSink& sink, ProgressBar& progress);
    // The bytes the last transfer moved.
    uint32_t Done() const { return done; }

private:
    // One exchange moves n bytes at offset done; false when it failed.
    using Exchange = std::function<bool(uint32_t n)>;
    Outcome Run(uint32_t count, uint32_t chunk, ProgressBar& progress, const Exchange& exchange);

    TBoard& board;
    Interruption& interruption;
    uint32_t done = 0;
};

} // namespace cli
