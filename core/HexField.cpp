#include "core/HexField.h"

namespace {

int HexDigitValue(char16_t c) {
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}

} // namespace

THexFieldCheck CheckHexField(std::u16string_view text, int64_t minimum, int64_t maximum, uint32_t& value) {
    if (text.empty())
        return THexFieldCheck::Invalid;
    uint64_t whole = 0;
    for (const char16_t c : text) {
        const int digit = HexDigitValue(c);
        if (digit < 0 || whole > (UINT64_MAX >> 4))
            return THexFieldCheck::Invalid;
        whole = whole << 4 | static_cast<unsigned>(digit);
    }
    // The whole value is compared: one that does not fit 32 bits lies above every maximum.
    if (whole > static_cast<uint64_t>(maximum))
        return THexFieldCheck::AboveMaximum;
    if (static_cast<int64_t>(whole) < minimum)
        return THexFieldCheck::BelowMinimum;
    value = static_cast<uint32_t>(whole);
    return THexFieldCheck::Ok;
}
