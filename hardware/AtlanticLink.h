#pragma once

#include "hardware/JtagAtlanticLibrary.h"
#include "hardware/JtagCable.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace hardware {

// One open JTAG UART link through libjtag_atlantic: whole-block writes, reads that return what is
// there after a short wait at most, and the text that names the link. No call waits longer than the
// link's own limits: the library's flush, which has none, is never called. A link that broke (the
// library gave a negative count) says so once on standard error and fails every later call without
// asking the library again.
class AtlanticLink {
public:
    // Opens the board's JTAG UART; null, after one line on standard error saying why and what to do,
    // when it cannot. This program's own link, closed moments ago and not yet let go by the JTAG
    // server, is waited out briefly.
    static std::unique_ptr<AtlanticLink> Open(const JtagAtlanticLibrary& library, const JtagTarget& target);
    // True when another program holds the board's JTAG UART; holder is then what the library says of
    // that program (may be empty). Says nothing: a board without a JTAG UART (one not yet configured)
    // or without power is simply not held, nor is one held by this program's link closed moments ago.
    static bool HeldElsewhere(const JtagAtlanticLibrary& library, const JtagTarget& target, std::string& holder);
    // Right after a configuration: waits, quietly and for a few seconds at most, until the JTAG server
    // sees the new design's JTAG UART.
    static void AwaitUart(const JtagAtlanticLibrary& library, const JtagTarget& target);
    // "the board's JTAG UART on CABLE is in use by HOLDER", the start of a message.
    static std::string InUseText(const std::string& cable, const std::string& holder);

    AtlanticLink(const JtagAtlanticLibrary& library, JTAGATLANTIC* link, const std::string& cable);
    // Closes the link.
    ~AtlanticLink();
    AtlanticLink(const AtlanticLink&) = delete;
    AtlanticLink& operator=(const AtlanticLink&) = delete;

    // True when the library took the whole block; false when it broke or took nothing for the stall
    // limit (a board that reads nothing).
    bool Write(const uint8_t* bytes, uint32_t count);
    // The bytes there now, up to count; with none there it waits a fraction of a millisecond for some.
    uint32_t Read(uint8_t* buffer, uint32_t count);
    // The cable, device and JTAG UART instance the library reports for the link; false once broken.
    bool Describe(std::string& text) const;

private:
    using Clock = std::chrono::steady_clock;

    void Break(const std::string& what);

    const JtagAtlanticLibrary& library;
    JTAGATLANTIC* link;
    std::string cable;
    bool broken = false;
    // Until then a reply to the last write is due, and reads that find nothing poll back to back.
    Clock::time_point replyDue{};
};

} // namespace hardware
