#pragma once

#include "board/JtagApi.h"
#include "fuzz/FuzzInput.h"

#include <cstdint>
#include <vector>

namespace fuzzsupport {

// A JTAG link behind the library's five entry points whose every answer comes from the fuzz input:
// whether it opens, the information record, which writes it takes, and for each request the bytes
// the board sends back (raw, or a frame built here that may be spoilt), how late, in what pieces,
// and what each read claims to have delivered. It owns the tick counter while it lives: every
// reading costs the step the input chose, every read one millisecond more. One link at a time.
class TScriptedLink {
public:
    explicit TScriptedLink(FuzzedDataProvider& input);
    ~TScriptedLink();
    TScriptedLink(const TScriptedLink&) = delete;
    TScriptedLink& operator=(const TScriptedLink&) = delete;

    // Entry points that reach the link alive at the time of the call.
    static TJtagApi Api();

    // Every byte that could be read after the last request was written: what was left of earlier
    // answers and the answer to this one, whether read or not.
    const std::vector<uint8_t>& OfferedSinceRequest() const { return offered; }
    // Whether a read since the last request claimed bytes it did not deliver; what the panel then
    // holds is not what the board sent.
    bool LiedSinceRequest() const { return lied; }

private:
    friend struct LinkCalls;

    uint32_t Open();
    int32_t Write(const uint8_t* bytes, uint32_t count);
    int32_t Read(uint8_t* buffer, uint32_t count);
    int32_t GetInfo(uint8_t* record);
    // Queues the board's answer to a request of this command.
    void Answer(uint8_t command);

    FuzzedDataProvider& input;
    uint32_t now;
    uint32_t step;
    uint32_t readyAt = 0; // the queued bytes become readable at this tick
    std::vector<uint8_t> queued;
    std::size_t readPos = 0;
    std::vector<uint8_t> offered;
    bool lied = false;
};

} // namespace fuzzsupport
