#pragma once

#include <cstdint>

// The trace hooks of the exports of VELDARA_JTAG.DLL, both editions. While $QX7MB_TRACE names a file
// (read at every open), each call is appended to it. A call object records its call when the export
// returns: with the result handed to Result, or as a failure (0) when it returned without one.
// Without a trace a hook costs one test of a flag.
namespace jtagtrace {

class OpenCall {
public:
    OpenCall(int32_t device, const char* edition);
    ~OpenCall();
    OpenCall(const OpenCall&) = delete;
    OpenCall& operator=(const OpenCall&) = delete;
    uint32_t Result(uint32_t opened) {
        handle = opened;
        return opened;
    }

private:
    int32_t device;
    const char* edition;
    uint64_t start = 0;
    uint32_t handle = 0;
};

// A write (bytes handed over) or a read (bytes delivered into the buffer).
class TransferCall {
public:
    TransferCall(bool write, uint32_t handle, const uint8_t* bytes, uint32_t count);
    ~TransferCall();
    TransferCall(const TransferCall&) = delete;
    TransferCall& operator=(const TransferCall&) = delete;
    int32_t Result(int32_t value) {
        result = value;
        return value;
    }

private:
    bool write;
    uint32_t handle;
    const uint8_t* bytes;
    uint32_t count;
    uint64_t start = 0;
    int32_t result = 0;
};

struct WriteCall : TransferCall {
    WriteCall(uint32_t handle, const uint8_t* bytes, uint32_t count) : TransferCall(true, handle, bytes, count) {}
};
struct ReadCall : TransferCall {
    ReadCall(uint32_t handle, const uint8_t* buffer, uint32_t count) : TransferCall(false, handle, buffer, count) {}
};

void Closed(uint32_t handle);

} // namespace jtagtrace
