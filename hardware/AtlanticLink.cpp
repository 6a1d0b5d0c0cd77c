#include "hardware/AtlanticLink.h"

#include "board/JtagApi.h"
#include "hardware/Report.h"
#include "platform/Clock.h"

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
// A write whose bytes the library takes none of for this long has lost its board.
constexpr uint32_t WRITE_STALL_LIMIT_MS = 5000;
constexpr auto WRITE_WAIT = std::chrono::microseconds(200);
// The JTAG server lets go of a closed link a moment after the close returned: for this long a link
// held under this program's own name is taken for such a one, and asked for again.
constexpr uint32_t OWN_RELEASE_LIMIT_MS = 2000;
// The JTAG server needs a moment to see the UART of a design just configured.
constexpr uint32_t NEW_UART_LIMIT_MS = 5000;
constexpr auto OPEN_RETRY_WAIT = std::chrono::milliseconds(100);

// A refusal of an open, as the library tells it.
struct Refusal {
    JATL_ERROR error = JTAL_SUCCESS;
    std::string info;
};

// Opens the UART; a refusal because this program's own link is still held is asked again until the
// limit. Null, with the refusal, when it cannot.
JTAGATLANTIC* TryOpen(const JtagAtlanticLibrary& library, const JtagTarget& target, Refusal& refusal) {
    const uint32_t start = platform::GetTickCount();
    for (;;) {
        JTAGATLANTIC* link = library.jtagatlantic_open(target.cable.c_str(), target.device, target.instance, APP_NAME);
        if (link != nullptr)
            return link;
        const char* otherInfo = nullptr;
        refusal.error = library.jtagatlantic_get_error(&otherInfo);
        refusal.info = otherInfo != nullptr ? otherInfo : "";
        if (refusal.error != JTAL_IN_USE || refusal.info != APP_NAME ||
            platform::GetTickCount() - start >= OWN_RELEASE_LIMIT_MS)
            return nullptr;
        std::this_thread::sleep_for(OPEN_RETRY_WAIT);
    }
}

// What each refusal of an open means to the user and what to do: the text before and after the
// cable's name.
struct RefusalText {
    JATL_ERROR error;
    const char* before;
    const char* after;
};
constexpr const char* CABLE_CHECK = "; check that the udev rule lets this user open the USB-Blaster, that jtagconfig "
                                    "lists the cable and that the board's power is on";
constexpr const char* UART_SETTINGS = "QX7MB_JTAG_DEVICE (1 is the first device jtagconfig lists on the cable) and "
                                      "QX7MB_JTAG_INSTANCE (0 is the device's first JTAG UART)";
constexpr RefusalText REFUSAL_TEXTS[] = {
    {JTAL_NO_SERVER, "cannot reach the JTAG server jtagd for ",
     ": it is not running or not reachable by this user; run jtagconfig, which starts it, and check that it lists "
     "the cable (a jtagd left running by another user or started before the udev rule may need stopping first)"},
    {JTAL_CABLE_NOT_UNIQUE, "several JTAG cables fit ",
     ": set QX7MB_CABLE (board 0) or QX7MB_CABLE_N (board N) to one cable's name as jtagconfig prints it"},
    {JTAL_CABLE_NOT_AVAILABLE, "no JTAG ", ": plug the USB-Blaster in"},
    {JTAL_CABLE_NOT_PLUGGED, "JTAG ", " is not plugged in: plug the USB-Blaster in"},
    {JTAL_NO_BOARD, "JTAG ", " reaches no board: switch the board's power on and put the cable in its JTAG socket"},
    {JTAL_UART_NOT_UNIQUE, "the FPGA on ", " has several JTAG UARTs: pick the control-panel design's with "},
    {JTAL_NO_UART, "the FPGA on ",
     " has no JTAG UART: it does not run the control-panel design (as before it is configured)"},
    {JTAL_UART_INCOMPATIBLE, "the JTAG UART on ",
     " is not compatible with this Quartus's libjtag_atlantic.so: use a Quartus release no older than the one the "
     "design was built with"},
};

// Why an open failed, in the user's words, with what to do.
std::string DescribeRefusal(const Refusal& refusal, const JtagTarget& target) {
    const std::string on = CableText(target.cable);
    if (refusal.error == JTAL_IN_USE)
        return AtlanticLink::InUseText(target.cable, refusal.info) + ": close it and connect again";
    std::string text = "cannot open the JTAG link on " + on + " (error " + std::to_string(refusal.error) + ")";
    for (const RefusalText& known : REFUSAL_TEXTS) {
        if (known.error == refusal.error)
            text = known.before + on + known.after;
    }
    switch (refusal.error) {
    case JTAL_CABLE_NOT_AVAILABLE:
    case JTAL_CABLE_NOT_PLUGGED:
    case JTAL_NO_BOARD:
        text += CABLE_CHECK;
        break;
    case JTAL_UART_NOT_UNIQUE:
        text += UART_SETTINGS;
        break;
    case JTAL_NO_UART:
        text +=
            std::string(target.device == -1 && target.instance == -1 ? "; on a chain of several, set " : "; check ") +
            UART_SETTINGS;
        break;
    default:
        break;
    }
    return refusal.info.empty() ? text : text + " (" + refusal.info + ")";
}

} // namespace

std::unique_ptr<AtlanticLink> AtlanticLink::Open(const JtagAtlanticLibrary& library, const JtagTarget& target) {
    Refusal refusal;
    JTAGATLANTIC* link = TryOpen(library, target, refusal);
    if (link == nullptr) {
        ReportFailure(JTAG_LIBRARY_NAME, DescribeRefusal(refusal, target));
        return nullptr;
    }
    return std::make_unique<AtlanticLink>(library, link, target.cable);
}

bool AtlanticLink::HeldElsewhere(const JtagAtlanticLibrary& library, const JtagTarget& target, std::string& holder) {
    Refusal refusal;
    JTAGATLANTIC* link = TryOpen(library, target, refusal);
    if (link != nullptr) {
        library.jtagatlantic_close(link);
        return false;
    }
    if (refusal.error != JTAL_IN_USE)
        return false;
    holder = refusal.info;
    return true;
}

void AtlanticLink::AwaitUart(const JtagAtlanticLibrary& library, const JtagTarget& target) {
    const uint32_t start = platform::GetTickCount();
    Refusal refusal;
    for (;;) {
        JTAGATLANTIC* link = TryOpen(library, target, refusal);
        if (link != nullptr) {
            library.jtagatlantic_close(link);
            return;
        }
        if (refusal.error != JTAL_NO_UART || platform::GetTickCount() - start >= NEW_UART_LIMIT_MS)
            return;
        std::this_thread::sleep_for(OPEN_RETRY_WAIT);
    }
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
    uint32_t progress = platform::GetTickCount();
    while (sent < count) {
        const int taken = library.jtagatlantic_write(link, data + sent, count - sent);
        if (taken < 0) {
            Break("broke while sending");
            return false;
        }
        if (taken > 0) {
            sent += std::min(static_cast<uint32_t>(taken), count - sent);
            progress = platform::GetTickCount();
            continue;
        }
        // The library's buffer is full: its own thread sends it on as the board reads.
        if (platform::GetTickCount() - progress > WRITE_STALL_LIMIT_MS) {
            Break("takes no more bytes");
            return false;
        }
        std::this_thread::sleep_for(WRITE_WAIT);
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
