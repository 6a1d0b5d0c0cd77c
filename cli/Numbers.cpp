#include "cli/Numbers.h"

#include "board/Protocol.h"
#include "board/VgaPatterns.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <strings.h>

namespace cli {

bool ParseNumber(const std::string& text, bool suffixes, uint64_t& value, std::string& error) {
    std::string digits = text;
    uint64_t scale = 1;
    if (suffixes && !digits.empty()) {
        const char last = static_cast<char>(std::toupper(static_cast<unsigned char>(digits.back())));
        if (last == 'K' || last == 'M') {
            scale = last == 'K' ? 1024 : 1024 * 1024;
            digits.pop_back();
        }
    }
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits.erase(0, 2);
    }
    uint64_t number = 0;
    const char* end = digits.data() + digits.size();
    const auto [last, result] = std::from_chars(digits.data(), end, number, base);
    // from_chars stops at the first character that is no digit (a sign, a blank): all must be digits.
    if (digits.empty() || last != end || result == std::errc::invalid_argument) {
        error = "'" + text + "' is not a number (decimal, or hexadecimal after 0x" +
                std::string(suffixes ? ", with an optional K or M" : "") + ")";
        return false;
    }
    if (result == std::errc::result_out_of_range || number > UINT64_MAX / scale) {
        error = "'" + text + "' is too large";
        return false;
    }
    value = number * scale;
    return true;
}

bool ParseDigits(const std::string& text, uint32_t& word, std::string& error) {
    uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [last, result] = std::from_chars(text.data(), end, value, 16);
    if (text.size() != DIGIT_COUNT || last != end || result != std::errc()) {
        error = "'" + text + "' is not six hexadecimal digits, HEX5 first (like 0123AB)";
        return false;
    }
    word = value;
    return true;
}

bool ParseVgaPattern(const std::string& text, int& pattern, std::string& error) {
    for (int i = 0; i < VGA_PATTERN_COUNT; ++i) {
        if (text == std::to_string(i) || strcasecmp(text.c_str(), VGA_PATTERNS[i].name) == 0) {
            pattern = i;
            return true;
        }
    }
    error = "'" + text + "' is not a VGA pattern: give its index (0 to " + std::to_string(VGA_PATTERN_COUNT - 1) +
            ") or its name (";
    for (int i = 0; i < VGA_PATTERN_COUNT; ++i)
        error += std::string(i == 0 ? "" : ", ") + "\"" + VGA_PATTERNS[i].name + "\"";
    error += ")";
    return false;
}

std::string Hex(uint64_t value, int width) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%0*llX", width, static_cast<unsigned long long>(value));
    return text;
}

} // namespace cli
