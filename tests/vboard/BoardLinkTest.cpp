// The panel's board object against a real board server, through our VELDARA_JTAG.DLL.
#include "board/Board.h"
#include "platform/Files.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <gtest/gtest.h>
#include <numeric>
#include <vector>

using testsupport::VBoardProcess;

namespace {

struct BoardLinkTest : ::testing::Test {
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(board.Connect(error, 0)) << error;
    }

    testsupport::NotifyRecorder notes;
    VBoardProcess server;
    TBoard board;
};

TEST_F(BoardLinkTest, ConnectsAndReadsTheBoardName) {
    EXPECT_TRUE(board.IsConnected());
    EXPECT_FALSE(board.LinkDescription().empty());
    std::string name;
    ASSERT_TRUE(board.QueryBoardName(name));
    EXPECT_EQ(name, "TZ8");
    EXPECT_TRUE(board.Ping());
    EXPECT_EQ(server.Field("link"), "open");
    board.Disconnect();
    EXPECT_EQ(server.Field("link"), "closed");
}

TEST_F(BoardLinkTest, LedsAndDigitsReachTheBoard) {
    ASSERT_TRUE(board.SetLeds(0x201));
    EXPECT_EQ(server.Field("leds"), "0x201");
    ASSERT_TRUE(board.SetLeds(0xFFFFFFFF));
    EXPECT_EQ(server.Number("leds"), 0x3FFu);
    ASSERT_TRUE(board.SetSevenSegment(0x888889, 0));
    EXPECT_EQ(server.Field("hex"), "0x888889");
}

TEST_F(BoardLinkTest, KeysAndSwitchesSetThroughControlAreRead) {
    uint32_t value = 0xFFFF;
    ASSERT_TRUE(board.ReadKeysAndSwitches(value));
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(server.Control("key 0 down"), "ok key 0 down");
    EXPECT_EQ(server.Control("switch 0 on"), "ok switch 0 on");
    ASSERT_TRUE(board.ReadKeysAndSwitches(value));
    EXPECT_EQ(value, 0x0011u);
    for (int i = 0; i < 10; ++i)
        server.Control("switch " + std::to_string(i) + " on");
    server.Control("key 0 up");
    ASSERT_TRUE(board.ReadKeysAndSwitches(value));
    EXPECT_EQ(value, 0x3FF0u);
    EXPECT_EQ(server.Field("keys"), "0x0");
    EXPECT_EQ(server.Field("switches"), "0x3FF");
}

TEST_F(BoardLinkTest, SdCardProfilesAreDecodedEndToEnd) {
    bool present = false;
    std::string csd, cid, fs;
    bool flag = false;

    ASSERT_EQ(server.Control("sd sdsc"), "ok sd sdsc");
    ASSERT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_TRUE(present);
    EXPECT_EQ(csd, "-CSD Version 1.0\n-Read Access Time:1 ms\n-Read Access Time (NSAC):0 (x100 cycle) \n"
                   "-Max. Data Transfer Rate:25 Mbits/s\n-Max. Read Data Block Length:1024 Byte\n"
                   "-Memory Capacity:2048MB\n");
    EXPECT_EQ(cid, "-Manufacturer ID:03h\n-OEM/Application ID:4453h\n-Product Name:SU02G\n-Product Revision:80h\n"
                   "-Serial No.:1A2B3C4Dh\n-Date Code:0A6h\n");
    EXPECT_EQ(fs, "FAT16");
    EXPECT_FALSE(flag);

    ASSERT_EQ(server.Control("sd sdhc"), "ok sd sdhc");
    ASSERT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_NE(csd.find("-CSD Version 2.0\n"), std::string::npos);
    EXPECT_NE(csd.find("-Read Access Time:1000 us\n"), std::string::npos);
    EXPECT_NE(csd.find("-Memory Capacity:8192MB\n"), std::string::npos);
    EXPECT_EQ(fs, "FAT32");
    EXPECT_TRUE(flag);

    ASSERT_EQ(server.Control("sd unformatted"), "ok sd unformatted");
    ASSERT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_TRUE(present);
    EXPECT_EQ(fs, "NA");

    ASSERT_EQ(server.Control("sd custom 400E00325B5900001DFF7F800A400001 1D4144534420202010A0000001014B01 7"),
              "ok sd custom");
    ASSERT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_NE(csd.find("-Memory Capacity:3840MB\n"), std::string::npos);
    EXPECT_NE(cid.find("-Manufacturer ID:1Dh\n-OEM/Application ID:4441h\n-Product Name:SD   \n"), std::string::npos);
    EXPECT_EQ(fs, "NA");

    ASSERT_EQ(server.Control("sd none"), "ok sd none");
    present = true;
    fs = "unchanged";
    ASSERT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_FALSE(present);
    EXPECT_EQ(fs, "unchanged");
}

