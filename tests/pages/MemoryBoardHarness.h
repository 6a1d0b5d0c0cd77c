#pragma once

#include "board/Board.h"
#include "tests/pages/MemoryPageHarness.h"
#include "tests/support/VBoardProcess.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace memorytest {

// The memory page activated with a board connected to a headless virtual board.
struct BoardPageTest : ::testing::Test {
    BoardPageTest() {
        std::string error;
        connected = board.Connect(error, 0);
        harness.page->Activate(board);
    }

    // SDRAM bytes read through the board's control socket, not through the panel.
    std::vector<uint8_t> BoardBytes(uint32_t address, uint32_t count) {
        std::vector<uint8_t> bytes;
        while (count > 0) {
            const uint32_t n = std::min<uint32_t>(count, 4096);
            char line[64];
            std::snprintf(line, sizeof line, "mem read %X %u", address, n);
            const std::string reply = vboard.Control(line);
            EXPECT_EQ(reply.rfind("ok ", 0), 0u) << reply;
            for (size_t i = 3; i + 1 < reply.size(); i += 2)
                bytes.push_back(static_cast<uint8_t>(std::stoul(reply.substr(i, 2), nullptr, 16)));
            address += n;
            count -= n;
        }
        return bytes;
    }

    // The page's transfers go to the board through a counter, which runs beforeChunk before each chunk.
    CountingAccess& CountTransfers(std::function<void(size_t)> beforeChunk) {
        boardAccess.Bind(&board);
        counter.target = &boardAccess;
        counter.beforeChunk = std::move(beforeChunk);
        harness.page->SetMemoryAccess(&counter);
        return counter;
    }

    testsupport::VBoardProcess vboard;
    PageHarness harness;
    TBoard board;
    bool connected = false;
    TBoardMemoryAccess boardAccess;
    CountingAccess counter;
};

} // namespace memorytest
