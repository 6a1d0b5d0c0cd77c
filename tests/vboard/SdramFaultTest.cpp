// Broken SDRAM lines: what the firmware's memory commands see of a board with a stuck data line or an
// ignored address line, and the control lines that switch them.
#include "board/Protocol.h"
#include "vboard/ControlProtocol.h"
#include "vboard/Sdram.h"

#include <gtest/gtest.h>
#include <numeric>
#include <vector>

using vboard::SdramLineFaults;

namespace {

struct SdramLinesTest : ::testing::Test {
    std::vector<uint8_t> ReadBack(uint32_t address, uint32_t count, const SdramLineFaults& lines) {
        std::vector<uint8_t> bytes(count, 0xEE);
        EXPECT_TRUE(sdram.Read(address, bytes.data(), count, lines));
        return bytes;
    }
    vboard::Sdram sdram;
};

TEST_F(SdramLinesTest, AStuckDataBitFixesThatBitOfEveryByteRead) {
    std::vector<uint8_t> pattern(256);
    std::iota(pattern.begin(), pattern.end(), 0);
    ASSERT_TRUE(sdram.Write(0x1000, pattern.data(), 256, SdramLineFaults{5, true, -1}));
    const auto high = ReadBack(0x1000, 256, {5, true, -1});
    const auto low = ReadBack(0x1000, 256, {5, false, -1});
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(high[i], i | 0x20) << i;
        EXPECT_EQ(low[i], i & ~0x20) << i;
    }
    // Healthy lines read back what was written: the cells themselves are sound.
    EXPECT_EQ(ReadBack(0x1000, 256, {}), pattern);
}

TEST_F(SdramLinesTest, AnIgnoredAddressBitFoldsBothHalvesOntoOneCell) {
    for (const int bit : {0, 3, 20, 25}) {
        sdram.Clear();
        const SdramLineFaults lines{-1, false, bit};
        const uint32_t step = 1u << bit;
        const uint8_t low = 0x11;
        const uint8_t high = 0x99;
        ASSERT_TRUE(sdram.Write(0, &low, 1, lines));
        ASSERT_TRUE(sdram.Write(step, &high, 1, lines));
        EXPECT_EQ(ReadBack(0, 1, lines)[0], high) << "bit " << bit;
        EXPECT_EQ(ReadBack(0, 1, {})[0], high) << "bit " << bit;
        EXPECT_EQ(ReadBack(step, 1, {})[0], 0) << "bit " << bit;
    }
}

TEST_F(SdramLinesTest, ARangeAcrossTheIgnoredBitIsSplitIntoItsRuns) {
    // With bit 2 ignored, bytes 0-3 and 4-7 are the same four cells: the later run wins.
    const SdramLineFaults lines{-1, false, 2};
    const std::vector<uint8_t> bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    ASSERT_TRUE(sdram.Write(0, bytes.data(), 10, lines));
    EXPECT_EQ(ReadBack(0, 10, lines), (std::vector<uint8_t>{5, 6, 7, 8, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(ReadBack(0, 12, {}), (std::vector<uint8_t>{5, 6, 7, 8, 0, 0, 0, 0, 9, 10, 0, 0}));
    uint8_t outside[2] = {};
    EXPECT_FALSE(sdram.Write(vboard::Sdram::SIZE, outside, 1, lines));
    EXPECT_FALSE(sdram.Read(vboard::Sdram::SIZE - 1, outside, 2, lines));
}

TEST(SdramFaultFirmwareTest, TheMemoryCommandsGoThroughTheBrokenLines) {
    vboard::Firmware firmware;
    firmware.faults.sdram = {1, true, 4};
    // 0x55 written at 0x10 reads back at 0 (address bit 4 ignored) as 0x57 (data bit 1 stuck high).
    const uint8_t write[] = {MEM_TYPE_SDRAM, 0x10, 0, 0, 0, 0x55};
    std::vector<uint8_t> out;
    firmware.Execute(CMD_MEMORY_WRITE, write, sizeof write, out);
    const uint8_t read[] = {MEM_TYPE_SDRAM, 0, 0, 0, 0, 1, 0, 0, 0};
    out.clear();
    firmware.Execute(CMD_MEMORY_READ, read, sizeof read, out);
    // AA 0D 02 00 status data sum 55
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(out[4], 0);
    EXPECT_EQ(out[5], 0x57);
}

struct SdramFaultLinesTest : ::testing::Test {
    vboard::VirtualBoard board{true};
    vboard::ControlProtocol protocol{board};
    std::string Run(const std::string& line) { return protocol.Execute(line); }
    std::string StateSdram() {
        const std::string state = Run("state");
        return state.substr(state.find(" sdram=") + 1);
    }
};

TEST_F(SdramFaultLinesTest, SetShownAndClearedByOffClearAndReset) {
    EXPECT_EQ(StateSdram(), "sdram=ok");
    EXPECT_EQ(Run("fault sdram stuck 5 1"), "ok fault sdram stuck 5 1");
    EXPECT_EQ(StateSdram(), "sdram=stuck:5:1");
    EXPECT_EQ(Run("fault sdram alias 0x14"), "ok fault sdram alias 20");
    EXPECT_EQ(StateSdram(), "sdram=stuck:5:1+alias:20");
    EXPECT_EQ(Run("fault sdram stuck 0 0"), "ok fault sdram stuck 0 0");
    EXPECT_EQ(board.Snapshot().sdramFaults, (SdramLineFaults{0, false, 20}));
    EXPECT_EQ(Run("fault sdram off"), "ok fault sdram off");
    EXPECT_EQ(StateSdram(), "sdram=ok");

    Run("fault sdram alias 25");
    Run("fault clear");
    EXPECT_EQ(StateSdram(), "sdram=ok");
    Run("fault sdram stuck 7 0");
    Run("reset");
    EXPECT_EQ(StateSdram(), "sdram=ok");
}

TEST_F(SdramFaultLinesTest, BadLinesAreRefusedAndChangeNothing) {
    Run("fault sdram alias 3");
    for (const char* bad : {"fault sdram", "fault sdram stuck 8 1", "fault sdram stuck 5 2", "fault sdram stuck 5",
                            "fault sdram alias 26", "fault sdram alias", "fault sdram alias -1", "fault sdram on",
                            "fault sdram off now", "fault sdram stuck x 1"})
        EXPECT_EQ(Run(bad).rfind("error: ", 0), 0u) << bad;
    EXPECT_EQ(board.Snapshot().sdramFaults, (SdramLineFaults{-1, false, 3}));
}

} // namespace
