// The tool's pieces without a board server: numbers as the command line gives them, the progress
// line, and the transfer's exchanges over a scripted link.
#include "cli/MemoryTransfer.h"
#include "cli/Numbers.h"
#include "cli/ProgressBar.h"
#include "tests/support/LinkedBoard.h"

#include <gtest/gtest.h>
#include <sstream>

using testsupport::FakeJtagLink;

namespace {

uint64_t Number(const std::string& text, bool suffixes = true) {
    uint64_t value = 0xDEAD;
    std::string error;
    EXPECT_TRUE(cli::ParseNumber(text, suffixes, value, error)) << text << ": " << error;
    return value;
}

bool Refused(const std::string& text, bool suffixes = true) {
    uint64_t value = 0xDEAD;
    std::string error;
    return !cli::ParseNumber(text, suffixes, value, error) && value == 0xDEAD && !error.empty();
}

TEST(NumbersTest, DecimalHexadecimalAndSuffixes) {
    EXPECT_EQ(Number("0"), 0u);
    EXPECT_EQ(Number("4096"), 4096u);
    EXPECT_EQ(Number("0x3ffFFff"), 0x3FFFFFFu);
    EXPECT_EQ(Number("0X10"), 16u);
    EXPECT_EQ(Number("64M"), 64u << 20);
    EXPECT_EQ(Number("1k"), 1024u);
    EXPECT_EQ(Number("0x10K"), 16u * 1024);
    EXPECT_EQ(Number("18446744073709551615", false), UINT64_MAX);
    for (const char* text : {"", "0x", "K", "x10", "-1", "+1", " 1", "1 ", "1.5", "12x", "0x1G", "1KK", "1KB", "1e3",
                             "18446744073709551616", "0x10000000000000000", "18014398509481984K"})
        EXPECT_TRUE(Refused(text)) << text;
    // Without suffixes a K is just a stray letter.
    EXPECT_TRUE(Refused("1K", false));
}

TEST(NumbersTest, DigitsAndPatterns) {
    uint32_t word = 0;
    std::string error;
    ASSERT_TRUE(cli::ParseDigits("0123ab", word, error));
    EXPECT_EQ(word, 0x0123ABu);
    for (const char* text : {"12345", "1234567", "12345G", "0x1234", " 12345", "-12345"})
        EXPECT_FALSE(cli::ParseDigits(text, word, error)) << text;

    int pattern = -1;
    ASSERT_TRUE(cli::ParseVgaPattern("red scale", pattern, error));
    EXPECT_EQ(pattern, 6);
    ASSERT_TRUE(cli::ParseVgaPattern("8", pattern, error));
    EXPECT_EQ(pattern, 8);
    for (const char* text : {"9", "-1", "08", "Red  Scale", "", "Purple"})
        EXPECT_FALSE(cli::ParseVgaPattern(text, pattern, error)) << text;
    // The refusal lists what is there to choose from.
    EXPECT_NE(error.find("\"Color Scale\""), std::string::npos);
}

TEST(ProgressBarTest, TheLineShowsShareRateAndTimeLeft) {
    testsupport::FakeClock clock(5000, 0);
    std::ostringstream stream;
    cli::ProgressBar bar(stream, true, "mem read", 64u << 20);
    EXPECT_EQ(bar.Line(0, 0), "mem read [--------------------]   0%  0.0 of 64.0 MiB");
    EXPECT_EQ(bar.Line(16u << 20, 2000), "mem read [#####---------------]  25%  16.0 of 64.0 MiB  8.0 MiB/s  6 s left");
    EXPECT_EQ(bar.Line(64u << 20, 8000), "mem read [####################] 100%  64.0 of 64.0 MiB  8.0 MiB/s  0 s left");

    // Drawn in place, at most ten times a second, always at the end, and ended with its line.
    bar.Update(0);
    clock.Advance(50);
    bar.Update(1u << 20);
    clock.Advance(50);
    bar.Update(2u << 20);
    bar.Update(64u << 20);
    bar.Finish();
    const std::string drawn = stream.str();
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), '\r'), 3) << drawn;
    EXPECT_EQ(drawn.back(), '\n');
}

// A firmware stand-in that answers every request with status 0 and reads with zeros.
struct TransferTest : testsupport::LinkedBoard {
    TransferTest() {
        link.onWrite = [this](const std::vector<uint8_t>& frame) {
            std::vector<uint8_t> payload{0};
            if (frame[1] == 0x0D)
                payload.resize(1 + (frame[9] | frame[10] << 8 | frame[11] << 16));
            if (failAt-- != 0)
                link.Queue(FakeJtagLink::Frame(frame[1], payload));
        };
    }
    cli::Interruption interruption;
    std::ostringstream err;
    cli::ProgressBar bar{err, false, "", 0};
    int failAt = -1;
};

TEST_F(TransferTest, AWriteGoesInTheLargestExchangesAfterOneKeepAlive) {
    ASSERT_TRUE(connected);
    std::vector<uint8_t> data(2 * 32743 + 10);
    cli::MemoryTransfer transfer(board, interruption);
    EXPECT_EQ(transfer.Write(0x100, data.data(), static_cast<uint32_t>(data.size()), bar),
              cli::MemoryTransfer::Outcome::Done);
    EXPECT_EQ(transfer.Done(), data.size());
    ASSERT_EQ(link.writes.size(), 4u);
    EXPECT_EQ(link.writes[0][1], 0x01);
    EXPECT_EQ(link.writes[1].size(), 6u + 5 + 32743);
    EXPECT_EQ(link.writes[3].size(), 6u + 5 + 10);
    // The third chunk's address: 0x100 + 2 x 32743.
    EXPECT_EQ(link.writes[3][5] | link.writes[3][6] << 8 | link.writes[3][7] << 16, 0x100 + 2 * 32743);
}

TEST_F(TransferTest, AFailedExchangeEndsTheTransferAndSaysHowFarItCame) {
    ASSERT_TRUE(connected);
    failAt = 2; // the keep-alive and the first read are answered, the second read is not
    std::vector<uint32_t> pieces;
    cli::MemoryTransfer transfer(board, interruption);
    EXPECT_EQ(transfer.Read(
                  0, 100000, [&](uint32_t offset, const uint8_t*, uint32_t n) { pieces.push_back(offset + n); }, bar),
              cli::MemoryTransfer::Outcome::BoardFailed);
    EXPECT_EQ(transfer.Done(), 32747u);
    EXPECT_EQ(pieces, std::vector<uint32_t>{32747});
}

} // namespace
