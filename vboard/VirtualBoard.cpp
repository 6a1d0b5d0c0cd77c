#include "vboard/VirtualBoard.h"

#include "vboard/Bitstream.h"

namespace vboard {

VirtualBoard::VirtualBoard(bool configured) {
    if (configured) {
        this->configured = true;
        design = Bitstream::CONTROL_PANEL_DESIGN;
    }
}

bool VirtualBoard::Configure(const std::string& path, std::string& designOut, std::string& error) {
    // The file is read and checked outside the lock: the link goes on being served meanwhile.
    Bitstream bitstream;
    if (!Bitstream::Load(path, bitstream, error))
        return false;
    {
        std::lock_guard<std::mutex> guard(mutex);
        configured = true;
        design = bitstream.design;
        // A freshly configured design starts with its outputs dark, like after power-up.
        firmware.leds = 0;
        firmware.digits = 0;
        firmware.vgaPattern = Firmware::NO_PATTERN;
    }
    designOut = bitstream.design;
    Notify();
    return true;
}

void VirtualBoard::Reset() {
    {
        std::lock_guard<std::mutex> guard(mutex);
        configured = false;
        design.clear();
        firmware.ResetOutputs();
    }
    Notify();
}

void VirtualBoard::ReceiveJtag(FrameParser& parser, const uint8_t* data, std::size_t count, std::vector<uint8_t>& out,
                               uint32_t& delayMs) {
    bool changed = false;
    {
        std::lock_guard<std::mutex> guard(mutex);
        delayMs = firmware.faults.delayMs;
        const std::size_t before = out.size();
        jtagBytes += count;
        // Without the control-panel design nothing on the FPGA listens: the bytes are lost.
        if (!configured || design != Bitstream::CONTROL_PANEL_DESIGN) {
            parser.Reset();
            return;
        }
        const uint32_t leds = firmware.leds;
        const uint32_t digits = firmware.digits;
        const int pattern = firmware.vgaPattern;
        firmware.Receive(parser, data, count, out);
        jtagBytes += out.size() - before;
        changed = leds != firmware.leds || digits != firmware.digits || pattern != firmware.vgaPattern;
    }
    if (changed)
        Notify();
}

void VirtualBoard::Change(const std::function<void(Firmware&)>& change) {
    {
        std::lock_guard<std::mutex> guard(mutex);
        change(firmware);
    }
    Notify();
}

void VirtualBoard::Inspect(const std::function<void(const Firmware&)>& inspect) const {
    std::lock_guard<std::mutex> guard(mutex);
    inspect(firmware);
}

BoardSnapshot VirtualBoard::Snapshot() const {
    std::lock_guard<std::mutex> guard(mutex);
    BoardSnapshot s;
    s.configured = configured;
    s.design = design;
    s.linkOpen = linksOpen > 0;
    s.leds = firmware.leds;
    s.digits = firmware.digits;
    s.keys = firmware.keys;
    s.switches = firmware.switches;
    s.sdProfile = firmware.card.profile;
    s.vgaPattern = firmware.vgaPattern;
    s.sdramFaults = firmware.faults.sdram;
    s.jtagBytes = jtagBytes;
    return s;
}

void VirtualBoard::SetLinksOpen(int count) {
    {
        std::lock_guard<std::mutex> guard(mutex);
        if (linksOpen == count)
            return;
        linksOpen = count;
    }
    Notify();
}

void VirtualBoard::RequestDrop() {
    {
        std::lock_guard<std::mutex> guard(mutex);
        dropRequested = true;
    }
    Notify();
}

bool VirtualBoard::TakeDropRequest() {
    std::lock_guard<std::mutex> guard(mutex);
    const bool requested = dropRequested;
    dropRequested = false;
    return requested;
}

int VirtualBoard::AddListener(std::function<void()> listener) {
    std::lock_guard<std::mutex> guard(listenerMutex);
    listeners.emplace_back(nextListenerId, std::move(listener));
    return nextListenerId++;
}

void VirtualBoard::RemoveListener(int id) {
    std::lock_guard<std::mutex> guard(listenerMutex);
    std::erase_if(listeners, [id](const auto& entry) { return entry.first == id; });
}

void VirtualBoard::Notify() {
    std::lock_guard<std::mutex> guard(listenerMutex);
    for (const auto& entry : listeners)
        entry.second();
}

} // namespace vboard
