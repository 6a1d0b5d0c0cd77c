// The virtual board's fault switches, as the panel's board object meets them.
#include "board/Board.h"
#include "tests/support/FakeClock.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <chrono>
#include <gtest/gtest.h>

using testsupport::VBoardProcess;

namespace {

struct BoardFaultsTest : ::testing::Test {
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(board.Connect(error, 0)) << error;
    }

    testsupport::NotifyRecorder notes;
    VBoardProcess server;
    TBoard board;
};

TEST_F(BoardFaultsTest, AnotherBoardNameIsReportedAsIs) {
    ASSERT_EQ(server.Control("fault name DE1-SoC"), "ok fault name DE1-SoC");
    std::string name;
    ASSERT_TRUE(board.QueryBoardName(name));
    EXPECT_EQ(name, "DE1-SoC");
    ASSERT_EQ(server.Control("fault name ABCDEFGHIJKLMNOPQRSTUVWXYZ012345"),
              "ok fault name ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    ASSERT_TRUE(board.QueryBoardName(name));
    EXPECT_EQ(name, "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345");
    ASSERT_EQ(server.Control("fault name off"), "ok fault name off");
    ASSERT_TRUE(board.QueryBoardName(name));
    EXPECT_EQ(name, "TZ8");
}

TEST_F(BoardFaultsTest, WrongEchoFailsWithoutBeepAndOnlyOnce) {
    ASSERT_EQ(server.Control("fault echo"), "ok fault echo");
    EXPECT_FALSE(board.Ping());
    EXPECT_EQ(notes.beeps, 0);
    EXPECT_TRUE(board.Ping());
}

TEST_F(BoardFaultsTest, WrongChecksumFailsWithBeepAndOnlyOnce) {
    ASSERT_EQ(server.Control("fault checksum"), "ok fault checksum");
    EXPECT_FALSE(board.SetLeds(1));
    EXPECT_EQ(notes.beeps, 1);
    EXPECT_TRUE(board.SetLeds(2));
    EXPECT_EQ(server.Field("leds"), "0x002");
}

TEST_F(BoardFaultsTest, FloodOfStaleBytesIsDrainedOverSeveralExchanges) {
    ASSERT_EQ(server.Control("fault flood 3000"), "ok fault flood 3000");
    std::string name;
    EXPECT_FALSE(board.QueryBoardName(name));
    // Each exchange's drain takes at most 1002 stale bytes, so a few tries get through.
    int tries = 1;
    while (!board.QueryBoardName(name) && tries < 8)
        ++tries;
    EXPECT_LT(tries, 8);
    EXPECT_GT(tries, 1);
    EXPECT_EQ(name, "TZ8");
}

TEST_F(BoardFaultsTest, DroppedLinkFailsTheNextExchange) {
    ASSERT_EQ(server.Control("fault drop"), "ok fault drop");
    EXPECT_EQ(server.Field("link"), "closed");
    EXPECT_FALSE(board.SetLeds(1));
    EXPECT_GE(notes.beeps, 1);
    // Connecting again gives a working link.
    std::string error;
    ASSERT_TRUE(board.Connect(error, 0));
    EXPECT_TRUE(board.SetLeds(1));
}

TEST_F(BoardFaultsTest, LateRepliesWithinTheLimitStillSucceed) {
    ASSERT_EQ(server.Control("fault delay 150"), "ok fault delay 150");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(board.Ping());
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    ASSERT_EQ(server.Control("fault delay 0"), "ok fault delay 0");
    EXPECT_TRUE(board.Ping());
}

TEST_F(BoardFaultsTest, SilentFirmwareTimesOutThenAnswersAgain) {
    ASSERT_EQ(server.Control("fault silent on"), "ok fault silent on");
    {
        // Every reading of the clock moves it on by 100 ms: the 3000 ms limit passes at once.
        testsupport::FakeClock clock(0, 100);
        EXPECT_FALSE(board.Ping());
    }
    ASSERT_EQ(server.Control("fault clear"), "ok fault clear");
    EXPECT_TRUE(board.Ping());
}

} // namespace
