#pragma once

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <type_traits>
#include <vector>

// The part of libFuzzer's FuzzedDataProvider that the targets use, reading the input in exactly its
// order (bytes from the front, integers from the back), so that a seed or a saved finding is the same
// input to the fuzz build and to the replay of the normal build, which may have no clang.
class FuzzedDataProvider {
public:
    FuzzedDataProvider(const uint8_t* data, std::size_t size) : data(data), remaining(size) {}

    std::size_t remaining_bytes() const { return remaining; }

    // An integer from the input's last bytes, folded into [minimum, maximum]; minimum when none is left.
    template <typename T> T ConsumeIntegralInRange(T minimum, T maximum) {
        static_assert(std::is_integral_v<T> && sizeof(T) <= sizeof(uint64_t));
        if (minimum > maximum)
            std::abort();
        const uint64_t range = static_cast<uint64_t>(maximum) - static_cast<uint64_t>(minimum);
        uint64_t result = 0;
        for (std::size_t offset = 0; offset < sizeof(T) * CHAR_BIT && (range >> offset) > 0 && remaining != 0;
             offset += CHAR_BIT) {
            --remaining;
            result = (result << CHAR_BIT) | data[remaining];
        }
        if (range != std::numeric_limits<uint64_t>::max())
            result = result % (range + 1);
        return static_cast<T>(static_cast<uint64_t>(minimum) + result);
    }

    template <typename T> T ConsumeIntegral() {
        return ConsumeIntegralInRange(std::numeric_limits<T>::min(), std::numeric_limits<T>::max());
    }

    bool ConsumeBool() { return (ConsumeIntegral<uint8_t>() & 1) != 0; }

    // Up to count bytes from the front.
    template <typename T> std::vector<T> ConsumeBytes(std::size_t count) {
        static_assert(sizeof(T) == 1);
        count = std::min(count, remaining);
        std::vector<T> bytes(count);
        if (count != 0)
            std::memcpy(bytes.data(), data, count);
        Advance(count);
        return bytes;
    }

    template <typename T> std::vector<T> ConsumeRemainingBytes() { return ConsumeBytes<T>(remaining); }

    std::string ConsumeRemainingBytesAsString() {
        std::string text(reinterpret_cast<const char*>(data), remaining);
        Advance(remaining);
        return text;
    }

    // Characters from the front up to a lone backslash ("\\" stands for one backslash), the input's
    // end or maximum characters.
    std::string ConsumeRandomLengthString(std::size_t maximum) {
        std::string text;
        for (std::size_t i = 0; i < maximum && remaining != 0; ++i) {
            char next = static_cast<char>(data[0]);
            Advance(1);
            if (next == '\\' && remaining != 0) {
                next = static_cast<char>(data[0]);
                Advance(1);
                if (next != '\\')
                    break;
            }
            text += next;
        }
        return text;
    }

    std::string ConsumeRandomLengthString() { return ConsumeRandomLengthString(remaining); }

private:
    void Advance(std::size_t count) {
        data += count;
        remaining -= count;
    }

    const uint8_t* data;
    std::size_t remaining;
};
