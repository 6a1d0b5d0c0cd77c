#include "board/TraceWriter.h"

#include "board/Protocol.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace jtagtrace {

namespace {

// A run of empty reads longer than this is recorded and a new one begun, so that a hang shows.
constexpr uint64_t EMPTY_RUN_MAX_NS = 1000000000;

bool WriteAll(int fd, const uint8_t* bytes, std::size_t count) {
    while (count != 0) {
        const ssize_t n = write(fd, bytes, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        count -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

uint64_t Now() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

TraceWriter::~TraceWriter() {
    FlushEmptyReads();
    if (fd >= 0)
        close(fd);
}

bool TraceWriter::Open(const std::string& file, std::string& error) {
    fd = open(file.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot write " + file + ": " + std::strerror(errno);
        return false;
    }
    // The lock keeps two processes that start one file at once from both writing the magic.
    flock(fd, LOCK_EX);
    struct stat status {};
    char magic[sizeof MAGIC] = {};
    bool ok = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (!ok)
        error = file + " is not a regular file";
    else if (status.st_size == 0)
        ok = WriteAll(fd, reinterpret_cast<const uint8_t*>(MAGIC), sizeof MAGIC);
    else if (pread(fd, magic, sizeof magic, 0) != static_cast<ssize_t>(sizeof magic) ||
             std::memcmp(magic, MAGIC, sizeof MAGIC) != 0) {
        ok = false;
        error = file + " holds something other than a JTAG trace; name a new file";
    }
    if (ok)
        size = static_cast<uint64_t>(status.st_size == 0 ? sizeof MAGIC : status.st_size);
    else if (error.empty())
        error = "cannot write " + file + ": " + std::strerror(errno);
    flock(fd, LOCK_UN);
    if (!ok) {
        close(fd);
        fd = -1;
        return false;
    }
    path = file;
    process = static_cast<uint32_t>(getpid());
    return true;
}

std::string TraceWriter::TakeFailure() {
    std::string taken;
    taken.swap(failure);
    return taken;
}

void TraceWriter::Opened(uint32_t handle, int32_t device, const std::string& description, uint64_t start,
                         uint64_t end) {
    Record record{Kind::Open, handle != 0, process, handle, static_cast<uint32_t>(device), 0, start, end, {}, {}, 0};
    const uint64_t wallClock = static_cast<uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count());
    for (int i = 0; i < 8; ++i)
        record.head.push_back(static_cast<uint8_t>(wallClock >> (8 * i)));
    record.head.insert(record.head.end(), description.begin(), description.end());
    record.count = static_cast<uint32_t>(record.head.size());
    Append(record);
}

void TraceWriter::Moved(Kind kind, uint32_t handle, bool ok, uint32_t asked, const uint8_t* bytes, uint32_t count,
                        uint64_t start, uint64_t end) {
    Record record{kind, ok, process, handle, asked, bytes == nullptr ? 0 : count, start, end, {}, {}, 0};
    if (record.count <= WHOLE_LIMIT) {
        record.head.assign(bytes, bytes + record.count);
    } else {
        record.head.assign(bytes, bytes + KEPT_HEAD);
        record.tail.assign(bytes + count - KEPT_TAIL, bytes + count);
        record.middleSum = FrameSum(bytes + KEPT_HEAD, count - KEPT_HEAD - KEPT_TAIL);
    }
    Append(record);
}

void TraceWriter::EmptyRead(uint32_t handle, uint64_t start, uint64_t end) {
    if (emptyReads.count != 0 && (emptyReads.handle != handle || end - emptyReads.start > EMPTY_RUN_MAX_NS))
        FlushEmptyReads();
    if (emptyReads.count == 0)
        emptyReads = Record{Kind::EmptyReads, true, process, handle, 0, 0, start, end, {}, {}, 0};
    ++emptyReads.count;
    emptyReads.end = end;
}

void TraceWriter::Closed(uint32_t handle, uint64_t at) {
    Append(Record{Kind::Close, true, process, handle, 0, 0, at, at, {}, {}, 0});
}

void TraceWriter::FlushEmptyReads() {
    if (emptyReads.count == 0)
        return;
    const Record run = emptyReads;
    emptyReads.count = 0;
    Append(run);
}

void TraceWriter::Append(const Record& record) {
    if (record.kind != Kind::EmptyReads)
        FlushEmptyReads();
    if (fd < 0 || stopped)
        return;
    const std::vector<uint8_t> bytes = Encode(record);
    if (size + bytes.size() + RECORD_HEAD_SIZE > limit) {
        stopped = true;
        const Record full{Kind::Full, true, process, record.handle, 0, 0, record.start, record.start, {}, {}, 0};
        WriteAll(fd, Encode(full).data(), RECORD_HEAD_SIZE);
        return;
    }
    if (!WriteAll(fd, bytes.data(), bytes.size())) {
        stopped = true;
        failure = "the trace " + path + " stops here: " + std::strerror(errno);
        return;
    }
    size += bytes.size();
}

} // namespace jtagtrace
