#pragma once

#include "board/JtagTrace.h"

#include <cstdint>
#include <string>

namespace jtagtrace {

// Appends the records of JTAG calls to one trace file, up to a size limit. Each record is one write
// on a file opened for appending, so that several processes tracing into the same file keep their
// records whole, and what was traced before a crash or a hang is in the file. Runs of reads that
// deliver nothing (the input drain, a wait for a reply) become one record each. Not thread-safe:
// its user serialises the calls.
class TraceWriter {
public:
    explicit TraceWriter(uint64_t sizeLimit = DEFAULT_SIZE_LIMIT) : limit(sizeLimit) {}
    ~TraceWriter();
    TraceWriter(const TraceWriter&) = delete;
    TraceWriter& operator=(const TraceWriter&) = delete;

    // Opens the file, creating it with the trace's magic; false with the reason when it cannot be
    // written or holds something other than a trace.
    bool Open(const std::string& path, std::string& error);
    const std::string& Path() const { return path; }
    // The reason the trace stopped short of its limit, once; empty otherwise.
    std::string TakeFailure();

    void Opened(uint32_t handle, int32_t device, const std::string& description, uint64_t start, uint64_t end);
    // A write or a read that moved bytes (bytes may be null when count is 0).
    void Moved(Kind kind, uint32_t handle, bool ok, uint32_t asked, const uint8_t* bytes, uint32_t count,
               uint64_t start, uint64_t end);
    void EmptyRead(uint32_t handle, uint64_t start, uint64_t end);
    void Closed(uint32_t handle, uint64_t at);

private:
    void Append(const Record& record);
    void FlushEmptyReads();

    uint64_t limit;
    int fd = -1;
    std::string path;
    uint64_t size = 0;
    bool stopped = false;
    std::string failure;
    uint32_t process = 0;
    Record emptyReads; // the run under way; count 0 when none
};

// The monotonic clock the records' times come from, in ns.
uint64_t Now();

} // namespace jtagtrace
