#pragma once

#include "core/MemoryAccess.h"

#include <cstdint>

// What a front end adds to a memory transfer: how it shows the progress and how it is stopped.
class MemoryTransferHooks {
public:
    virtual ~MemoryTransferHooks() = default;
    // After the opening keep-alive answered: true stops the transfer before its first chunk.
    virtual bool StopAtStart() { return false; }
    // After each chunk, a failed one too, with the bytes the transfer has reached: true stops it there.
    virtual bool StopAfterChunk(uint32_t reached, bool moved) = 0;
};

// Moves bytes between the board's memory and the program: one keep-alive, then chunks of one size,
// each straight from or into the caller's buffer. A stop asked after a failed chunk wins over the
// failure: the user asked for it.
class MemoryTransfer {
public:
    enum class Outcome { Done, BoardFailed, Stopped };

    MemoryTransfer(TMemoryAccess& memory, MemoryTransferHooks& hooks) : memory(memory), hooks(hooks) {}

    // keepAliveEachChunk sends a keep-alive before every chunk as well (the panel's writes).
    Outcome Write(uint8_t memoryType, uint32_t address, const uint8_t* data, uint32_t count, uint32_t chunk,
                  bool keepAliveEachChunk);
    Outcome Read(uint8_t memoryType, uint32_t address, uint8_t* destination, uint32_t count, uint32_t chunk);
    // Reads every chunk into piece, which takes one chunk, for hooks that use each before the next.
    Outcome ReadPieces(uint8_t memoryType, uint32_t address, uint8_t* piece, uint32_t count, uint32_t chunk);
    // The bytes the last transfer moved.
    uint32_t Moved() const { return moved; }

    // The panel's chunk: a twentieth of the transfer, for about twenty progress steps, at most limit.
    static uint32_t TwentiethChunk(uint32_t count, uint32_t limit);

private:
    template <typename Move> Outcome Run(uint32_t count, uint32_t chunk, const Move& move);

    TMemoryAccess& memory;
    MemoryTransferHooks& hooks;
    uint32_t moved = 0;
};
