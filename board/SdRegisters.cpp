#include "board/Board.h"

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <string>

// Field positions and units follow the SD card physical layer: both registers arrive most
// significant byte first.
namespace {

// Ten times the time-value and transfer-rate multipliers, indexed by their 4-bit code.
constexpr uint64_t MULTIPLIER_X10[16] = {0, 10, 12, 13, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 70, 80};

// Appends one formatted line. Built by length rather than as a C string, so a zero byte in a
// product name cannot cut the report short.
void AppendLine(std::string& text, const char* format, ...) {
    char line[128];
    va_list args;
    va_start(args, format);
    const int length = std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    if (length > 0)
        text.append(line, std::min<std::size_t>(static_cast<std::size_t>(length), sizeof line - 1));
}

uint64_t PowerOfTen(unsigned exponent) {
    uint64_t value = 1;
    while (exponent-- > 0)
        value *= 10;
    return value;
}

// 10^(code AND 7) times the multiplier of bits 3 to 6, divided by ten.
uint64_t ScaledValue(uint8_t code) {
    return PowerOfTen(code & 7) * MULTIPLIER_X10[(code >> 3) & 0x0F] / 10;
}

} // namespace

std::string DescribeCid(const uint8_t* c) {
    std::string text;
    AppendLine(text, "-Manufacturer ID:%02Xh\n", c[0]);
    AppendLine(text, "-OEM/Application ID:%02X%02Xh\n", c[2], c[1]);
    AppendLine(text, "-Product Name:%c%c%c%c%c\n", c[3], c[4], c[5], c[6], c[7]);
    AppendLine(text, "-Product Revision:%02Xh\n", c[8]);
    AppendLine(text, "-Serial No.:%02X%02X%02X%02Xh\n", c[9], c[10], c[11], c[12]);
    AppendLine(text, "-Date Code:%01X%02Xh\n", c[13] & 0x0F, c[14]);
    return text;
}

std::string DescribeCsd(const uint8_t* s) {
    std::string text;
    const uint8_t structure = s[0] & 0xC0;
    if (structure == 0x00)
        AppendLine(text, "-CSD Version 1.0\n");
    else if (structure == 0x40)
        AppendLine(text, "-CSD Version 2.0\n");
    const bool version2 = structure == 0x40;

    if (s[1] == 0) {
        AppendLine(text, "-Read Access Time:NA\n");
    } else {
        const uint64_t ns = ScaledValue(s[1]);
        if (ns > 1000000)
            AppendLine(text, "-Read Access Time:%d ms\n", static_cast<int>(ns / 1000000));
        else if (ns > 1000)
            AppendLine(text, "-Read Access Time:%d us\n", static_cast<int>(ns / 1000));
        else
            AppendLine(text, "-Read Access Time:%d ns\n", static_cast<int>(ns));
    }

    AppendLine(text, "-Read Access Time (NSAC):%d (x100 cycle) \n", s[2]);

    if (s[3] == 0) {
        AppendLine(text, "-Max. Data Transfer Rate:NA\n");
    } else {
        const uint64_t rate = ScaledValue(s[3]); // units of 100 kbit/s
        if (rate < 10)
            AppendLine(text, "-Max. Data Transfer Rate:%d Kbits/s\n", static_cast<int>(rate * 100));
        else
            AppendLine(text, "-Max. Data Transfer Rate:%d Mbits/s\n", static_cast<int>(rate / 10));
    }

    const unsigned readBlLen = s[5] & 0x0F;
    const uint64_t block = uint64_t{1} << readBlLen;
    if (readBlLen != 0)
        AppendLine(text, "-Max. Read Data Block Length:%d Byte\n", static_cast<int>(block));

    uint64_t megabytes;
    if (version2) {
        const uint32_t cSize = static_cast<uint32_t>(s[7] & 0x3F) << 16 | static_cast<uint32_t>(s[8]) << 8 | s[9];
        megabytes = (static_cast<uint64_t>(cSize) + 1) / 2;
    } else {
        const uint32_t cSize = static_cast<uint32_t>(s[6] & 3) << 10 | static_cast<uint32_t>(s[7]) << 2 | s[8] >> 6;
        const unsigned cSizeMult = static_cast<unsigned>(s[9] & 3) << 1 | s[10] >> 7;
        const uint64_t bytes = (static_cast<uint64_t>(cSize) + 1) * (uint64_t{1} << (cSizeMult + 2)) * block;
        megabytes = (bytes + (uint64_t{1} << 20) - 1) >> 20;
    }
    if (megabytes != 0)
        AppendLine(text, "-Memory Capacity:%dMB\n", static_cast<int>(megabytes));
    return text;
}
