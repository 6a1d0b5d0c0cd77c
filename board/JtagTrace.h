#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The JTAG trace: what both editions of VELDARA_JTAG.DLL append to $QX7MB_TRACE, and what
// "qx7mb trace" reads. A file is the magic, then records, each a 40-byte head (little-endian) and
// its data:
//   0 kind, 1 ok, 2 head length (16 bits), 4 tail length (16 bits), 6 zero (16 bits), 8 process,
//   12 link handle, 16 asked, 20 count, 24 start and 32 end of the call (ns, CLOCK_MONOTONIC),
// then the head bytes, the tail bytes and, when head and tail leave bytes out, their 8-bit sum.
// A call moving up to WHOLE_LIMIT bytes is kept whole; a longer one (a memory chunk) keeps its
// first and last bytes and the sum of the rest: enough to decode its frame and check its checksum.
namespace jtagtrace {

constexpr char MAGIC[8] = {'Q', 'X', '7', 'M', 'B', 'T', 'R', '1'};
constexpr uint32_t RECORD_HEAD_SIZE = 40;
constexpr uint32_t WHOLE_LIMIT = 256;
constexpr uint32_t KEPT_HEAD = 64;
constexpr uint32_t KEPT_TAIL = 32;
// The file grows no further than this: an exchange of a memory chunk costs about 270 bytes, so 64 MiB
// holds some 250000 exchanges, 60 times a whole SDRAM written and verified.
constexpr uint64_t DEFAULT_SIZE_LIMIT = 64ull << 20;

enum class Kind : uint8_t {
    // A link opened (ok) or not: asked is the device number; the head is the wall-clock time
    // (ns since 1970, 8 bytes) and the edition's description.
    Open = 1,
    Close = 2,
    // Bytes handed to the library; ok when it took them all.
    Write = 3,
    // Bytes the library delivered: count of asked.
    Read = 4,
    // A run of reads that delivered nothing: count is the number of calls, start and end span them.
    EmptyReads = 5,
    // The size limit was reached: nothing later is recorded.
    Full = 6,
};

struct Record {
    Kind kind = Kind::Open;
    bool ok = false;
    uint32_t process = 0;
    uint32_t handle = 0;
    uint32_t asked = 0;
    uint32_t count = 0;
    uint64_t start = 0;
    uint64_t end = 0;
    std::vector<uint8_t> head;
    std::vector<uint8_t> tail;
    uint8_t middleSum = 0; // of the bytes between head and tail

    // The bytes of a write or read that are summed instead of kept.
    uint32_t LeftOut() const {
        const bool moves = kind == Kind::Write || kind == Kind::Read;
        return moves ? count - static_cast<uint32_t>(head.size() + tail.size()) : 0;
    }
};

// The encoded record: head, data.
std::vector<uint8_t> Encode(const Record& record);

struct TraceFile {
    std::vector<Record> records;
    bool truncated = false; // the file ends inside a record
};

// Reads a trace; false with the reason when the file cannot be read or is not a trace.
bool ReadTrace(const std::string& path, TraceFile& trace, std::string& error);
// The records of a trace file's bytes; false when they do not start with the magic.
bool ParseTrace(const std::vector<uint8_t>& bytes, TraceFile& trace);

} // namespace jtagtrace
