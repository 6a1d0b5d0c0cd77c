#include "board/TraceHooks.h"

#include "board/JtagApi.h"
#include "board/TraceWriter.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>

namespace jtagtrace {

namespace {

// The library's one trace. Destroyed when the library is unloaded, which ends the last run of empty
// reads and closes the file.
struct Tracer {
    std::mutex mutex;
    std::atomic<bool> on{false};
    std::unique_ptr<TraceWriter> writer;
    std::string refused; // the file last refused, said once

    // Follows $QX7MB_TRACE: a new file is opened, none ends the trace.
    void Follow() {
        const char* path = std::getenv("QX7MB_TRACE");
        std::lock_guard<std::mutex> guard(mutex);
        if (path == nullptr || *path == '\0') {
            writer.reset();
        } else if (!writer || writer->Path() != path) {
            writer = std::make_unique<TraceWriter>();
            std::string error;
            if (!writer->Open(path, error)) {
                writer.reset();
                if (refused != path)
                    std::fprintf(stderr, "%s: no trace: %s\n", JTAG_LIBRARY_NAME, error.c_str());
                refused = path;
            }
        }
        on = writer != nullptr;
    }

    template <typename Action> void With(Action action) {
        std::lock_guard<std::mutex> guard(mutex);
        if (!writer)
            return;
        action(*writer);
        const std::string failure = writer->TakeFailure();
        if (!failure.empty())
            std::fprintf(stderr, "%s: %s\n", JTAG_LIBRARY_NAME, failure.c_str());
    }
};

Tracer& TheTracer() {
    static Tracer tracer;
    return tracer;
}

} // namespace

OpenCall::OpenCall(int32_t device, const char* edition) : device(device), edition(edition) {
    TheTracer().Follow();
    if (TheTracer().on)
        start = Now();
}

OpenCall::~OpenCall() {
    if (!TheTracer().on)
        return;
    const uint64_t end = Now();
    TheTracer().With([&](TraceWriter& writer) { writer.Opened(handle, device, edition, start, end); });
}

TransferCall::TransferCall(bool write, uint32_t handle, const uint8_t* bytes, uint32_t count)
    : write(write), handle(handle), bytes(bytes), count(count) {
    if (TheTracer().on)
        start = Now();
}

TransferCall::~TransferCall() {
    if (!TheTracer().on || start == 0)
        return;
    const uint64_t end = Now();
    TheTracer().With([&](TraceWriter& writer) {
        if (write)
            writer.Moved(Kind::Write, handle, result != 0, count, bytes, count, start, end);
        else if (result > 0)
            writer.Moved(Kind::Read, handle, true, count, bytes, static_cast<uint32_t>(result), start, end);
        else
            writer.EmptyRead(handle, start, end);
    });
}

void Closed(uint32_t handle) {
    if (TheTracer().on)
        TheTracer().With([&](TraceWriter& writer) { writer.Closed(handle, Now()); });
}

} // namespace jtagtrace
