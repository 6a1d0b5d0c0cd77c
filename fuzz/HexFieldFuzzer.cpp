// The memory page's hexadecimal fields: any text against any bounds gives the verdict of a plain
// reference reading (digits counted after leading zeros, so no value can wrap), and sets the value
// only when it is within them.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "core/HexField.h"

#include <string>

namespace {

int DigitValue(char16_t c) {
    const std::u16string digits = u"0123456789ABCDEF";
    const std::u16string lower = u"abcdef";
    if (const auto at = digits.find(c); at != std::u16string::npos)
        return static_cast<int>(at);
    if (const auto at = lower.find(c); at != std::u16string::npos)
        return static_cast<int>(at) + 10;
    return -1;
}

THexFieldCheck Reference(const std::u16string& text, int64_t minimum, int64_t maximum, uint32_t& value) {
    if (text.empty())
        return THexFieldCheck::Invalid;
    for (const char16_t c : text) {
        if (DigitValue(c) < 0)
            return THexFieldCheck::Invalid;
    }
    const std::size_t first = text.find_first_not_of(u'0');
    const std::size_t significant = first == std::u16string::npos ? 0 : text.size() - first;
    // Sixteen digits of value are read; more, whatever they spell, are not a number the field takes.
    if (significant > 16)
        return THexFieldCheck::Invalid;
    uint64_t whole = 0;
    for (std::size_t i = text.size() - significant; i < text.size(); ++i)
        whole = whole * 16 + static_cast<uint64_t>(DigitValue(text[i]));
    if (whole > static_cast<uint64_t>(maximum))
        return THexFieldCheck::AboveMaximum;
    if (whole < static_cast<uint64_t>(minimum))
        return THexFieldCheck::BelowMinimum;
    value = static_cast<uint32_t>(whole);
    return THexFieldCheck::Ok;
}

// Mostly ASCII, so digits are common; a byte from F0 up takes the next two as a whole UTF-16 unit.
std::u16string FieldText(FuzzedDataProvider& in) {
    std::u16string text;
    while (in.remaining_bytes() != 0) {
        const auto byte = in.ConsumeIntegral<uint8_t>();
        text.push_back(byte < 0xF0 ? char16_t{byte} : static_cast<char16_t>(in.ConsumeIntegral<uint16_t>()));
    }
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    // Bounds as the page forms them: from 0 or 1, or another address, up to what is left of a memory.
    const auto minimum = in.ConsumeIntegralInRange<int64_t>(0, 0x100000000);
    const auto maximum = in.ConsumeIntegralInRange<int64_t>(0, 0x100000000);
    const std::u16string text = FieldText(in);

    uint32_t value = 0x5EED;
    uint32_t expectedValue = 0x5EED;
    const THexFieldCheck result = CheckHexField(text, minimum, maximum, value);
    FUZZ_CHECK(result == Reference(text, minimum, maximum, expectedValue));
    FUZZ_CHECK(value == expectedValue);
    return 0;
}
