// Several boards, one link per board: the device number selects board N's folder, and a board grants
// one JTAG link at a time.
#include "board/Board.h"
#include "board/JtagApi.h"
#include "config/Download.h"
#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"
#include "vboard/BoardFolder.h"

#include <gtest/gtest.h>
#include <unistd.h>

using testsupport::ScopedEnv;
using testsupport::VBoardProcess;

namespace {

TEST(BoardFolderTest, BoardNAppendsItsNumberToBoardZerosFolder) {
    {
        ScopedEnv folder("QX7MB_VBOARD", "/tmp/boards/lab");
        EXPECT_EQ(vboard::DefaultBoardFolder(), "/tmp/boards/lab");
        EXPECT_EQ(vboard::DefaultBoardFolder(0), "/tmp/boards/lab");
        EXPECT_EQ(vboard::DefaultBoardFolder(3), "/tmp/boards/lab-3");
    }
    ScopedEnv folder("QX7MB_VBOARD", nullptr);
    {
        ScopedEnv runtime("XDG_RUNTIME_DIR", "/run/user/1000");
        EXPECT_EQ(vboard::DefaultBoardFolder(12), "/run/user/1000/qx7mb-vboard-12");
    }
    ScopedEnv runtime("XDG_RUNTIME_DIR", "");
    EXPECT_EQ(vboard::DefaultBoardFolder(1), "/tmp/qx7mb-vboard-" + std::to_string(getuid()) + "-1");
}

TEST(BoardSelectionTest, EachDeviceNumberReachesItsOwnBoard) {
    VBoardProcess board0;
    VBoardProcess board1(1, {"--configured"});
    EXPECT_EQ(board1.Folder(), board0.Folder() + "-1");

    TBoard first;
    TBoard second;
    std::string error;
    ASSERT_TRUE(first.Connect(error, 0));
    // One link per board, not one for all boards.
    ASSERT_TRUE(second.Connect(error, 1));
    ASSERT_TRUE(second.SetLeds(0x003));
    ASSERT_TRUE(first.SetLeds(0x300));
    EXPECT_EQ(board1.Field("leds"), "0x003");
    EXPECT_EQ(board0.Field("leds"), "0x300");
    EXPECT_EQ(board1.Field("link"), "open");
}

TEST(BoardSelectionTest, TheDownloadLibraryConfiguresTheBoardOfTheFourthArgument) {
    VBoardProcess board0(std::vector<std::string>{});
    VBoardProcess board1(1, {});
    TDownload download;
    ASSERT_TRUE(download.IsLoaded());
    ASSERT_TRUE(download.JtagDownload(platform::ProgramFolder() + CONTROL_PANEL_BITSTREAM, 20000, 1, 1, 0, 0, 0));
    EXPECT_EQ(board1.Field("configured"), "1");
    EXPECT_EQ(board0.Field("configured"), "0");
    EXPECT_FALSE(download.JtagDownload(platform::ProgramFolder() + CONTROL_PANEL_BITSTREAM, 20000, 1, -1, 0, 0, 0));
}

TEST(OneLinkTest, ASecondLinkIsRefusedAndSaysTheBoardIsInUse) {
    VBoardProcess server;
    TBoard holder;
    std::string error;
    ASSERT_TRUE(holder.Connect(error, 0));

    TBoard intruder;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(intruder.Connect(error, 0));
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("board 0 is in use"), std::string::npos) << said;
    EXPECT_EQ(error, "Fail to connect FPGA borad.");

    // The holder's link is undisturbed, and once it is closed the board is free again.
    EXPECT_TRUE(holder.Ping());
    holder.Disconnect();
    ASSERT_TRUE(intruder.Connect(error, 0));
    EXPECT_TRUE(intruder.Ping());
}

TEST(OneLinkTest, ACloseFollowedAtOnceByAnOpenIsNeverInUse) {
    VBoardProcess server;
    TBoard board;
    std::string error;
    // The panel's reopen after configuring, many times over: each open comes right after a close.
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(board.Connect(error, 0)) << "round " << i;
        board.Disconnect();
    }
    ASSERT_TRUE(board.Connect(error, 0));
    EXPECT_TRUE(board.Ping());
}

TEST(OneLinkTest, WhatALinkSentBeforeItClosedStillReachesTheFirmware) {
    VBoardProcess server;
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.Load(platform::ProgramFolder() + JTAG_LIBRARY_NAME));
    const auto open = reinterpret_cast<VELDARA_JtagOpen_t>(library.Symbol("VELDARA_JtagOpen"));
    const auto close = reinterpret_cast<VELDARA_JtagClose_t>(library.Symbol("VELDARA_JtagClose"));
    const auto write = reinterpret_cast<VELDARA_JtagWrite_t>(library.Symbol("VELDARA_JtagWrite"));
    const uint32_t handle = open(0, "");
    ASSERT_NE(handle, 0u);
    // SetLeds 0x155, and the link closed before any reply is read.
    const uint8_t leds[] = {0xAA, 0x05, 0x04, 0x00, 0x55, 0x01, 0x00, 0x00, 0x5F, 0x55};
    ASSERT_NE(write(handle, leds, sizeof leds), 0);
    close(handle);
    const uint32_t again = open(0, "");
    EXPECT_NE(again, 0u);
    EXPECT_EQ(server.Field("leds"), "0x155");
    close(again);
}

} // namespace
