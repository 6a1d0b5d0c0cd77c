// The JTAG trace's reader and decoder, on any bytes after the trace's magic: every record read encodes
// back to exactly the bytes it was read from, and the decoder accounts for every byte the records
// moved: each is in a frame, a frame cut short, a stray run or a run the trace did not keep, or in a
// write the library refused.
#include "board/JtagTrace.h"
#include "board/Protocol.h"
#include "board/TraceDecoder.h"
#include "fuzz/FuzzCheck.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Copied in place: GCC takes an insert after the magic for a write past its end.
    std::vector<uint8_t> bytes(sizeof jtagtrace::MAGIC + size);
    std::memcpy(bytes.data(), jtagtrace::MAGIC, sizeof jtagtrace::MAGIC);
    if (size != 0)
        std::memcpy(bytes.data() + sizeof jtagtrace::MAGIC, data, size);
    jtagtrace::TraceFile trace;
    FUZZ_CHECK(jtagtrace::ParseTrace(bytes, trace));

    std::vector<uint8_t> encoded(jtagtrace::MAGIC, jtagtrace::MAGIC + sizeof jtagtrace::MAGIC);
    uint64_t moved = 0;
    uint64_t refused = 0;
    for (const jtagtrace::Record& record : trace.records) {
        const std::vector<uint8_t> one = jtagtrace::Encode(record);
        encoded.insert(encoded.end(), one.begin(), one.end());
        const bool write = record.kind == jtagtrace::Kind::Write;
        if (write && !record.ok)
            refused += record.count;
        else if (write || record.kind == jtagtrace::Kind::Read)
            moved += record.count;
    }
    FUZZ_CHECK(encoded.size() <= bytes.size());
    FUZZ_CHECK(std::memcmp(encoded.data(), bytes.data(), encoded.size()) == 0);
    FUZZ_CHECK(trace.truncated == (encoded.size() != bytes.size()));

    const uint64_t gap = size == 0 ? 1 : data[0] * 1000u + 1;
    const jtagtrace::TraceDecoding decoding = jtagtrace::DecodeTrace(trace, gap);
    uint64_t accounted = 0;
    uint64_t refusedSeen = 0;
    for (const jtagtrace::TraceLink& link : decoding.links) {
        for (const jtagtrace::TraceEvent& event : link.events) {
            switch (event.type) {
            case jtagtrace::TraceEvent::Type::Frame:
                accounted += event.length + PKT_OVERHEAD;
                break;
            case jtagtrace::TraceEvent::Type::Incomplete:
            case jtagtrace::TraceEvent::Type::Stray:
            case jtagtrace::TraceEvent::Type::NotRecorded:
                accounted += event.bytes;
                break;
            case jtagtrace::TraceEvent::Type::WriteRefused:
                refusedSeen += event.bytes;
                break;
            default:
                break;
            }
        }
    }
    FUZZ_CHECK(accounted == moved);
    FUZZ_CHECK(refusedSeen == refused);
    return 0;
}
