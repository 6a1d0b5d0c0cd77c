#include "cli/ImageComparison.h"

#include <cstring>

namespace cli {

void ImageComparison::Compare(uint32_t offset, const uint8_t* bytes, uint32_t count) {
    const uint8_t* want = expected + offset;
    // Equal pieces, by far the most common, cost one memcmp.
    if (std::memcmp(bytes, want, count) == 0)
        return;
    for (uint32_t i = 0; i < count; ++i) {
        if (bytes[i] != want[i]) {
            if (differences++ == 0)
                first = offset + i;
        }
    }
}

} // namespace cli
