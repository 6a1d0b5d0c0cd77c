#include "core/MemoryTransfer.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

// Records each operation as a word; the operation numbered failAt fails.
class ScriptedMemory : public TMemoryAccess {
public:
    bool KeepAlive() override { return Record("ping"); }
    bool MemoryWrite(uint8_t, uint32_t address, const uint8_t* data, uint32_t count) override {
        lastData = data;
        return Record("w" + std::to_string(address) + "+" + std::to_string(count));
    }
    bool MemoryRead(uint8_t, uint32_t address, uint8_t* destination, uint32_t count) override {
        for (uint32_t i = 0; i < count; ++i)
            destination[i] = static_cast<uint8_t>(address + i);
        return Record("r" + std::to_string(address) + "+" + std::to_string(count));
    }

    std::vector<std::string> calls;
    int failAt = -1;
    const uint8_t* lastData = nullptr;

private:
    bool Record(const std::string& call) {
        calls.push_back(call);
        return static_cast<int>(calls.size()) - 1 != failAt;
    }
};

// Records what the transfer reported; stops where told.
class RecordingHooks : public MemoryTransferHooks {
public:
    bool StopAtStart() override {
        events.push_back("start");
        return stopAtStart;
    }
    bool StopAfterChunk(uint32_t reached, bool moved) override {
        events.push_back(std::to_string(reached) + (moved ? "" : "!"));
        return reached >= stopAt;
    }

    std::vector<std::string> events;
    bool stopAtStart = false;
    uint32_t stopAt = UINT32_MAX;
};

using Calls = std::vector<std::string>;

TEST(MemoryTransfer, MovesEveryChunkStraightFromTheCallersBufferAfterOneKeepAlive) {
    ScriptedMemory memory;
    RecordingHooks hooks;
    MemoryTransfer transfer(memory, hooks);
    const std::vector<uint8_t> data(25);
    EXPECT_EQ(transfer.Write(0, 100, data.data(), 25, 10, false), MemoryTransfer::Outcome::Done);
    EXPECT_EQ(memory.calls, (Calls{"ping", "w100+10", "w110+10", "w120+5"}));
    EXPECT_EQ(memory.lastData, data.data() + 20);
    EXPECT_EQ(hooks.events, (Calls{"start", "10", "20", "25"}));
    EXPECT_EQ(transfer.Moved(), 25u);
}

TEST(MemoryTransfer, AWriteMaySendAKeepAliveBeforeEachChunk) {
    ScriptedMemory memory;
    RecordingHooks hooks;
    MemoryTransfer transfer(memory, hooks);
    const std::vector<uint8_t> data(12);
    EXPECT_EQ(transfer.Write(0, 0, data.data(), 12, 6, true), MemoryTransfer::Outcome::Done);
    EXPECT_EQ(memory.calls, (Calls{"ping", "ping", "w0+6", "ping", "w6+6"}));
}

TEST(MemoryTransfer, AReadFillsTheDestinationInPlace) {
    ScriptedMemory memory;
    RecordingHooks hooks;
    MemoryTransfer transfer(memory, hooks);
    std::vector<uint8_t> destination(7);
    EXPECT_EQ(transfer.Read(0, 3, destination.data(), 7, 4), MemoryTransfer::Outcome::Done);
    EXPECT_EQ(memory.calls, (Calls{"ping", "r3+4", "r7+3"}));
    EXPECT_EQ(destination, (std::vector<uint8_t>{3, 4, 5, 6, 7, 8, 9}));
}

TEST(MemoryTransfer, PiecesAreReadOneAfterAnotherIntoTheSameBuffer) {
    ScriptedMemory memory;
    struct PieceHooks : MemoryTransferHooks {
        bool StopAfterChunk(uint32_t, bool) override {
            pieces.emplace_back(piece.begin(), piece.end());
            return false;
        }
        std::vector<uint8_t> piece = std::vector<uint8_t>(4);
        std::vector<std::vector<uint8_t>> pieces;
    } hooks;
    MemoryTransfer transfer(memory, hooks);
    EXPECT_EQ(transfer.ReadPieces(0, 3, hooks.piece.data(), 6, 4), MemoryTransfer::Outcome::Done);
    EXPECT_EQ(hooks.pieces, (std::vector<std::vector<uint8_t>>{{3, 4, 5, 6}, {7, 8, 5, 6}}));
}

