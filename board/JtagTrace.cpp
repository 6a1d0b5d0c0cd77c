#include "board/JtagTrace.h"

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace jtagtrace {

namespace {

template <typename T> void Put(std::vector<uint8_t>& out, std::size_t at, T value) {
    for (std::size_t i = 0; i < sizeof(T); ++i)
        out[at + i] = static_cast<uint8_t>(static_cast<uint64_t>(value) >> (8 * i));
}

template <typename T> T Get(const uint8_t* in) {
    uint64_t value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<uint64_t>(in[i]) << (8 * i);
    return static_cast<T>(value);
}

} // namespace

std::vector<uint8_t> Encode(const Record& record) {
    const bool sum = record.LeftOut() != 0;
    std::vector<uint8_t> out(RECORD_HEAD_SIZE + record.head.size() + record.tail.size() + (sum ? 1 : 0));
    out[0] = static_cast<uint8_t>(record.kind);
    out[1] = record.ok ? 1 : 0;
    Put<uint16_t>(out, 2, static_cast<uint16_t>(record.head.size()));
    Put<uint16_t>(out, 4, static_cast<uint16_t>(record.tail.size()));
    Put(out, 8, record.process);
    Put(out, 12, record.handle);
    Put(out, 16, record.asked);
    Put(out, 20, record.count);
    Put(out, 24, record.start);
    Put(out, 32, record.end);
    uint8_t* data = out.data() + RECORD_HEAD_SIZE;
    std::copy(record.head.begin(), record.head.end(), data);
    std::copy(record.tail.begin(), record.tail.end(), data + record.head.size());
    if (sum)
        out.back() = record.middleSum;
    return out;
}

bool ReadTrace(const std::string& path, TraceFile& trace, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (!ParseTrace(bytes, trace)) {
        error = path + " is not a JTAG trace (QX7MB_TRACE writes them)";
        return false;
    }
    return true;
}

bool ParseTrace(const std::vector<uint8_t>& bytes, TraceFile& trace) {
    if (bytes.size() < sizeof MAGIC || std::memcmp(bytes.data(), MAGIC, sizeof MAGIC) != 0)
        return false;
    trace = {};
    std::size_t at = sizeof MAGIC;
    while (at < bytes.size()) {
        const uint8_t* head = bytes.data() + at;
        if (bytes.size() - at < RECORD_HEAD_SIZE) {
            trace.truncated = true;
            break;
        }
        Record record;
        record.kind = static_cast<Kind>(head[0]);
        record.ok = head[1] != 0;
        const uint16_t headLength = Get<uint16_t>(head + 2);
        const uint16_t tailLength = Get<uint16_t>(head + 4);
        record.process = Get<uint32_t>(head + 8);
        record.handle = Get<uint32_t>(head + 12);
        record.asked = Get<uint32_t>(head + 16);
        record.count = Get<uint32_t>(head + 20);
        record.start = Get<uint64_t>(head + 24);
        record.end = Get<uint64_t>(head + 32);
        const bool wellFormed =
            record.kind >= Kind::Open && record.kind <= Kind::Full && head[1] <= 1 && Get<uint16_t>(head + 6) == 0;
        const std::size_t kept = static_cast<std::size_t>(headLength) + tailLength;
        const bool moves = record.kind == Kind::Write || record.kind == Kind::Read;
        // Bytes kept beyond a call's count spoil the record: nothing after it can be trusted.
        const bool fits = !moves || kept <= record.count;
        const bool sum = moves && fits && kept < record.count;
        const std::size_t size = RECORD_HEAD_SIZE + kept + (sum ? 1 : 0);
        if (!wellFormed || !fits || bytes.size() - at < size) {
            trace.truncated = true;
            break;
        }
        const uint8_t* data = head + RECORD_HEAD_SIZE;
        record.head.assign(data, data + headLength);
        record.tail.assign(data + headLength, data + kept);
        if (sum)
            record.middleSum = data[kept];
        trace.records.push_back(std::move(record));
        at += size;
    }
    return true;
}

} // namespace jtagtrace
