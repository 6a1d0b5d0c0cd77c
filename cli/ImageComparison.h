#pragma once

#include <cstdint>

namespace cli {

// Compares the pieces of memory read back with the image they should hold, piece by piece as they
// arrive: counts the differing bytes and keeps the first one's offset.
class ImageComparison {
public:
    explicit ImageComparison(const uint8_t* expected) : expected(expected) {}

    void Compare(uint32_t offset, const uint8_t* bytes, uint32_t count);

    uint64_t Differences() const { return differences; }
    // Meaningful only when there are differences.
    uint32_t FirstDifference() const { return first; }

private:
    const uint8_t* expected;
    uint64_t differences = 0;
    uint32_t first = 0;
};

} // namespace cli
