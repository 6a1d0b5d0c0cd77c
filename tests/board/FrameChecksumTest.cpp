// The frame checksum adds many bytes at a time; it must still be the plain sum modulo 256.
#include "board/Board.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

uint8_t ByteBySum(const std::vector<uint8_t>& bytes, std::size_t from, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = from; i < from + count; ++i)
        sum = (sum + bytes[i]) % 256;
    return static_cast<uint8_t>(sum);
}

TEST(FrameChecksumTest, MatchesTheByteSumForEveryLengthAndAlignment) {
    std::vector<uint8_t> bytes(2100);
    uint32_t state = 7;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    for (std::size_t from = 0; from < 8; ++from) {
        for (std::size_t count = 0; count + from <= 2090; count += (count < 40 ? 1 : 37))
            ASSERT_EQ(TBoard::FrameChecksum(bytes.data() + from, static_cast<uint32_t>(count)),
                      ByteBySum(bytes, from, count))
                << "from " << from << " count " << count;
    }
}

TEST(FrameChecksumTest, LargestFrameOfAllOnesDoesNotOverflowBetweenLanes) {
    const std::vector<uint8_t> ones(PKT_PC2NIOS_MAX_PL_LEN + 3, 0xFF);
    EXPECT_EQ(TBoard::FrameChecksum(ones.data(), static_cast<uint32_t>(ones.size())), ByteBySum(ones, 0, ones.size()));
    // 1031 x 255 and 2048 x 255, both mod 256.
    EXPECT_EQ(TBoard::FrameChecksum(ones.data(), 1031), 0xF9);
    EXPECT_EQ(TBoard::FrameChecksum(ones.data(), 2048), 0x00);
}

} // namespace
