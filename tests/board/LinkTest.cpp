#include "tests/support/LinkedBoard.h"

#include <cstring>
#include <gtest/gtest.h>

using testsupport::FakeJtagLink;

namespace {

using LinkTest = testsupport::LinkedBoard;

const std::vector<uint8_t> PING_OK = {0xAA, 0x01, 0x01, 0x00, 0x00, 0x02, 0x55};

TEST_F(LinkTest, FailedOpenReportsTheErrorAndLeavesNoPort) {
    board.Disconnect();
    link.openResult = 0;
    std::string error = "untouched";
    EXPECT_FALSE(board.Connect(error, 0));
    EXPECT_EQ(error, "Fail to connect FPGA borad.");
    EXPECT_FALSE(board.IsConnected());
    EXPECT_FALSE(board.Ping());
}

TEST_F(LinkTest, ConnectKeepsTheErrorTextAndReadsTheLinkDescription) {
    board.Disconnect();
    link.info.assign(JTAG_INFO_SIZE, 0);
    std::memcpy(&link.info[JTAG_INFO_TEXT_OFFSET], "USB-Blaster [1-1]", 17);
    std::string error = "earlier";
    EXPECT_TRUE(board.Connect(error, 0));
    EXPECT_EQ(error, "earlier");
    EXPECT_EQ(board.LinkDescription(), "USB-Blaster [1-1]");
    board.Disconnect();
    EXPECT_EQ(board.LinkDescription(), "");
    EXPECT_FALSE(board.IsConnected());
}

TEST_F(LinkTest, UnterminatedDescriptionStopsAtTheEndOfTheRecord) {
    board.Disconnect();
    link.info.assign(JTAG_INFO_SIZE, 'x');
    std::string error;
    EXPECT_TRUE(board.Connect(error, 0));
    EXPECT_EQ(board.LinkDescription(), std::string(JTAG_INFO_SIZE - JTAG_INFO_TEXT_OFFSET, 'x'));
}

TEST_F(LinkTest, FailedGetInfoLeavesTheDescriptionEmpty) {
    board.Disconnect();
    link.info.assign(JTAG_INFO_SIZE, 'y');
    link.infoResult = 0;
    std::string error;
    EXPECT_TRUE(board.Connect(error, 0));
    EXPECT_EQ(board.LinkDescription(), "");
}

TEST_F(LinkTest, ConnectWhileConnectedClosesTheOldLinkFirst) {
    ASSERT_TRUE(board.IsConnected());
    std::string error;
    EXPECT_TRUE(board.Connect(error, 0));
    EXPECT_EQ(link.closeCalls, 1);
    EXPECT_EQ(link.openCalls, 2);
}

TEST_F(LinkTest, DestructionClosesTheLink) {
    {
        TBoard other{FakeJtagLink::Api()};
        std::string error;
        ASSERT_TRUE(other.Connect(error, 0));
    }
    EXPECT_EQ(link.closeCalls, 1);
}

TEST_F(LinkTest, KeepAliveSoonAfterConnectSendsOnePing) {
    AnswerWith(PING_OK);
    clock.Advance(119000);
    EXPECT_TRUE(board.KeepAlive());
    EXPECT_EQ(link.writes.size(), 1u);
}

TEST_F(LinkTest, KeepAliveAfterTwoIdleMinutesSendsFivePings) {
    AnswerWith(PING_OK);
    clock.Advance(120001);
    EXPECT_TRUE(board.KeepAlive());
    EXPECT_EQ(link.writes.size(), 5u);
    // The activity time was renewed: the next one is a single ping again.
    EXPECT_TRUE(board.KeepAlive());
    EXPECT_EQ(link.writes.size(), 6u);
}

TEST_F(LinkTest, KeepAliveAfterIdleStopsAtTheFirstFailedPing) {
    int answered = 0;
    link.onWrite = [&](const std::vector<uint8_t>&) {
        if (++answered <= 2)
            link.Queue(PING_OK);
        else
            link.Queue({0xAA, 0x01, 0x01, 0x00, 0x07, 0x09, 0x55}); // status 7
    };
    clock.Advance(200000);
    EXPECT_FALSE(board.KeepAlive());
    EXPECT_EQ(link.writes.size(), 3u);
}

TEST_F(LinkTest, KeepAliveMeasuresIdleTimeAcrossTheTickWrap) {
    board.Disconnect();
    clock.Set(0xFFFFFF00u);
    std::string error;
    ASSERT_TRUE(board.Connect(error, 0));
    AnswerWith(PING_OK);
    clock.Set(0x100u); // 512 ms later, past the wrap
    EXPECT_TRUE(board.KeepAlive());
    EXPECT_EQ(link.writes.size(), 1u);
}

} // namespace
