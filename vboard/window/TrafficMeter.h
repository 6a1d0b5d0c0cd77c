#pragma once

#include <cstdint>

namespace vboard {

// Turns readings of an ever-growing byte counter into a rate: bytes per second between the last two
// readings.
class TrafficMeter {
public:
    void Sample(uint64_t bytes, int64_t milliseconds);
    uint64_t BytesPerSecond() const { return rate; }

private:
    bool sampled = false;
    uint64_t lastBytes = 0;
    int64_t lastMilliseconds = 0;
    uint64_t rate = 0;
};

} // namespace vboard
