#include "cli/MemoryTransfer.h"

#include "board/Protocol.h"

#include <algorithm>
#include <vector>

namespace cli {

MemoryTransfer::Outcome MemoryTransfer::Write(uint32_t address, const uint8_t* data, uint32_t count,
                                              ProgressBar& progress) {
    return Run(count, MEM_WRITE_CHUNK_MAX, progress,
               [&](uint32_t n) { return board.MemoryWrite(MEM_TYPE_SDRAM, address + done, data + done, n); });
}

MemoryTransfer::Outcome MemoryTransfer::Read(uint32_t address, uint32_t count, const ReadSink& sink,
                                             ProgressBar& progress) {
    std::vector<uint8_t> piece(std::min(count, MEM_READ_CHUNK_MAX));
    return Run(count, MEM_READ_CHUNK_MAX, progress, [&](uint32_t n) {
        if (!board.MemoryRead(MEM_TYPE_SDRAM, address + done, piece.data(), n))
            return false;
        sink(done, piece.data(), n);
        return true;
    });
}

MemoryTransfer::Outcome MemoryTransfer::Run(uint32_t count, uint32_t chunk, ProgressBar& progress,
                                            const Exchange& exchange) {
    done = 0;
    ArmedInterruption armed(interruption);
    if (!board.KeepAlive())
        return Outcome::BoardFailed;
    progress.Update(0);
    while (done < count) {
        if (interruption.Requested())
            return Outcome::Interrupted;
        const uint32_t n = std::min(chunk, count - done);
        if (!exchange(n))
            return Outcome::BoardFailed;
        done += n;
        progress.Update(done);
    }
    return Outcome::Done;
}

} // namespace cli