TEST_F(BoardLinkTest, VgaPatternAndProbe) {
    bool accepted = false;
    EXPECT_EQ(server.Field("vga"), "-");
    ASSERT_TRUE(board.SendControl(accepted, 5, 1, 0));
    EXPECT_TRUE(accepted);
    ASSERT_TRUE(board.SendControl(accepted, 4, 2, 3));
    EXPECT_TRUE(accepted);
    EXPECT_EQ(server.Field("vga"), "3");
    // A pattern the firmware does not have, and a control it does not know, are refused by status.
    ASSERT_TRUE(board.SendControl(accepted, 4, 2, 9));
    EXPECT_FALSE(accepted);
    ASSERT_TRUE(board.SendControl(accepted, 7, 7, 7));
    EXPECT_FALSE(accepted);
    EXPECT_EQ(server.Field("vga"), "3");
    ASSERT_EQ(server.Control("fault vgaprobe on"), "ok fault vgaprobe on");
    ASSERT_TRUE(board.SendControl(accepted, 5, 1, 0));
    EXPECT_FALSE(accepted);
}

TEST_F(BoardLinkTest, OneMebibyteWrittenAndReadBackByteExact) {
    std::vector<uint8_t> data(1 << 20);
    uint32_t state = 12345;
    for (auto& byte : data) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<uint8_t>(state >> 16);
    }
    const uint32_t address = 0x123457;
    ASSERT_TRUE(board.MemoryWrite(MEM_TYPE_SDRAM, address, data.data(), static_cast<uint32_t>(data.size())));
    std::vector<uint8_t> back(data.size(), 0xEE);
    ASSERT_TRUE(board.MemoryRead(MEM_TYPE_SDRAM, address, back.data(), static_cast<uint32_t>(back.size())));
    EXPECT_TRUE(back == data);
    // The control socket sees the same memory, either side of the written range.
    EXPECT_EQ(
        server.Control("mem read 123456 3"), "ok 00" + [&] {
            char text[5];
            std::snprintf(text, sizeof text, "%02X%02X", data[0], data[1]);
            return std::string(text);
        }());
}

TEST_F(BoardLinkTest, MemoryOutsideTheSdramIsRefused) {
    const uint8_t bytes[4] = {1, 2, 3, 4};
    EXPECT_TRUE(board.MemoryWrite(MEM_TYPE_SDRAM, SDRAM_SIZE - 4, bytes, 4));
    EXPECT_FALSE(board.MemoryWrite(MEM_TYPE_SDRAM, SDRAM_SIZE - 3, bytes, 4));
    EXPECT_FALSE(board.MemoryWrite(MEM_TYPE_SDRAM, 0xFFFFFFFE, bytes, 4));
    EXPECT_FALSE(board.MemoryWrite(MEM_TYPE_EPCS, 0, bytes, 4));
    uint8_t back[4] = {};
    EXPECT_FALSE(board.MemoryRead(MEM_TYPE_SDRAM, SDRAM_SIZE, back, 1));
    ASSERT_TRUE(board.MemoryRead(MEM_TYPE_SDRAM, SDRAM_SIZE - 4, back, 4));
    EXPECT_EQ(std::vector<uint8_t>(back, back + 4), std::vector<uint8_t>(bytes, bytes + 4));
    // A refused request leaves the link in step: the next exchange works.
    EXPECT_TRUE(board.Ping());
}

} // namespace

TEST(BoardLinkWithoutServerTest, ConnectFailsLikeAnUnpluggedCable) {
    testsupport::TempFolder empty;
    testsupport::ScopedEnv env("QX7MB_VBOARD", empty.Path().c_str());
    testsupport::NotifyRecorder notes;
    TBoard board;
    std::string error;
    EXPECT_FALSE(board.Connect(error, 0));
    EXPECT_EQ(error, "Fail to connect FPGA borad.");
    EXPECT_FALSE(board.IsConnected());
    EXPECT_TRUE(notes.messages.empty());
}

TEST(VBoardProcessTest, FindsTheServerWhileTheProgramFolderPointsElsewhere) {
    testsupport::TempFolder elsewhere;
    platform::SetProgramFolder(elsewhere.Path() + "/");
    {
        VBoardProcess server;
        EXPECT_EQ(server.Field("configured"), "1");
    }
    platform::SetProgramFolder("");
}
