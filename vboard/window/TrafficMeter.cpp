#include "vboard/window/TrafficMeter.h"

namespace vboard {

void TrafficMeter::Sample(uint64_t bytes, int64_t milliseconds) {
    // A reading at the same moment as the last one (or earlier) carries no time to divide by.
    if (sampled && milliseconds <= lastMilliseconds)
        return;
    if (sampled)
        rate = (bytes - lastBytes) * 1000 / static_cast<uint64_t>(milliseconds - lastMilliseconds);
    sampled = true;
    lastBytes = bytes;
    lastMilliseconds = milliseconds;
}

} // namespace vboard
