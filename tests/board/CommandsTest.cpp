#include "tests/support/LinkedBoard.h"

#include <cstring>
#include <gtest/gtest.h>

using testsupport::FakeJtagLink;

namespace {

// A firmware stand-in for the memory commands: it records every chunk and answers status 0,
// with the read data taken from the address so that copies can be checked.
struct CommandsTest : testsupport::LinkedBoard {
    void AnswerMemory() {
        link.onWrite = [this](const std::vector<uint8_t>& frame) {
            const uint8_t command = frame[1];
            const uint32_t address = frame[5] | frame[6] << 8 | frame[7] << 16 | static_cast<uint32_t>(frame[8]) << 24;
            chunks.push_back({address, static_cast<uint32_t>(frame.size())});
            if (command == 0x0C) {
                link.Queue(FakeJtagLink::Frame(0x0C, {0}));
                return;
            }
            const uint32_t n = frame[9] | frame[10] << 8 | frame[11] << 16 | static_cast<uint32_t>(frame[12]) << 24;
            std::vector<uint8_t> payload{0};
            for (uint32_t i = 0; i < n; ++i)
                payload.push_back(static_cast<uint8_t>(address + i));
            link.Queue(FakeJtagLink::Frame(0x0D, payload));
        };
    }
    struct Chunk {
        uint32_t address;
        uint32_t frameLength;
    };
    std::vector<Chunk> chunks;
};

std::vector<uint8_t> NameReply(const std::string& name, std::size_t fill = 0) {
    std::vector<uint8_t> payload(33, 0);
    std::memcpy(&payload[1], name.data(), name.size());
    for (std::size_t i = name.size(); i < fill; ++i)
        payload[1 + i] = 'A';
    return FakeJtagLink::Frame(0x00, payload);
}

TEST_F(CommandsTest, BoardNameIsTheTextUpToItsFirstZero) {
    AnswerWith(NameReply("TZ8"));
    std::string name = "old";
    EXPECT_TRUE(board.QueryBoardName(name));
    EXPECT_EQ(name, "TZ8");
    EXPECT_EQ(link.writes[0], (std::vector<uint8_t>{0xAA, 0x00, 0x00, 0x00, 0x00, 0x55}));
}

TEST_F(CommandsTest, EmptyNameSucceedsAndLeavesTheOutputAlone) {
    AnswerWith(NameReply(""));
    std::string name = "kept";
    EXPECT_TRUE(board.QueryBoardName(name));
    EXPECT_EQ(name, "kept");
}

TEST_F(CommandsTest, NameWithoutAZeroTakesAll32Bytes) {
    AnswerWith(NameReply("", 32));
    std::string name;
    EXPECT_TRUE(board.QueryBoardName(name));
    EXPECT_EQ(name, std::string(32, 'A'));
}

TEST_F(CommandsTest, NonzeroStatusFailsTheNameQuery) {
    std::vector<uint8_t> payload(33, 0);
    payload[0] = 1;
    payload[1] = 'T';
    AnswerWith(FakeJtagLink::Frame(0x00, payload));
    std::string name = "kept";
    EXPECT_FALSE(board.QueryBoardName(name));
    EXPECT_EQ(name, "kept");
}

TEST_F(CommandsTest, KeysAndSwitchesAreMaskedAndPacked) {
    AnswerWith(FakeJtagLink::Frame(0x06, {0, 0xF5, 0xFF, 0, 0, 0x01, 0xFC, 0xFF, 0, 9, 9, 9, 9}));
    uint32_t value = 0;
    EXPECT_TRUE(board.ReadKeysAndSwitches(value));
    EXPECT_EQ(value, (0x001u << 4) | 0x5u); // key bits above 3 and switch bits above 9 ignored
    AnswerWith(FakeJtagLink::Frame(0x06, {0, 0x01, 0, 0, 0, 0x01, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(board.ReadKeysAndSwitches(value));
    EXPECT_EQ(value, 0x0011u);
    AnswerWith(FakeJtagLink::Frame(0x06, {0, 0, 0, 0, 0, 0xFF, 0x03, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(board.ReadKeysAndSwitches(value));
    EXPECT_EQ(value, 0x3FF0u);
    AnswerWith(FakeJtagLink::Frame(0x06, {2, 0xF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(board.ReadKeysAndSwitches(value));
    EXPECT_EQ(value, 0x3FF0u);
}

TEST_F(CommandsTest, LedsDigitsAndControlCarryTheirPayloads) {
    AnswerWith(FakeJtagLink::Frame(0x05, {0}));
    EXPECT_TRUE(board.SetLeds(0x201));
    EXPECT_EQ(link.writes.back(), (std::vector<uint8_t>{0xAA, 0x05, 0x04, 0x00, 0x01, 0x02, 0x00, 0x00, 0x0C, 0x55}));
    AnswerWith(FakeJtagLink::Frame(0x07, {0}));
    EXPECT_TRUE(board.SetSevenSegment(0x888889, 0));
    EXPECT_EQ(link.writes.back(),
              (std::vector<uint8_t>{0xAA, 0x07, 0x05, 0x00, 0x89, 0x88, 0x88, 0x00, 0x00, 0xA5, 0x55}));
    AnswerWith(FakeJtagLink::Frame(0x15, {3}));
    bool accepted = true;
    EXPECT_TRUE(board.SendControl(accepted, 4, 2, 3));
    EXPECT_FALSE(accepted);
    EXPECT_EQ(link.writes.back(), (std::vector<uint8_t>{0xAA, 0x15, 0x03, 0x00, 0x04, 0x02, 0x03, 0x21, 0x55}));
    AnswerWith(FakeJtagLink::Frame(0x15, {0}));
    EXPECT_TRUE(board.SendControl(accepted, 5, 1, 0));
    EXPECT_TRUE(accepted);
    AnswerWith(FakeJtagLink::Frame(0x05, {1}));
    EXPECT_FALSE(board.SetLeds(0));
}

TEST_F(CommandsTest, FailedControlExchangeReportsNotAccepted) {
    link.acceptWrites = false;
    bool accepted = true;
    EXPECT_FALSE(board.SendControl(accepted, 5, 1, 0));
    EXPECT_FALSE(accepted);
}

TEST_F(CommandsTest, SdCardReplyIsDecodedOrLeftAlone) {
    std::vector<uint8_t> payload(37, 0);
    payload[1] = 0x40;  // CSD version 2.0
    payload[18] = 0x03; // manufacturer
    payload[35] = 2;
    payload[36] = 1;
    AnswerWith(FakeJtagLink::Frame(0x08, payload));
    bool present = false, flag = false;
    std::string csd, cid, fs;
    EXPECT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_TRUE(present);
    EXPECT_TRUE(flag);
    EXPECT_EQ(fs, "FAT32");
    EXPECT_EQ(csd.rfind("-CSD Version 2.0\n", 0), 0u);
    EXPECT_EQ(cid.rfind("-Manufacturer ID:03h\n", 0), 0u);

    payload[35] = 1;
    AnswerWith(FakeJtagLink::Frame(0x08, payload));
    EXPECT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_EQ(fs, "FAT16");
    payload[35] = 0;
    AnswerWith(FakeJtagLink::Frame(0x08, payload));
    EXPECT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_EQ(fs, "NA");

    // No card: only the presence changes, whatever the rest of the reply holds.
    payload[0] = 1;
    payload[1] = 0x00;  // CSD version 1.0
    payload[18] = 0x1B; // another manufacturer
    payload[35] = 1;
    payload[36] = 0;
    AnswerWith(FakeJtagLink::Frame(0x08, payload));
    const std::string csdBefore = csd;
    const std::string cidBefore = cid;
    EXPECT_TRUE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_FALSE(present);
    EXPECT_EQ(fs, "NA");
    EXPECT_EQ(csd, csdBefore);
    EXPECT_EQ(cid, cidBefore);
    EXPECT_TRUE(flag);

    link.acceptWrites = false; // a failed exchange touches nothing
    present = true;
    EXPECT_FALSE(board.ReadSdCardInfo(present, csd, cid, fs, flag));
    EXPECT_TRUE(present);
}

TEST_F(CommandsTest, WriteOf32743BytesIsOneFullFrame) {
    AnswerMemory();
    std::vector<uint8_t> data(32743, 0x5A);
    EXPECT_TRUE(board.MemoryWrite(MEM_TYPE_SDRAM, 0x100, data.data(), 32743));
    ASSERT_EQ(chunks.size(), 1u);
    EXPECT_EQ(chunks[0].frameLength, 32748u + 6u);
    EXPECT_EQ(link.writes[0][4], MEM_TYPE_SDRAM);
}

TEST_F(CommandsTest, WriteOf32744BytesTakesTwoChunksWithAdvancingAddress) {
    AnswerMemory();
    std::vector<uint8_t> data(32744);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 7);
    EXPECT_TRUE(board.MemoryWrite(MEM_TYPE_SDRAM, 0xFFFFFFF0u, data.data(), 32744));
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].address, 0xFFFFFFF0u);
    EXPECT_EQ(chunks[1].address, 0xFFFFFFF0u + 32743u); // wraps as a 32-bit number
    EXPECT_EQ(chunks[1].frameLength, 5u + 1u + 6u);
    EXPECT_EQ(link.writes[1][9], data[32743]);
}

TEST_F(CommandsTest, ReadOf32748BytesTakesTwoChunks) {
    AnswerMemory();
    std::vector<uint8_t> data(32748, 0xEE);
    EXPECT_TRUE(board.MemoryRead(MEM_TYPE_SDRAM, 0x1000, data.data(), 32748));
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[1].address, 0x1000u + 32747u);
    EXPECT_EQ(link.writes[0][9] | link.writes[0][10] << 8, 32747);
    EXPECT_EQ(link.writes[1][9], 1);
    EXPECT_EQ(data[0], 0x00);
    EXPECT_EQ(data[32746], static_cast<uint8_t>(0x1000 + 32746));
    EXPECT_EQ(data[32747], static_cast<uint8_t>(0x1000 + 32747));
}

TEST_F(CommandsTest, ZeroCountSendsNothing) {
    AnswerMemory();
    uint8_t byte = 0;
    EXPECT_TRUE(board.MemoryWrite(MEM_TYPE_SDRAM, 0, &byte, 0));
    EXPECT_TRUE(board.MemoryRead(MEM_TYPE_SDRAM, 0, &byte, 0));
    EXPECT_TRUE(link.writes.empty());
}

TEST_F(CommandsTest, FailedChunkEndsTheTransferAndKeepsEarlierChunks) {
    int answered = 0;
    link.onWrite = [&](const std::vector<uint8_t>&) {
        link.Queue(FakeJtagLink::Frame(0x0C, {static_cast<uint8_t>(++answered == 2 ? 1 : 0)}));
    };
    std::vector<uint8_t> data(32743 * 3);
    EXPECT_FALSE(board.MemoryWrite(MEM_TYPE_SDRAM, 0, data.data(), static_cast<uint32_t>(data.size())));
    EXPECT_EQ(link.writes.size(), 2u);
}

TEST_F(CommandsTest, AReadAnsweredWithANonzeroStatusCopiesNothing) {
    // The firmware refuses, though its reply carries as many bytes as were asked for.
    link.onWrite = [this](const std::vector<uint8_t>&) {
        link.Queue(FakeJtagLink::Frame(0x0D, {1, 0x11, 0x22, 0x33, 0x44}));
    };
    std::vector<uint8_t> data(4, 0xEE);
    EXPECT_FALSE(board.MemoryRead(MEM_TYPE_SDRAM, 0x20, data.data(), 4));
    EXPECT_EQ(data, std::vector<uint8_t>(4, 0xEE));
    EXPECT_EQ(link.writes.size(), 1u);
}

TEST_F(CommandsTest, AFailedLaterReadChunkKeepsTheChunksBeforeItAndTouchesNothingAfter) {
    AnswerMemory();
    const auto answerMemory = link.onWrite;
    link.onWrite = [&](const std::vector<uint8_t>& frame) {
        if (chunks.size() < 1) {
            answerMemory(frame);
            return;
        }
        chunks.push_back({0, static_cast<uint32_t>(frame.size())});
        std::vector<uint8_t> refused(1 + 32747, 0x77);
        refused[0] = 2;
        link.Queue(FakeJtagLink::Frame(0x0D, refused));
    };
    std::vector<uint8_t> data(32747 * 3, 0xEE);
    EXPECT_FALSE(board.MemoryRead(MEM_TYPE_SDRAM, 0x1000, data.data(), static_cast<uint32_t>(data.size())));
    EXPECT_EQ(chunks.size(), 2u) << "no chunk after the failed one";
    EXPECT_EQ(data[0], 0x00);
    EXPECT_EQ(data[32746], static_cast<uint8_t>(0x1000 + 32746));
    EXPECT_EQ(std::vector<uint8_t>(data.begin() + 32747, data.end()), std::vector<uint8_t>(32747 * 2, 0xEE));
}

TEST_F(CommandsTest, MemoryNamesAndLayout) {
    EXPECT_EQ(TBoard::MemoryTypeName(MEM_TYPE_EPCS), "EPCS");
    EXPECT_EQ(TBoard::MemoryTypeName(MEM_TYPE_SDRAM), "SDRAM");
    EXPECT_EQ(TBoard::MemoryTypeName(4), "");
    MemoryLayout layout;
    TBoard::InitMemoryLayout(layout);
    EXPECT_EQ(layout.sdramSize, 0x4000000u);
}

} // namespace
