#pragma once

#include "vboard/FrameParser.h"
#include "vboard/SdCard.h"
#include "vboard/Sdram.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vboard {

// Ways a test can make the firmware misbehave. The one-shot ones apply to the next reply only.
struct Faults {
    bool nameOverride = false;
    std::string name;
    bool silent = false;
    uint32_t delayMs = 0;
    bool wrongChecksum = false;
    bool wrongEcho = false;
    uint32_t floodBytes = 0;
    bool refuseVgaProbe = false;
    SdramLineFaults sdram;
};

// The control-panel firmware of the QX7-MB board and the board's peripherals: it takes request frames
// and appends reply frames, for every command the panel sends. No I/O of its own.
class Firmware {
public:
    static constexpr int NO_PATTERN = -1;

    // Bytes from the link; replies to every complete frame are appended to out.
    void Receive(FrameParser& parser, const uint8_t* data, std::size_t count, std::vector<uint8_t>& out);
    // One request frame's command and payload; its reply (if any) is appended to out.
    void Execute(uint8_t command, const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out);

    // Power cycle: the outputs, the SDRAM and its line faults are cleared; keys, switches and the card
    // are physical.
    void ResetOutputs();

    uint32_t leds = 0;
    uint32_t digits = 0;
    uint32_t keys = 0;
    uint32_t switches = 0;
    int vgaPattern = NO_PATTERN;
    SdCard card = SdCard::Sdhc();
    Sdram sdram;
    Faults faults;

private:
    void Reply(uint8_t command, const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out);
    // Appends the head of a reply (after any stale bytes asked for) and returns the payload's offset.
    std::size_t BeginReply(uint8_t command, uint32_t length, std::vector<uint8_t>& out);
    // Appends checksum and end marker to a payload already in place, spoilt when a fault asks for it.
    void FinishReply(std::size_t payloadAt, uint32_t length, std::vector<uint8_t>& out);
    void ReplyStatus(uint8_t command, uint8_t status, std::vector<uint8_t>& out);
    void QueryName(std::vector<uint8_t>& out);
    void KeysAndSwitches(std::vector<uint8_t>& out);
    void SdCardInfo(std::vector<uint8_t>& out);
    void MemoryWrite(const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out);
    void MemoryRead(const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out);
    void Control(const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out);
};

} // namespace vboard
