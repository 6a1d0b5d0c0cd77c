#include "hardware/AtlanticLink.h"

#include "board/JtagApi.h"
#include "hardware/JtagCable.h"
#include "hardware/Report.h"

#include <algorithm>
#include <sched.h>
#include <thread>

namespace hardware {

namespace {

// The name the link is opened under; jtagconfig and other programs that find the board in use see it.
constexpr const char* APP_NAME = "QX7-MB";
// A read that finds nothing waits this long for bytes, as the panel's read loops expect of the
// library: long enough not to spin a core, short against the panel's 1 ms drain reads.
constexpr auto READ_WAIT = std::chrono::microseconds(200);
// For this long after a write the reply is due: a read that finds nothing polls again at once
// (yielding the processor between polls) instead of sleeping, so that the reply is taken the moment
// it arrives. After it, an idle link costs no processor time.
constexpr auto REPLY_WATCH = std::chrono::milliseconds(2);
// A write that makes no progress for this long has lost its board.
constexpr auto WRITE_STALL_LIMIT = std::chrono::seconds(5);
constexpr auto WRITE_WAIT = std::chrono::microseconds(200);

// What each refusal of an open means to the user: the text before and after the cable's name.
struct OpenRefusal {
    JATL_ERROR error;
    const char* before;
    const char* after;
};
constexpr const char* NO_CABLE =
    ": is the USB-Blaster plugged in, is jtagd running, and does jtagconfig list the cable?";
constexpr OpenRefusal OPEN_REFUSALS[] = {
    {JTAL_CABLE_NOT_EXISTING, "no JTAG ", NO_CABLE},
    {JTAL_CABLE_NOT_CONNECTED_HOST, "no JTAG ", NO_CABLE},
    {JTAL_CABLE_NOT_CONNECTED_BOARD, "JTAG ",
     " reaches no board: is the board switched on and the cable in its JTAG socket?"},
    {JTAL_CABLE_NOT_UNIQUE, "JTAG ",
     " fits several cables: set QX7MB_CABLE to one cable's name as jtagconfig prints it"},
    {JTAL_NODE_NOT_EXISTING, "the FPGA on ",
     " has no JTAG UART: it does not run the control-panel design (as before it is configured)"},
    {JTAL_NODE_NOT_UNIQUE, "the FPGA on ", " has several JTAG UARTs: it does not run the control-panel design"},
    {JTAL_HW_BROKEN, "the JTAG hardware of ",
     " reports a fault: unplug the cable, plug it in again and check that jtagconfig lists it"},
};

// Why an open failed, in the user's words, from the library's error code and its other information
// (for a link in use, the program that holds it).
std::string DescribeOpenFailure(JATL_ERROR error, const char* otherInfo, const std::string& cable) {
    const std::string on = CableText(cable);
    const std::string info = otherInfo != nullptr ? otherInfo : "";
    if (error == JTAL_IN_USE)
        return AtlanticLink::InUseText(cable, info) + ": close it and connect again";
    std::string text = "cannot open the JTAG link on " + on + " (error " + std::to_string(error) + ")";
    for (const OpenRefusal& refusal : OPEN_REFUSALS) {
        if (refusal.error == error)
            text = refusal.before + on + refusal.after;
    }
    return info.empty() ? text : text + " (" + info + ")";
}

} // namespace

std::unique_ptr<AtlanticLink> AtlanticLink::Open(const JtagAtlanticLibrary& library, const std::string& cable) {
    JTAGATLANTIC* link = library.jtagatlantic_open(cable.c_str(), -1, -1, APP_NAME);
    if (link == nullptr) {
        const char* otherInfo = nullptr;
        const JATL_ERROR error = library.jtagatlantic_get_error(&otherInfo);
        ReportFailure(JTAG_LIBRARY_NAME, DescribeOpenFailure(error, otherInfo, cable));
        return nullptr;
    }
    return std::make_unique<AtlanticLink>(library, link, cable);
}

bool AtlanticLink::HeldElsewhere(const JtagAtlanticLibrary& library, const std::string& cable, std::string& holder) {
    JTAGATLANTIC* link = library.jtagatlantic_open(cable.c_str(), -1, -1, APP_NAME);
    if (link != nullptr) {
        library.jtagatlantic_close(link);
        return false;
    }
    const char* otherInfo = nullptr;
    if (library.jtagatlantic_get_error(&otherInfo) != JTAL_IN_USE)
        return false;
    holder = otherInfo != nullptr ? otherInfo : "";
    return true;
}

std::string AtlanticLink::InUseText(const std::string& cable, const std::string& holder) {
    return "the board's JTAG UART on " + CableText(cable) + " is in use by " +
           (holder.empty() ? "another program (nios2-terminal, System Console?)" : holder);
}

AtlanticLink::AtlanticLink(const JtagAtlanticLibrary& library, JTAGATLANTIC* link, const std::string& cable)
    : library(library), link(link), cable(cable) {}

AtlanticLink::~AtlanticLink() {
    library.jtagatlantic_close(link);
}

bool AtlanticLink::Write(const uint8_t* bytes, uint32_t count) {
    if (broken)
        return false;
    const char* data = reinterpret_cast<const char*>(bytes);
    uint32_t sent = 0;
    auto progress = Clock::now();
    while (sent < count) {
        const int taken = library.jtagatlantic_write(link, data + sent, count - sent);
        if (taken < 0) {
            Break("broke while sending");
            return false;
        }
        if (taken > 0) {
            sent += std::min(static_cast<uint32_t>(taken), count - sent);
            progress = Clock::now();
            continue;
        }
        // Nothing taken: the library's buffer is full. Push it out and try again shortly.
        if (Clock::now() - progress > WRITE_STALL_LIMIT) {
            Break("takes no more bytes");
            return false;
        }
        if (library.jtagatlantic_flush(link) < 0) {
            Break("broke while sending");
            return false;
        }
        std::this_thread::sleep_for(WRITE_WAIT);
    }
    if (library.jtagatlantic_flush(link) < 0) {
        Break("broke while sending");
        return false;
    }
    replyDue = Clock::now() + REPLY_WATCH;
    return true;
}

uint32_t AtlanticLink::Read(uint8_t* buffer, uint32_t count) {
    if (broken || count == 0)
        return 0;
    const auto start = Clock::now();
    const bool watching = start < replyDue;
    for (;;) {
        const int got = library.jtagatlantic_read(link, reinterpret_cast<char*>(buffer), count);
        if (got < 0) {
            Break("broke while receiving");
            return 0;
        }
        if (got > 0) {
            replyDue = {};
            return std::min(static_cast<uint32_t>(got), count);
        }
        if (Clock::now() - start >= READ_WAIT)
            return 0;
        if (watching)
            sched_yield();
        else
            std::this_thread::sleep_for(READ_WAIT);
    }
}

bool AtlanticLink::Describe(std::string& text) const {
    if (broken)
        return false;
    const char* chain = nullptr;
    int device = -1;
    int instance = -1;
    library.jtagatlantic_get_info(link, &chain, &device, &instance);
    text = (chain != nullptr && *chain != '\0' ? std::string(chain) : CableText(cable)) + ", device " +
           std::to_string(device) + ", JTAG UART " + std::to_string(instance);
    return true;
}

void AtlanticLink::Break(const std::string& what) {
    broken = true;
    ReportFailure(JTAG_LIBRARY_NAME, "the JTAG link on " + CableText(cable) + " " + what +
                                         " (cable pulled out or board switched off?): connect again");
}

} // namespace hardware
