#pragma once

#include <cstdint>
#include <string>

namespace cli {

// A number as the tool takes it on its command line: decimal, or hexadecimal after "0x" (either
// case), with no sign and no blanks. With suffixes allowed, a last "K" multiplies it by 1024 and a
// last "M" by 1048576 (either case): "64M", "0x10K". False with a reason when the text is not such a
// number or its value does not fit 64 bits.
bool ParseNumber(const std::string& text, bool suffixes, uint64_t& value, std::string& error);

// Six hexadecimal digits, HEX5's first, as the 7-segment digit word (digit i in bits 4i to 4i+3).
bool ParseDigits(const std::string& text, uint32_t& word, std::string& error);

// A VGA test pattern: its index (0 to 8) or its name as the VGA page lists it, in any case.
bool ParseVgaPattern(const std::string& text, int& pattern, std::string& error);

// "0x" and at least `width` uppercase hexadecimal digits.
std::string Hex(uint64_t value, int width = 1);

} // namespace cli
