#include "vboard/FrameParser.h"

#include "board/Protocol.h"

#include <algorithm>
#include <cstring>

namespace vboard {

void FrameParser::Feed(const uint8_t* data, std::size_t count, const FrameHandler& onFrame) {
    // Nothing new cannot complete a frame; an empty chunk may come without a buffer at all.
    if (count == 0)
        return;
    if (pending.empty()) {
        // The usual case: whole frames in one chunk are handled where they lie, without a copy.
        const std::size_t used = Scan(data, count, onFrame);
        pending.assign(data + used, data + count);
        return;
    }
    pending.insert(pending.end(), data, data + count);
    const std::size_t used = Scan(pending.data(), pending.size(), onFrame);
    pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(used));
}

void FrameParser::Reset() {
    pending.clear();
    pending.shrink_to_fit();
    rejected = 0;
}

std::size_t FrameParser::Scan(const uint8_t* data, std::size_t count, const FrameHandler& onFrame) {
    std::size_t pos = 0;
    for (;;) {
        const uint8_t* start = static_cast<const uint8_t*>(std::memchr(data + pos, PKT_START, count - pos));
        if (start == nullptr)
            return count;
        pos = static_cast<std::size_t>(start - data);
        if (count - pos < PKT_HEAD_LEN)
            return pos;
        const uint32_t length = static_cast<uint32_t>(data[pos + 2]) | static_cast<uint32_t>(data[pos + 3]) << 8;
        if (length > PKT_PC2NIOS_MAX_PL_LEN) {
            ++rejected;
            ++pos;
            continue;
        }
        if (count - pos < length + PKT_OVERHEAD)
            return pos;
        const uint8_t* frame = data + pos;
        if (frame[length + PKT_OVERHEAD - 1] != PKT_END ||
            FrameSum(frame + 1, length + 3) != frame[length + PKT_HEAD_LEN]) {
            ++rejected;
            ++pos;
            continue;
        }
        onFrame(frame[1], frame + PKT_HEAD_LEN, length);
        pos += length + PKT_OVERHEAD;
    }
}

} // namespace vboard
