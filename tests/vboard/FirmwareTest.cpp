// The firmware model, request and reply bytes written out by hand.
#include "vboard/Firmware.h"

#include <gtest/gtest.h>
#include <vector>

using vboard::Firmware;
using Bytes = std::vector<uint8_t>;

namespace {

struct FirmwareTest : ::testing::Test {
    Bytes Send(const Bytes& request) {
        Bytes out;
        firmware.Receive(parser, request.data(), request.size(), out);
        return out;
    }

    // A request frame with the checksum worked out here.
    static Bytes Frame(uint8_t command, const Bytes& payload) {
        Bytes frame = {0xAA, command, static_cast<uint8_t>(payload.size()), static_cast<uint8_t>(payload.size() >> 8)};
        for (const uint8_t byte : payload)
            frame.push_back(byte);
        uint8_t sum = 0;
        for (std::size_t i = 1; i < frame.size(); ++i)
            sum = static_cast<uint8_t>(sum + frame[i]);
        frame.push_back(sum);
        frame.push_back(0x55);
        return frame;
    }

    vboard::FrameParser parser;
    Firmware firmware;
};

TEST_F(FirmwareTest, PingAnswersStatusZero) {
    EXPECT_EQ(Send({0xAA, 0x01, 0x00, 0x00, 0x01, 0x55}), (Bytes{0xAA, 0x01, 0x01, 0x00, 0x00, 0x02, 0x55}));
}

TEST_F(FirmwareTest, BoardNameIsTZ8InA33BytePayload) {
    Bytes expected = {0xAA, 0x00, 0x21, 0x00, 0x00, 'T', 'Z', '8'};
    expected.resize(4 + 33, 0x00);
    expected.push_back(static_cast<uint8_t>(0x21 + 'T' + 'Z' + '8'));
    expected.push_back(0x55);
    EXPECT_EQ(Send({0xAA, 0x00, 0x00, 0x00, 0x00, 0x55}), expected);
}

TEST_F(FirmwareTest, LedsAndDigitsAreKeptToTheBoardsWidth) {
    EXPECT_EQ(Send({0xAA, 0x05, 0x04, 0x00, 0x01, 0x06, 0x00, 0x80, 0x90, 0x55}),
              (Bytes{0xAA, 0x05, 0x01, 0x00, 0x00, 0x06, 0x55}));
    EXPECT_EQ(firmware.leds, 0x201u);
    EXPECT_EQ(Send({0xAA, 0x07, 0x05, 0x00, 0x89, 0x88, 0x88, 0xFF, 0x00, 0xA4, 0x55}),
              (Bytes{0xAA, 0x07, 0x01, 0x00, 0x00, 0x08, 0x55}));
    EXPECT_EQ(firmware.digits, 0x888889u);
}

TEST_F(FirmwareTest, WrongRequestLengthIsAnsweredWithNonzeroStatus) {
    const Bytes reply = Send({0xAA, 0x05, 0x02, 0x00, 0x01, 0x02, 0x0A, 0x55});
    ASSERT_EQ(reply.size(), 7u);
    EXPECT_NE(reply[4], 0x00);
    EXPECT_EQ(firmware.leds, 0u);
}

TEST_F(FirmwareTest, KeysAndSwitchesIn13Bytes) {
    firmware.keys = 0x9;
    firmware.switches = 0x201;
    EXPECT_EQ(Send({0xAA, 0x06, 0x00, 0x00, 0x06, 0x55}),
              (Bytes{0xAA, 0x06, 0x0D, 0x00, 0x00, 0x09, 0, 0, 0, 0x01, 0x02, 0, 0, 0, 0, 0, 0, 0x1F, 0x55}));
}

TEST_F(FirmwareTest, SdCardReplyCarriesRegistersAndFileSystem) {
    firmware.card = vboard::SdCard::Sdsc();
    const Bytes reply = Send({0xAA, 0x08, 0x00, 0x00, 0x08, 0x55});
    ASSERT_EQ(reply.size(), 37u + 6u);
    EXPECT_EQ(reply[2], 37);
    EXPECT_EQ(reply[4], 0x00);
    EXPECT_EQ(reply[5], 0x00);              // CSD structure 0: version 1.0
    EXPECT_EQ(reply[4 + 1 + 5] & 0x0F, 10); // READ_BL_LEN
    EXPECT_EQ(reply[4 + 18], 0x03);         // manufacturer
    EXPECT_EQ(reply[4 + 35], 1);            // FAT16

    firmware.card = vboard::SdCard::Sdhc();
    const Bytes sdhc = Send({0xAA, 0x08, 0x00, 0x00, 0x08, 0x55});
    EXPECT_EQ(sdhc[5] & 0xC0, 0x40);
    EXPECT_EQ(sdhc[4 + 35], 2);
    EXPECT_EQ(Send({0xAA, 0x08, 0x00, 0x00, 0x08, 0x55})[4 + 36], 1);

    firmware.card = vboard::SdCard::Unformatted();
    EXPECT_EQ(Send({0xAA, 0x08, 0x00, 0x00, 0x08, 0x55})[4 + 35], 0);

    firmware.card = vboard::SdCard::None();
    const Bytes none = Send({0xAA, 0x08, 0x00, 0x00, 0x08, 0x55});
    ASSERT_EQ(none.size(), 43u);
    EXPECT_NE(none[4], 0x00);
}

TEST_F(FirmwareTest, MemoryWriteThenReadBack) {
    // Write DE AD at SDRAM address 0x00000102.
    EXPECT_EQ(Send({0xAA, 0x0C, 0x07, 0x00, 0x05, 0x02, 0x01, 0x00, 0x00, 0xDE, 0xAD, 0xA6, 0x55}),
              (Bytes{0xAA, 0x0C, 0x01, 0x00, 0x00, 0x0D, 0x55}));
    // Read 3 bytes from 0x101: 00 DE AD.
    EXPECT_EQ(Send({0xAA, 0x0D, 0x09, 0x00, 0x05, 0x01, 0x01, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x20, 0x55}),
              (Bytes{0xAA, 0x0D, 0x04, 0x00, 0x00, 0x00, 0xDE, 0xAD, 0x9C, 0x55}));
}

TEST_F(FirmwareTest, MemoryOutsideTheSdramOrOfAnotherTypeGetsNonzeroStatus) {
    // Write of 2 bytes at 0x03FFFFFF: the second byte lies beyond 64 MiB.
    const Bytes write = Send(Frame(0x0C, {0x05, 0xFF, 0xFF, 0xFF, 0x03, 0x11, 0x22}));
    ASSERT_EQ(write.size(), 7u);
    EXPECT_NE(write[4], 0);
    // Nothing of it was written.
    EXPECT_EQ(firmware.sdram.PagesInUse(), 0u);
    // Read of 4 bytes at 0x04000000: the reply still has the length asked for, with a nonzero status.
    const Bytes read = Send(Frame(0x0D, {0x05, 0x00, 0x00, 0x00, 0x04, 0x04, 0x00, 0x00, 0x00}));
    ASSERT_EQ(read.size(), 11u);
    EXPECT_EQ(read[2], 5);
    EXPECT_NE(read[4], 0);
    // EPCS is not served.
    EXPECT_NE(Send(Frame(0x0C, {0x03, 0x00, 0x00, 0x00, 0x00, 0x11}))[4], 0);
    // A count beyond one reply frame gets a bare status.
    const Bytes tooMany = Send(Frame(0x0D, {0x05, 0x00, 0x00, 0x00, 0x00, 0xEC, 0x7F, 0x00, 0x00}));
    ASSERT_EQ(tooMany.size(), 7u);
    EXPECT_NE(tooMany[4], 0);
}

TEST_F(FirmwareTest, LargestReadReply) {
    const Bytes reply = Send(Frame(0x0D, {0x05, 0x00, 0x00, 0x00, 0x00, 0xEB, 0x7F, 0x00, 0x00}));
    ASSERT_EQ(reply.size(), 32748u + 6u);
    EXPECT_EQ(reply[2], 0xEC);
    EXPECT_EQ(reply[3], 0x7F);
    EXPECT_EQ(reply[4], 0x00);
    EXPECT_EQ(reply[reply.size() - 2], static_cast<uint8_t>(0x0D + 0xEC + 0x7F));
}

TEST_F(FirmwareTest, VgaPatternAndProbe) {
    EXPECT_EQ(Send({0xAA, 0x15, 0x03, 0x00, 0x04, 0x02, 0x03, 0x21, 0x55}),
              (Bytes{0xAA, 0x15, 0x01, 0x00, 0x00, 0x16, 0x55}));
    EXPECT_EQ(firmware.vgaPattern, 3);
    EXPECT_EQ(Send({0xAA, 0x15, 0x03, 0x00, 0x05, 0x01, 0x00, 0x1E, 0x55}),
              (Bytes{0xAA, 0x15, 0x01, 0x00, 0x00, 0x16, 0x55}));
    firmware.faults.refuseVgaProbe = true;
    EXPECT_NE(Send({0xAA, 0x15, 0x03, 0x00, 0x05, 0x01, 0x00, 0x1E, 0x55})[4], 0);
    // No tenth pattern.
    EXPECT_NE(Send({0xAA, 0x15, 0x03, 0x00, 0x04, 0x02, 0x09, 0x27, 0x55})[4], 0);
    EXPECT_EQ(firmware.vgaPattern, 3);
}

TEST_F(FirmwareTest, UnknownCommandGetsAStatusReply) {
    EXPECT_EQ(Send({0xAA, 0x42, 0x00, 0x00, 0x42, 0x55}), (Bytes{0xAA, 0x42, 0x01, 0x00, 0x01, 0x44, 0x55}));
}

TEST_F(FirmwareTest, RequestsSplitAcrossChunksAndSeveralInOneChunk) {
    Bytes out;
    const Bytes two = {0xAA, 0x01, 0x00, 0x00, 0x01, 0x55, 0xAA, 0x05, 0x04, 0x00, 0x03, 0x00, 0x00, 0x00, 0x0C, 0x55};
    firmware.Receive(parser, two.data(), 9, out);
    EXPECT_EQ(out, (Bytes{0xAA, 0x01, 0x01, 0x00, 0x00, 0x02, 0x55}));
    firmware.Receive(parser, two.data() + 9, two.size() - 9, out);
    EXPECT_EQ(out, (Bytes{0xAA, 0x01, 0x01, 0x00, 0x00, 0x02, 0x55, 0xAA, 0x05, 0x01, 0x00, 0x00, 0x06, 0x55}));
    EXPECT_EQ(firmware.leds, 3u);
}

TEST_F(FirmwareTest, CorruptFramesAreNotAnswered) {
    EXPECT_TRUE(Send({0xAA, 0x01, 0x00, 0x00, 0x02, 0x55}).empty());
    EXPECT_TRUE(Send({0xAA, 0x01, 0x00, 0x00, 0x01, 0x54}).empty());
    EXPECT_EQ(Send({0xAA, 0x01, 0x00, 0x00, 0x01, 0x55}).size(), 7u);
}

TEST_F(FirmwareTest, FaultsSpoilReplies) {
    firmware.faults.wrongChecksum = true;
    EXPECT_EQ(Send({0xAA, 0x01, 0x00, 0x00, 0x01, 0x55}), (Bytes{0xAA, 0x01, 0x01, 0x00, 0x00, 0x03, 0x55}));
    firmware.faults.wrongEcho = true;
    EXPECT_EQ(Send({0xAA, 0x01, 0x00, 0x00, 0x01, 0x55}), (Bytes{0xAA, 0x81, 0x01, 0x00, 0x00, 0x02, 0x55}));
    firmware.faults.floodBytes = 3;
    EXPECT_EQ(Send({0xAA, 0x01, 0x00, 0x00, 0x01, 0x55}),
              (Bytes{0x00, 0x00, 0x00, 0xAA, 0x01, 0x01, 0x00, 0x00, 0x02, 0x55}));
    // One-shot faults are spent; the next reply is sound.
    EXPECT_EQ(Send({0xAA, 0x01, 0x00, 0x00, 0x01, 0x55}), (Bytes{0xAA, 0x01, 0x01, 0x00, 0x00, 0x02, 0x55}));
    firmware.faults.silent = true;
    EXPECT_TRUE(Send({0xAA, 0x01, 0x00, 0x00, 0x01, 0x55}).empty());
    firmware.faults = vboard::Faults{};
    firmware.faults.nameOverride = true;
    firmware.faults.name = "XY";
    const Bytes name = Send({0xAA, 0x00, 0x00, 0x00, 0x00, 0x55});
    EXPECT_EQ(name[5], 'X');
    EXPECT_EQ(name[6], 'Y');
    EXPECT_EQ(name[7], 0);
}

TEST_F(FirmwareTest, ResetClearsOutputsButNotWhatIsPhysical) {
    firmware.leds = 0x3FF;
    firmware.digits = 0x123456;
    firmware.vgaPattern = 4;
    firmware.keys = 0x2;
    firmware.switches = 0x100;
    firmware.card = vboard::SdCard::Sdsc();
    const uint8_t byte = 0x99;
    ASSERT_TRUE(firmware.sdram.Write(0x100000, &byte, 1));
    firmware.ResetOutputs();
    EXPECT_EQ(firmware.leds, 0u);
    EXPECT_EQ(firmware.digits, 0u);
    EXPECT_EQ(firmware.vgaPattern, Firmware::NO_PATTERN);
    EXPECT_EQ(firmware.keys, 0x2u);
    EXPECT_EQ(firmware.switches, 0x100u);
    EXPECT_EQ(firmware.card.profile, "sdsc");
    uint8_t back = 0xFF;
    ASSERT_TRUE(firmware.sdram.Read(0x100000, &back, 1));
    EXPECT_EQ(back, 0);
}

TEST(SdramTest, PagesAreTakenOnlyWhenWritten) {
    vboard::Sdram sdram;
    uint8_t buffer[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(sdram.Read(0x2000000, buffer, 8));
    EXPECT_EQ(buffer[7], 0);
    EXPECT_EQ(sdram.PagesInUse(), 0u);
    // Eight bytes across a page boundary mark two pages.
    const uint8_t data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(sdram.Write(vboard::Sdram::PAGE_SIZE - 4, data, 8));
    EXPECT_EQ(sdram.PagesInUse(), 2u);
    ASSERT_TRUE(sdram.Read(vboard::Sdram::PAGE_SIZE - 4, buffer, 8));
    EXPECT_EQ(Bytes(buffer, buffer + 8), Bytes(data, data + 8));
    EXPECT_TRUE(sdram.Write(vboard::Sdram::SIZE - 8, data, 8));
    EXPECT_FALSE(sdram.Write(vboard::Sdram::SIZE - 7, data, 8));
    EXPECT_FALSE(sdram.Read(0xFFFFFFFC, buffer, 8));
    sdram.Clear();
    EXPECT_EQ(sdram.PagesInUse(), 0u);
}

} // namespace
