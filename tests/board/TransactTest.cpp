#include "tests/support/LinkedBoard.h"

#include <gtest/gtest.h>

using testsupport::FakeJtagLink;

namespace {

using TransactTest = testsupport::LinkedBoard;

const std::vector<uint8_t> PING_OK = {0xAA, 0x01, 0x01, 0x00, 0x00, 0x02, 0x55};

TEST_F(TransactTest, EmptyPayloadRequestIsSixBytesWithTheCommandAsChecksum) {
    ASSERT_TRUE(connected);
    AnswerWith(PING_OK);
    EXPECT_TRUE(board.Ping());
    ASSERT_EQ(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0], (std::vector<uint8_t>{0xAA, 0x01, 0x00, 0x00, 0x01, 0x55}));
    EXPECT_EQ(notes.beeps, 0);
}

TEST_F(TransactTest, ChecksumWrapsModulo256InBothDirections) {
    AnswerWith({0xAA, 0x05, 0x01, 0x00, 0x00, 0x06, 0x55});
    EXPECT_TRUE(board.SetLeds(0xFFFFFFFF));
    EXPECT_EQ(link.writes[0], (std::vector<uint8_t>{0xAA, 0x05, 0x04, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x05, 0x55}));

    // 0x06 + 0x0D + 13 payload bytes summing past 255.
    AnswerWith({0xAA, 0x06, 0x0D, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0x0B, 0x55});
    uint32_t value = 0;
    EXPECT_TRUE(board.ReadKeysAndSwitches(value));
    EXPECT_EQ(value, 0x3FFFu);
}

TEST_F(TransactTest, VerifyFrameChecksMarkersAndSum) {
    EXPECT_TRUE(TBoard::VerifyFrame(PING_OK.data(), 7));
    auto bad = PING_OK;
    bad[5] = 0x03;
    EXPECT_FALSE(TBoard::VerifyFrame(bad.data(), 7));
    bad = PING_OK;
    bad[6] = 0x56;
    EXPECT_FALSE(TBoard::VerifyFrame(bad.data(), 7));
    bad = PING_OK;
    bad[0] = 0xAB;
    EXPECT_FALSE(TBoard::VerifyFrame(bad.data(), 7));
    const uint8_t bytes[] = {0x80, 0x90, 0x7F};
    EXPECT_EQ(TBoard::FrameChecksum(bytes, 3), 0x8F);
}

TEST_F(TransactTest, RefusedWriteBeepsAndReadsNothingMore) {
    link.acceptWrites = false;
    EXPECT_FALSE(board.Ping());
    EXPECT_EQ(notes.beeps, 1);
    EXPECT_EQ(link.readCounts, (std::vector<uint32_t>{1})); // the drain before the write, nothing after
}

TEST_F(TransactTest, IncompleteHeadDrainsWithoutBeeping) {
    AnswerWith({0xAA, 0x01});
    EXPECT_FALSE(board.Ping());
    EXPECT_EQ(notes.beeps, 0);
    ASSERT_GE(link.readCounts.size(), 3u);
    EXPECT_EQ(link.readCounts.back(), 1u); // the drain after the failed head
    EXPECT_EQ(link.readCounts[link.readCounts.size() - 2], 2u);
}

TEST_F(TransactTest, WrongEchoOrStartMarkerDrainsTheRestAtOnce) {
    AnswerWith({0xAA, 0x02, 0x01, 0x00, 0x00, 0x03, 0x55});
    EXPECT_FALSE(board.Ping());
    EXPECT_TRUE(link.input.empty());
    AnswerWith({0xAB, 0x01, 0x01, 0x00, 0x00, 0x02, 0x55});
    EXPECT_FALSE(board.Ping());
    EXPECT_TRUE(link.input.empty());
    EXPECT_EQ(notes.beeps, 0);
}

TEST_F(TransactTest, WrongLengthFailsWithoutDrainingAndTheNextExchangeRecovers) {
    link.onWrite = [this](const std::vector<uint8_t>&) {
        link.Queue({0xAA, 0x01, 0x02, 0x00, 0x00, 0x00, 0x03, 0x55});
        link.onWrite = [this](const std::vector<uint8_t>&) { link.Queue(PING_OK); };
    };
    EXPECT_FALSE(board.Ping());
    EXPECT_EQ(link.input.size(), 4u); // the rest of the odd reply is still waiting
    EXPECT_EQ(notes.beeps, 0);
    EXPECT_TRUE(board.Ping()); // its drain clears the leftovers
}

