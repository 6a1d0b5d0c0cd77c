#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

namespace vboard {

// Finds request frames in the byte stream of the JTAG link, whatever chunks the bytes arrive in:
// AA, command, 16-bit little-endian length, payload, 8-bit sum of command, length and payload, 55.
//
// A candidate frame whose length exceeds the request limit, whose checksum is wrong or whose end
// marker is not 55 is not answered. The firmware drops only its start marker and hunts for the next
// AA from the byte after it, so a frame hidden inside the rejected bytes is still found and a single
// corrupted byte never costs more than the frame it is in. Bytes before a start marker are skipped.
class FrameParser {
public:
    using FrameHandler = std::function<void(uint8_t command, const uint8_t* payload, uint32_t length)>;

    void Feed(const uint8_t* data, std::size_t count, const FrameHandler& onFrame);
    void Reset();
    // Frames dropped for a bad length, checksum or end marker since the last Reset.
    uint32_t Rejected() const { return rejected; }
    std::size_t Buffered() const { return pending.size(); }

private:
    // Handles every complete frame in [data, data + count); returns how many bytes were used up.
    std::size_t Scan(const uint8_t* data, std::size_t count, const FrameHandler& onFrame);

    std::vector<uint8_t> pending;
    uint32_t rejected = 0;
};

} // namespace vboard
