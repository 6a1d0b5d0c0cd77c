// The firmware's frame finder: a byte stream cut into chunks at places the input chooses gives the
// frames and the rejections that a plain reference scan of the whole stream finds, and never keeps
// more than one frame's bytes waiting. The frame sum is checked against a byte-by-byte sum too.
#include "board/Protocol.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "vboard/FrameParser.h"

#include <algorithm>
#include <vector>

namespace {

struct Frame {
    uint8_t command;
    std::vector<uint8_t> payload;
    bool operator==(const Frame&) const = default;
};

uint8_t PlainSum(const uint8_t* bytes, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum);
}

// Every start marker begins a candidate; a bad one costs only its marker. Returns where the bytes
// still waiting for the rest of a frame begin.
std::size_t ReferenceScan(const std::vector<uint8_t>& s, std::vector<Frame>& frames, uint32_t& rejected) {
    std::size_t pos = 0;
    while (pos < s.size()) {
        if (s[pos] != PKT_START) {
            ++pos;
            continue;
        }
        if (s.size() - pos < PKT_HEAD_LEN)
            return pos;
        const std::size_t length = s[pos + 2] | s[pos + 3] << 8;
        if (length > PKT_PC2NIOS_MAX_PL_LEN) {
            ++rejected;
            ++pos;
            continue;
        }
        if (s.size() - pos < length + PKT_OVERHEAD)
            return pos;
        if (s[pos + length + 5] != PKT_END || PlainSum(&s[pos + 1], length + 3) != s[pos + length + 4]) {
            ++rejected;
            ++pos;
            continue;
        }
        frames.push_back({s[pos + 1], std::vector<uint8_t>(&s[pos + 4], &s[pos + 4] + length)});
        pos += length + PKT_OVERHEAD;
    }
    return s.size();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FUZZ_CHECK(FrameSum(data, static_cast<uint32_t>(size)) == PlainSum(data, size));

    FuzzedDataProvider in(data, size);
    // Chunk lengths from the end of the input, the stream from its start.
    std::vector<std::size_t> cuts;
    for (int i = in.ConsumeIntegralInRange(0, 16); i > 0; --i)
        cuts.push_back(in.ConsumeIntegralInRange<std::size_t>(0, 512));
    const std::vector<uint8_t> stream = in.ConsumeRemainingBytes<uint8_t>();

    std::vector<Frame> expected;
    uint32_t expectedRejected = 0;
    const std::size_t waiting = stream.size() - ReferenceScan(stream, expected, expectedRejected);

    vboard::FrameParser parser;
    std::vector<Frame> found;
    const auto onFrame = [&](uint8_t command, const uint8_t* payload, uint32_t length) {
        found.push_back({command, std::vector<uint8_t>(payload, payload + length)});
    };
    std::size_t pos = 0;
    for (std::size_t i = 0; pos < stream.size(); ++i) {
        const std::size_t n = i < cuts.size() ? std::min(cuts[i], stream.size() - pos) : stream.size() - pos;
        parser.Feed(stream.data() + pos, n, onFrame);
        pos += n;
        FUZZ_CHECK(parser.Buffered() < PKT_PC2NIOS_MAX_PL_LEN + PKT_OVERHEAD);
    }
    FUZZ_CHECK(found == expected);
    FUZZ_CHECK(parser.Rejected() == expectedRejected);
    FUZZ_CHECK(parser.Buffered() == waiting);

    parser.Reset();
    FUZZ_CHECK(parser.Buffered() == 0 && parser.Rejected() == 0);
    return 0;
}
