// The firmware's frame finder, fed with byte vectors written out by hand.
#include "vboard/FrameParser.h"

#include <gtest/gtest.h>
#include <vector>

using vboard::FrameParser;

namespace {

struct Seen {
    uint8_t command;
    std::vector<uint8_t> payload;
    bool operator==(const Seen&) const = default;
};

struct FrameParserTest : ::testing::Test {
    void Feed(const std::vector<uint8_t>& bytes) {
        parser.Feed(bytes.data(), bytes.size(), [this](uint8_t command, const uint8_t* payload, uint32_t length) {
            seen.push_back({command, std::vector<uint8_t>(payload, payload + length)});
        });
    }

    FrameParser parser;
    std::vector<Seen> seen;
};

// Ping (01, no payload) and SetLeds (05) with mask 0x201.
const std::vector<uint8_t> PING = {0xAA, 0x01, 0x00, 0x00, 0x01, 0x55};
const std::vector<uint8_t> LEDS = {0xAA, 0x05, 0x04, 0x00, 0x01, 0x02, 0x00, 0x00, 0x0C, 0x55};

TEST_F(FrameParserTest, WholeFrameInOneChunk) {
    Feed(PING);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (Seen{0x01, {}}));
    EXPECT_EQ(parser.Buffered(), 0u);
}

TEST_F(FrameParserTest, FrameSplitAtEveryPossiblePlace) {
    for (std::size_t cut = 1; cut < LEDS.size(); ++cut) {
        seen.clear();
        Feed({LEDS.begin(), LEDS.begin() + static_cast<long>(cut)});
        EXPECT_TRUE(seen.empty()) << "cut " << cut;
        Feed({LEDS.begin() + static_cast<long>(cut), LEDS.end()});
        ASSERT_EQ(seen.size(), 1u) << "cut " << cut;
        EXPECT_EQ(seen[0], (Seen{0x05, {0x01, 0x02, 0x00, 0x00}}));
    }
}

TEST_F(FrameParserTest, ByteByByte) {
    for (const uint8_t byte : LEDS)
        Feed({byte});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].command, 0x05);
}

TEST_F(FrameParserTest, SeveralFramesInOneChunkAndATailKeptForLater) {
    std::vector<uint8_t> chunk = PING;
    chunk.insert(chunk.end(), LEDS.begin(), LEDS.end());
    chunk.insert(chunk.end(), PING.begin(), PING.begin() + 3);
    Feed(chunk);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].command, 0x01);
    EXPECT_EQ(seen[1].command, 0x05);
    EXPECT_EQ(parser.Buffered(), 3u);
    Feed({0x00, 0x01, 0x55});
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].command, 0x01);
}

TEST_F(FrameParserTest, NoiseBeforeAFrameIsSkipped) {
    Feed({0x00, 0x13, 0x55, 0x01, 0xAA, 0x01, 0x00, 0x00, 0x01, 0x55});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(parser.Rejected(), 0u);
}

TEST_F(FrameParserTest, BadChecksumIsDroppedAndTheNextFrameFound) {
    Feed({0xAA, 0x01, 0x00, 0x00, 0x02, 0x55, 0xAA, 0x01, 0x00, 0x00, 0x01, 0x55});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].command, 0x01);
    EXPECT_EQ(parser.Rejected(), 1u);
}

TEST_F(FrameParserTest, BadEndMarkerResynchronisesOnAStartMarkerInsideTheRejectedBytes) {
    // The first "frame" claims 6 payload bytes; they hold a whole ping, and its end marker is wrong.
    Feed({0xAA, 0x07, 0x06, 0x00, 0xAA, 0x01, 0x00, 0x00, 0x01, 0x55, 0x0E, 0x00});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (Seen{0x01, {}}));
    EXPECT_EQ(parser.Rejected(), 1u);
}

TEST_F(FrameParserTest, LengthAboveTheRequestLimitIsRejectedAtOnce) {
    // 0x7FED = 32749, one above the limit: no waiting for 32 KiB that will never be a frame.
    Feed({0xAA, 0x0C, 0xED, 0x7F, 0xAA, 0x01, 0x00, 0x00, 0x01, 0x55});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].command, 0x01);
    EXPECT_EQ(parser.Buffered(), 0u);
}

TEST_F(FrameParserTest, ChecksumWrapsModulo256) {
    // Payload FF FF: sum 05 + 02 + 00 + FF + FF = 0x205 -> 05.
    Feed({0xAA, 0x05, 0x02, 0x00, 0xFF, 0xFF, 0x05, 0x55});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].payload, (std::vector<uint8_t>{0xFF, 0xFF}));
}

TEST_F(FrameParserTest, AnEmptyChunkChangesNothingEvenWithoutABuffer) {
    const auto feedNothing = [this] {
        parser.Feed(nullptr, 0, [this](uint8_t command, const uint8_t*, uint32_t) { seen.push_back({command, {}}); });
    };
    feedNothing();
    EXPECT_EQ(parser.Buffered(), 0u);
    Feed({0xAA, 0x01, 0x00});
    feedNothing();
    EXPECT_EQ(parser.Buffered(), 3u);
    Feed({0x00, 0x01, 0x55});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (Seen{0x01, {}}));
}

TEST_F(FrameParserTest, ResetForgetsAPartialFrame) {
    Feed({0xAA, 0x01, 0x00});
    parser.Reset();
    Feed({0x00, 0x01, 0x55});
    EXPECT_TRUE(seen.empty());
    Feed(PING);
    EXPECT_EQ(seen.size(), 1u);
}

TEST_F(FrameParserTest, LargestRequestArrivingInPieces) {
    std::vector<uint8_t> frame = {0xAA, 0x0C, 0xEC, 0x7F};
    uint32_t sum = 0x0C + 0xEC + 0x7F;
    for (uint32_t i = 0; i < 32748; ++i) {
        frame.push_back(static_cast<uint8_t>(i * 7));
        sum += static_cast<uint8_t>(i * 7);
    }
    frame.push_back(static_cast<uint8_t>(sum));
    frame.push_back(0x55);
    for (std::size_t at = 0; at < frame.size(); at += 1000)
        Feed({frame.begin() + static_cast<long>(at),
              frame.begin() + static_cast<long>(std::min(at + 1000, frame.size()))});
    ASSERT_EQ(seen.size(), 1u);
    ASSERT_EQ(seen[0].payload.size(), 32748u);
    EXPECT_EQ(seen[0].payload[32747], static_cast<uint8_t>(32747 * 7));
}

} // namespace
