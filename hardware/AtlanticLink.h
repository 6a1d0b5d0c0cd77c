#pragma once

#include "hardware/JtagAtlanticLibrary.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

namespace hardware {

// One open JTAG UART link through libjtag_atlantic: whole-block writes, reads that return what is
// there after a short wait at most, and the text that names the link. A link that broke (the library
// gave a negative count) says so once on standard error and fails every later call without asking
// the library again.
class AtlanticLink {
public:
    // Opens the JTAG UART of the board on the cable; null, after one line on standard error saying
    // why, when it cannot.
    static std::unique_ptr<AtlanticLink> Open(const JtagAtlanticLibrary& library, const std::string& cable);
    // True when another program holds the JTAG UART of the board on the cable; holder is then what
    // the library says of that program (may be empty). Says nothing: a board without a JTAG UART (one
    // not yet configured) or without power is simply not held.
    static bool HeldElsewhere(const JtagAtlanticLibrary& library, const std::string& cable, std::string& holder);
    // "the board's JTAG UART on CABLE is in use by HOLDER", the start of a message.
    static std::string InUseText(const std::string& cable, const std::string& holder);

    AtlanticLink(const JtagAtlanticLibrary& library, JTAGATLANTIC* link, const std::string& cable);
    // Closes the link.
    ~AtlanticLink();
    AtlanticLink(const AtlanticLink&) = delete;
    AtlanticLink& operator=(const AtlanticLink&) = delete;

    // True when the library took the whole block and flushed it.
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
