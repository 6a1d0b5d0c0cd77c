#include "core/MemoryTransfer.h"

#include <algorithm>

namespace {

// About twenty progress steps per transfer.
constexpr uint32_t PROGRESS_STEPS = 20;

} // namespace

MemoryTransfer::Outcome MemoryTransfer::Write(uint8_t memoryType, uint32_t address, const uint8_t* data, uint32_t count,
                                              uint32_t chunk, bool keepAliveEachChunk) {
    return Run(count, chunk, [&](uint32_t offset, uint32_t n) {
        if (keepAliveEachChunk && !memory.KeepAlive())
            return false;
        return memory.MemoryWrite(memoryType, address + offset, data + offset, n);
    });
}

MemoryTransfer::Outcome MemoryTransfer::Read(uint8_t memoryType, uint32_t address, uint8_t* destination, uint32_t count,
                                             uint32_t chunk) {
    return Run(count, chunk, [&](uint32_t offset, uint32_t n) {
        return memory.MemoryRead(memoryType, address + offset, destination + offset, n);
    });
}

MemoryTransfer::Outcome MemoryTransfer::ReadPieces(uint8_t memoryType, uint32_t address, uint8_t* piece, uint32_t count,
                                                   uint32_t chunk) {
    return Run(count, chunk,
               [&](uint32_t offset, uint32_t n) { return memory.MemoryRead(memoryType, address + offset, piece, n); });
}

uint32_t MemoryTransfer::TwentiethChunk(uint32_t count, uint32_t limit) {
    const uint32_t chunk = count / PROGRESS_STEPS;
    return std::min(chunk == 0 ? count : chunk, limit);
}

template <typename Move> MemoryTransfer::Outcome MemoryTransfer::Run(uint32_t count, uint32_t chunk, const Move& move) {
    moved = 0;
    if (!memory.KeepAlive())
        return Outcome::BoardFailed;
    if (hooks.StopAtStart())
        return Outcome::Stopped;
    // A chunk of no size would never end the transfer: it moves all at once.
    if (chunk == 0)
        chunk = count;
    while (moved < count) {
        const uint32_t n = std::min(chunk, count - moved);
        const bool ok = move(moved, n);
        const uint32_t reached = moved + n;
        if (ok)
            moved = reached;
        if (hooks.StopAfterChunk(reached, ok))
            return Outcome::Stopped;
        if (!ok)
            return Outcome::BoardFailed;
    }
    return Outcome::Done;
}