TEST(MemoryTransfer, AFailedKeepAliveEndsItBeforeAnyHook) {
    ScriptedMemory memory;
    memory.failAt = 0;
    RecordingHooks hooks;
    MemoryTransfer transfer(memory, hooks);
    std::vector<uint8_t> destination(8);
    EXPECT_EQ(transfer.Read(0, 0, destination.data(), 8, 4), MemoryTransfer::Outcome::BoardFailed);
    EXPECT_TRUE(hooks.events.empty());
    EXPECT_EQ(transfer.Moved(), 0u);
}

TEST(MemoryTransfer, AFailedChunkIsReportedAndNotCountedAsMoved) {
    ScriptedMemory memory;
    memory.failAt = 2;
    RecordingHooks hooks;
    MemoryTransfer transfer(memory, hooks);
    std::vector<uint8_t> destination(12);
    EXPECT_EQ(transfer.Read(0, 0, destination.data(), 12, 4), MemoryTransfer::Outcome::BoardFailed);
    EXPECT_EQ(hooks.events, (Calls{"start", "4", "8!"}));
    EXPECT_EQ(transfer.Moved(), 4u);
}

TEST(MemoryTransfer, AStopAfterAFailedChunkWinsOverTheFailure) {
    ScriptedMemory memory;
    memory.failAt = 1;
    RecordingHooks hooks;
    hooks.stopAt = 4;
    MemoryTransfer transfer(memory, hooks);
    std::vector<uint8_t> destination(12);
    EXPECT_EQ(transfer.Read(0, 0, destination.data(), 12, 4), MemoryTransfer::Outcome::Stopped);
}

TEST(MemoryTransfer, AStopEndsTheTransferBeforeTheNextChunkAndEvenAfterTheLast) {
    ScriptedMemory memory;
    RecordingHooks hooks;
    hooks.stopAt = 8;
    MemoryTransfer transfer(memory, hooks);
    std::vector<uint8_t> destination(12);
    EXPECT_EQ(transfer.Read(0, 0, destination.data(), 12, 4), MemoryTransfer::Outcome::Stopped);
    EXPECT_EQ(memory.calls, (Calls{"ping", "r0+4", "r4+4"}));
    EXPECT_EQ(transfer.Moved(), 8u);

    hooks.stopAt = 12;
    EXPECT_EQ(transfer.Read(0, 0, destination.data(), 12, 4), MemoryTransfer::Outcome::Stopped);
    EXPECT_EQ(transfer.Moved(), 12u);
}

TEST(MemoryTransfer, AStopAtTheStartMovesNothing) {
    ScriptedMemory memory;
    RecordingHooks hooks;
    hooks.stopAtStart = true;
    MemoryTransfer transfer(memory, hooks);
    std::vector<uint8_t> destination(12);
    EXPECT_EQ(transfer.Read(0, 0, destination.data(), 12, 4), MemoryTransfer::Outcome::Stopped);
    EXPECT_EQ(memory.calls, (Calls{"ping"}));
}

TEST(MemoryTransfer, NothingToMoveIsDoneAfterTheKeepAliveAndAChunkOfNoSizeMovesAllAtOnce) {
    ScriptedMemory memory;
    RecordingHooks hooks;
    MemoryTransfer transfer(memory, hooks);
    std::vector<uint8_t> destination(9);
    EXPECT_EQ(transfer.Read(0, 0, destination.data(), 0, 4), MemoryTransfer::Outcome::Done);
    EXPECT_EQ(transfer.Read(0, 0, destination.data(), 9, 0), MemoryTransfer::Outcome::Done);
    EXPECT_EQ(memory.calls, (Calls{"ping", "ping", "r0+9"}));
}

TEST(MemoryTransfer, ThePanelsChunkIsATwentiethWithinItsLimit) {
    EXPECT_EQ(MemoryTransfer::TwentiethChunk(2000, UINT32_MAX), 100u);
    EXPECT_EQ(MemoryTransfer::TwentiethChunk(19, UINT32_MAX), 19u);
    EXPECT_EQ(MemoryTransfer::TwentiethChunk(0x4000000, 32743), 32743u);
    EXPECT_EQ(MemoryTransfer::TwentiethChunk(0, 32743), 0u);
}

} // namespace
