#pragma once

#include "board/JtagTrace.h"

#include <cstdint>
#include <string>
#include <vector>

namespace jtagtrace {

// One thing a trace shows on a link. Times are of the monotonic clock, in ns.
struct TraceEvent {
    enum class Type {
        Opened,
        OpenFailed,
        Closed,
        Frame,        // a whole frame: start marker, command, length, payload, checksum, end marker
        Incomplete,   // a frame cut short: by the link's end, or by bytes the trace did not keep
        Stray,        // bytes outside any frame
        NotRecorded,  // bytes outside any frame that the trace summed instead of keeping
        Gap,          // no bytes moved for at least the gap asked for
        WriteRefused, // the library did not take a write
    };
    enum class Checksum { Ok, Bad };

    Type type = Type::Frame;
    uint64_t time = 0;
    bool fromBoard = false;
    uint8_t command = 0;
    uint32_t length = 0; // Frame, Incomplete (once its head is known): the payload length
    uint32_t bytes = 0;  // Stray, NotRecorded, WriteRefused: the bytes; Incomplete: those that came; Gap: empty reads
    Checksum checksum = Checksum::Ok;
    uint8_t checksumByte = 0;    // Frame: the checksum sent
    uint8_t sum = 0;             // Frame: the checksum of what came
    std::vector<uint8_t> sample; // Frame: the first payload bytes; Stray: the first bytes
    uint64_t end = 0;            // Frame: when its last byte moved
    uint64_t duration = 0;       // Gap: its length
    int64_t replyAfter = -1;     // a board's frame: ns since the host's last frame, -1 when none came before
};

struct TraceLink {
    uint32_t process = 0;
    uint32_t handle = 0;
    int32_t device = -1;
    std::string edition;
    uint64_t wallClock = 0; // ns since 1970 at the open, 0 when the trace holds no open
    uint64_t opened = 0;    // the times of the link's events count from here
    std::vector<TraceEvent> events;
};

struct TraceDecoding {
    std::vector<TraceLink> links;
    bool full = false;      // the trace reached its size limit
    bool truncated = false; // the file ends inside a record
};

// Finds the frames in both directions of every link of a trace, the bytes outside them, and the
// pauses of at least gapNs.
TraceDecoding DecodeTrace(const TraceFile& trace, uint64_t gapNs);

} // namespace jtagtrace
