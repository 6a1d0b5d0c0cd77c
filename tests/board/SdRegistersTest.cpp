#include "board/Board.h"

#include <array>
#include <gtest/gtest.h>

namespace {

using Register = std::array<uint8_t, 16>;

std::string Csd(const Register& s) {
    return DescribeCsd(s.data());
}

// The lines of a report, without the ones the case does not look at.
std::string Line(const std::string& report, const std::string& prefix) {
    const auto at = report.find(prefix);
    if (at == std::string::npos)
        return std::string();
    return report.substr(at, report.find('\n', at) - at + 1);
}

TEST(DescribeCid, SixLinesWithOemBytesSwapped) {
    const Register c = {0x03, 0x53, 0x44, 0x53, 0x55, 0x30, 0x38, 0x47, 0x80, 0x12, 0x34, 0x56, 0x78, 0xF0, 0xC8, 0x01};
    EXPECT_EQ(DescribeCid(c.data()), "-Manufacturer ID:03h\n"
                                     "-OEM/Application ID:4453h\n"
                                     "-Product Name:SU08G\n"
                                     "-Product Revision:80h\n"
                                     "-Serial No.:12345678h\n"
                                     "-Date Code:0C8h\n");
}

TEST(DescribeCid, ZeroByteInTheNameDoesNotCutTheReport) {
    const Register c = {0xAB, 0, 0, 'A', 0, 'B', 'C', 'D', 0x10, 0, 0, 0, 1, 0x0E, 0x05, 0};
    const std::string report = DescribeCid(c.data());
    EXPECT_EQ(report.substr(0, 49), std::string("-Manufacturer ID:ABh\n-OEM/Application ID:0000h\n-P"));
    EXPECT_EQ(Line(report, "-Product Name:"), std::string("-Product Name:A\0BCD\n", 20));
    EXPECT_EQ(Line(report, "-Date Code:"), "-Date Code:E05h\n");
}

TEST(DescribeCsd, TypicalHighCapacityCard) {
    const Register s = {0x40, 0x0E, 0x00, 0x32, 0x5B, 0x59, 0x00, 0x00, 0x3B, 0x37, 0x7F, 0x80, 0x0A, 0x40, 0x00, 0x8B};
    EXPECT_EQ(Csd(s), "-CSD Version 2.0\n"
                      "-Read Access Time:1000 us\n"
                      "-Read Access Time (NSAC):0 (x100 cycle) \n"
                      "-Max. Data Transfer Rate:25 Mbits/s\n"
                      "-Max. Read Data Block Length:512 Byte\n"
                      "-Memory Capacity:7580MB\n");
}

TEST(DescribeCsd, StandardCapacityCardOfTwoGigabytes) {
    const Register s = {0x00, 0x26, 0x32, 0x5A, 0x5F, 0x5A, 0x83, 0xFF, 0xC0, 0xFB, 0x80, 0, 0, 0, 0, 0};
    EXPECT_EQ(Csd(s), "-CSD Version 1.0\n"
                      "-Read Access Time:1 ms\n"
                      "-Read Access Time (NSAC):50 (x100 cycle) \n"
                      "-Max. Data Transfer Rate:50 Mbits/s\n"
                      "-Max. Read Data Block Length:1024 Byte\n"
                      "-Memory Capacity:2048MB\n");
}

TEST(DescribeCsd, AccessTimeUnitsAndBounds) {
    Register s{};
    s[1] = 0x0E; // 1.0 x 1 ms is not above the millisecond bound
    EXPECT_EQ(Line(Csd(s), "-Read Access Time:"), "-Read Access Time:1000 us\n");
    s[1] = 0x26;
    EXPECT_EQ(Line(Csd(s), "-Read Access Time:"), "-Read Access Time:1 ms\n");
    s[1] = 0x09; // 1.0 x 10 ns
    EXPECT_EQ(Line(Csd(s), "-Read Access Time:"), "-Read Access Time:10 ns\n");
    s[1] = 0x03; // multiplier code 0
    EXPECT_EQ(Line(Csd(s), "-Read Access Time:"), "-Read Access Time:0 ns\n");
    s[1] = 0;
    EXPECT_EQ(Line(Csd(s), "-Read Access Time:"), "-Read Access Time:NA\n");
}

TEST(DescribeCsd, TransferRateUnits) {
    Register s{};
    const std::pair<uint8_t, const char*> cases[] = {
        {0x32, "-Max. Data Transfer Rate:25 Mbits/s\n"},  {0x5A, "-Max. Data Transfer Rate:50 Mbits/s\n"},
        {0x08, "-Max. Data Transfer Rate:100 Kbits/s\n"}, {0x07, "-Max. Data Transfer Rate:0 Kbits/s\n"},
        {0x00, "-Max. Data Transfer Rate:NA\n"},          {0x7F, "-Max. Data Transfer Rate:8000000 Mbits/s\n"},
    };
    for (const auto& [code, line] : cases) {
        s[3] = code;
        EXPECT_EQ(Line(Csd(s), "-Max. Data"), line) << int(code);
    }
}

TEST(DescribeCsd, VersionOneCapacityUsesTheBlockLength) {
    Register s = {0x00, 0, 0, 0, 0, 0x0B, 0x03, 0xFF, 0xC0, 0x03, 0x80, 0, 0, 0, 0, 0};
    EXPECT_EQ(Line(Csd(s), "-Memory"), "-Memory Capacity:4096MB\n");
    s[5] = 0x0A;
    EXPECT_EQ(Line(Csd(s), "-Memory"), "-Memory Capacity:2048MB\n");
    // READ_BL_LEN 0: no block line, a block of one byte: 4096 x 512 bytes = 2 MB.
    s[5] = 0x00;
    EXPECT_EQ(Line(Csd(s), "-Max. Read"), "");
    EXPECT_EQ(Line(Csd(s), "-Memory"), "-Memory Capacity:2MB\n");
    // Capacity below one MB rounds up.
    const Register tiny = {0x00, 0, 0, 0, 0, 0x09, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(Line(Csd(tiny), "-Memory"), "-Memory Capacity:1MB\n");
}

TEST(DescribeCsd, VersionTwoCapacityAndZero) {
    Register s{};
    s[0] = 0x40;
    s[8] = 0x1F;
    s[9] = 0xFF; // C_SIZE 8191
    EXPECT_EQ(Line(Csd(s), "-Memory"), "-Memory Capacity:4096MB\n");
    s[7] = 0xC0; // bits above C_SIZE are ignored
    EXPECT_EQ(Line(Csd(s), "-Memory"), "-Memory Capacity:4096MB\n");
    s[7] = s[8] = s[9] = 0; // (0 + 1) / 2 = 0 MB: no line
    EXPECT_EQ(Line(Csd(s), "-Memory"), "");
}

TEST(DescribeCsd, ReservedStructuresGiveNoVersionLineAndTheVersionOneRule) {
    for (uint8_t structure : {0x80, 0xC0}) {
        const Register s = {structure, 0x0E, 0, 0x32, 0, 0x0A, 0x03, 0xFF, 0xC0, 0x03, 0x80, 0, 0, 0, 0, 0};
        const std::string report = Csd(s);
        EXPECT_EQ(report.rfind("-Read Access Time:1000 us\n", 0), 0u);
        EXPECT_EQ(Line(report, "-Memory"), "-Memory Capacity:2048MB\n");
    }
}

} // namespace
