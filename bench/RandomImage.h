#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

// A memory image of pseudo-random bytes (xorshift64), the same at every run; size a multiple of 8.
inline std::vector<uint8_t> RandomImage(std::size_t size) {
    std::vector<uint8_t> image(size);
    uint64_t state = 88172645463325252ull;
    for (std::size_t i = 0; i + 8 <= image.size(); i += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(&image[i], &state, 8);
    }
    return image;
}