TEST_F(TransactTest, IncompleteRestBeepsWithoutDraining) {
    AnswerWith({0xAA, 0x01, 0x01, 0x00});
    EXPECT_FALSE(board.Ping());
    EXPECT_EQ(notes.beeps, 1);
    EXPECT_EQ(link.readCounts.back(), 3u); // still waiting for payload, checksum and end marker
}

TEST_F(TransactTest, BadChecksumOrEndMarkerBeepsWithoutDraining) {
    link.onWrite = [this](const std::vector<uint8_t>&) {
        link.Queue({0xAA, 0x01, 0x01, 0x00, 0x00, 0x09, 0x55, 0x77});
    };
    EXPECT_FALSE(board.Ping());
    EXPECT_EQ(notes.beeps, 1);
    EXPECT_EQ(link.input.size(), 1u);
    link.onWrite = [this](const std::vector<uint8_t>&) {
        link.Queue({0xAA, 0x01, 0x01, 0x00, 0x00, 0x02, 0x54, 0x77});
    };
    EXPECT_FALSE(board.Ping());
    EXPECT_EQ(notes.beeps, 2);
    EXPECT_EQ(link.input.size(), 1u);
}

TEST_F(TransactTest, ReplyPiecesArrivingOneByteAtATimeAreAssembled) {
    link.maxBytesPerRead = 1;
    AnswerWith(PING_OK);
    EXPECT_TRUE(board.Ping());
}

TEST_F(TransactTest, OneDrainDiscardsAtMost1002BytesOfAFlood) {
    link.Queue(std::vector<uint8_t>(1500, 0x00));
    std::size_t leftAtWrite = 0;
    link.onWrite = [&](const std::vector<uint8_t>&) {
        leftAtWrite = link.input.size();
        link.Queue(PING_OK);
    };
    EXPECT_FALSE(board.Ping()); // the head is stale bytes; the drain after it takes the rest
    EXPECT_EQ(leftAtWrite, 1500u - 1002u);
    EXPECT_TRUE(link.input.empty());
    EXPECT_TRUE(board.Ping());
}

TEST_F(TransactTest, LateRepliesWithinTheHeadLimitSucceed) {
    // The SD card command allows 10000 ms for the head; a reply after 9 s still counts.
    std::vector<uint8_t> payload(37, 0);
    payload[0] = 1; // no card
    link.onWrite = [&](const std::vector<uint8_t>&) {
        link.QueueAt(clock.Now() + 9000, FakeJtagLink::Frame(0x08, payload));
    };
    bool present = true;
    std::string csd, cid, fs;
    bool flag = false;
    EXPECT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_FALSE(present);

    // A 3000 ms head limit gives up once a port read ends past it.
    link.onWrite = [&](const std::vector<uint8_t>&) { link.QueueAt(clock.Now() + 7000, PING_OK); };
    EXPECT_FALSE(board.Ping());
    EXPECT_EQ(notes.beeps, 0);
}

TEST_F(TransactTest, WithoutAPortNothingIsTouched) {
    board.Disconnect();
    const int reads = link.readCalls;
    uint8_t reply[1];
    EXPECT_FALSE(board.Transact(0x01, reply, 3000, 0, nullptr, 1));
    board.DrainInput();
    EXPECT_EQ(link.readCalls, reads);
    EXPECT_TRUE(link.writes.empty());
}

TEST(TransactDeathTest, ProgrammingErrorsNameTheCondition) {
    TBoard board;
    uint8_t reply[1];
    EXPECT_DEATH(board.Transact(0x01, nullptr, 3000, 0, nullptr, 1), "pReturnBuffer, file Board");
    EXPECT_DEATH(board.Transact(0x0C, reply, 3000, PKT_PC2NIOS_MAX_PL_LEN + 1, nullptr, 1),
                 "dwPayloadLen <= PKT_PC2NIOS_MAX_PL_LEN");
}

} // namespace
