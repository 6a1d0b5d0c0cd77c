#pragma once

#include "vboard/Firmware.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace vboard {

// What a window or a state dump shows of the board, copied out under the lock.
struct BoardSnapshot {
    bool configured = false;
    std::string design;
    bool linkOpen = false;
    uint32_t leds = 0;
    uint32_t digits = 0;
    uint32_t keys = 0;
    uint32_t switches = 0;
    std::string sdProfile;
    int vgaPattern = Firmware::NO_PATTERN;
    SdramLineFaults sdramFaults;
    // Bytes carried by the JTAG links in both directions since the server started.
    uint64_t jtagBytes = 0;
};

// The whole virtual board: the FPGA's configuration state and the firmware with its peripherals,
// behind one mutex. Every change made through it is announced to the listeners (after the lock is
// released), so that the socket service and a board window can follow from their own threads.
class VirtualBoard {
public:
    explicit VirtualBoard(bool configured);

    // Configures the FPGA from a bitstream file. The firmware runs only when the design is the
    // control-panel design; any other valid design leaves the link silent.
    bool Configure(const std::string& path, std::string& design, std::string& error);
    // Power cycle: unconfigured, outputs and SDRAM cleared; keys, switches and card stay.
    void Reset();

    // Bytes that arrived on a JTAG link; reply bytes are appended to out, with the delay to apply.
    void ReceiveJtag(FrameParser& parser, const uint8_t* data, std::size_t count, std::vector<uint8_t>& out,
                     uint32_t& delayMs);

    // Runs a change of the firmware's state under the lock, then tells the listeners.
    void Change(const std::function<void(Firmware&)>& change);
    // Runs a read of the firmware's state under the lock.
    void Inspect(const std::function<void(const Firmware&)>& inspect) const;
    BoardSnapshot Snapshot() const;

    void SetLinksOpen(int count);
    // Asks the socket service to close every JTAG link at once.
    void RequestDrop();
    bool TakeDropRequest();

    // Called from whichever thread made a change, never with the board's lock held. Returns an id
    // for RemoveListener; once that returns, the listener is not running and never runs again.
    int AddListener(std::function<void()> listener);
    void RemoveListener(int id);

private:
    void Notify();

    mutable std::mutex mutex;
    Firmware firmware;
    bool configured = false;
    std::string design;
    int linksOpen = 0;
    uint64_t jtagBytes = 0;
    bool dropRequested = false;
    std::mutex listenerMutex;
    std::vector<std::pair<int, std::function<void()>>> listeners;
    int nextListenerId = 0;
};

} // namespace vboard
