#include "cli/MemoryTransfer.h"

#include "board/Protocol.h"
#include "core/MemoryTransfer.h"

#include <algorithm>
#include <vector>

namespace cli {

namespace {

// The progress bar after each exchange; Ctrl-C seen before each exchange, not after the last.
class ToolHooks : public MemoryTransferHooks {
public:
    ToolHooks(Interruption& interruption, ProgressBar& progress, uint32_t count)
        : interruption(interruption), progress(progress), count(count) {}

    // Hands each piece read, which lies in piece, to sink.
    void Deliver(const uint8_t* readPiece, const MemoryTransfer::ReadSink& pieceSink) {
        piece = readPiece;
        sink = &pieceSink;
    }

    bool StopAtStart() override {
        progress.Update(0);
        return count > 0 && interruption.Requested();
    }

    bool StopAfterChunk(uint32_t reached, bool moved) override {
        if (!moved)
            return false;
        if (sink != nullptr)
            (*sink)(delivered, piece, reached - delivered);
        delivered = reached;
        progress.Update(reached);
        return reached < count && interruption.Requested();
    }

private:
    Interruption& interruption;
    ProgressBar& progress;
    uint32_t count;
    const uint8_t* piece = nullptr;
    const MemoryTransfer::ReadSink* sink = nullptr;
    uint32_t delivered = 0;
};

MemoryTransfer::Outcome ToolOutcome(::MemoryTransfer::Outcome outcome) {
    switch (outcome) {
    case ::MemoryTransfer::Outcome::Done:
        return MemoryTransfer::Outcome::Done;
    case ::MemoryTransfer::Outcome::BoardFailed:
        return MemoryTransfer::Outcome::BoardFailed;
    case ::MemoryTransfer::Outcome::Stopped:
        break;
    }
    return MemoryTransfer::Outcome::Interrupted;
}

} // namespace

MemoryTransfer::Outcome MemoryTransfer::Write(uint32_t address, const uint8_t* data, uint32_t count,
                                              ProgressBar& progress) {
    ArmedInterruption armed(interruption);
    ToolHooks hooks(interruption, progress, count);
    ::MemoryTransfer transfer(access, hooks);
    const auto outcome = transfer.Write(MEM_TYPE_SDRAM, address, data, count, MEM_WRITE_CHUNK_MAX, false);
    done = transfer.Moved();
    return ToolOutcome(outcome);
}

MemoryTransfer::Outcome MemoryTransfer::Read(uint32_t address, uint32_t count, uint8_t* destination,
                                             ProgressBar& progress) {
    ArmedInterruption armed(interruption);
    ToolHooks hooks(interruption, progress, count);
    ::MemoryTransfer transfer(access, hooks);
    const auto outcome = transfer.Read(MEM_TYPE_SDRAM, address, destination, count, MEM_READ_CHUNK_MAX);
    done = transfer.Moved();
    return ToolOutcome(outcome);
}

MemoryTransfer::Outcome MemoryTransfer::Read(uint32_t address, uint32_t count, const ReadSink& sink,
                                             ProgressBar& progress) {
    ArmedInterruption armed(interruption);
    std::vector<uint8_t> piece(std::min(count, MEM_READ_CHUNK_MAX));
    ToolHooks hooks(interruption, progress, count);
    hooks.Deliver(piece.data(), sink);
    ::MemoryTransfer transfer(access, hooks);
    const auto outcome = transfer.ReadPieces(MEM_TYPE_SDRAM, address, piece.data(), count, MEM_READ_CHUNK_MAX);
    done = transfer.Moved();
    return ToolOutcome(outcome);
}

} // namespace cli
