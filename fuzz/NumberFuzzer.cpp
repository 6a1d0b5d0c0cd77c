// The command-line tool's numbers (addresses, lengths, masks): any text, with or without the K and M
// suffixes, gives the verdict and value of a plain reference reading that counts in 128 bits, so
// that no value can wrap unseen; a refused text always has its reason.
#include "cli/Numbers.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"

#include <cctype>
#include <cstdint>
#include <string>

namespace {

// Wide enough that no 64-bit value times 16, or times 1048576, can wrap.
__extension__ typedef unsigned __int128 Wide;

int DigitValue(char c, int base) {
    const int value = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                      : std::isxdigit(static_cast<unsigned char>(c))
                          ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                          : -1;
    return value < base ? value : -1;
}

bool Reference(std::string text, bool suffixes, uint64_t& value) {
    Wide scale = 1;
    if (suffixes && !text.empty() && std::string("kKmM").find(text.back()) != std::string::npos) {
        scale = std::toupper(static_cast<unsigned char>(text.back())) == 'K' ? 1024 : 1024 * 1024;
        text.pop_back();
    }
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.erase(0, 2);
    }
    if (text.empty())
        return false;
    Wide number = 0;
    for (const char c : text) {
        const int digit = DigitValue(c, base);
        if (digit < 0)
            return false;
        number = number * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (number > UINT64_MAX)
            return false;
    }
    number *= scale;
    if (number > UINT64_MAX)
        return false;
    value = static_cast<uint64_t>(number);
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool suffixes = in.ConsumeBool();
    const std::string text = in.ConsumeRemainingBytesAsString();
    uint64_t value = 0x5EED;
    std::string error;
    const bool taken = cli::ParseNumber(text, suffixes, value, error);
    uint64_t expected = 0x5EED;
    FUZZ_CHECK(taken == Reference(text, suffixes, expected));
    FUZZ_CHECK(value == expected);
    FUZZ_CHECK(taken == error.empty());
    return 0;
}
