#pragma once

#include <cstdint>
#include <string_view>

// How the text of a hexadecimal field of the memory page stands against the field's bounds.
enum class THexFieldCheck {
    Ok,
    Invalid,      // empty, a character that is not a hexadecimal digit, or more than 64 bits of value
    AboveMaximum, // the whole value lies above the maximum, also when it does not fit 32 bits
    BelowMinimum,
};

// Judges text (hexadecimal digits only, no prefix or sign) against [minimum, maximum]; value is set
// only when the result is Ok.
THexFieldCheck CheckHexField(std::u16string_view text, int64_t minimum, int64_t maximum, uint32_t& value);
