#include "vboard/Firmware.h"

#include "board/Protocol.h"
#include "board/VgaPatterns.h"

#include <algorithm>
#include <cstring>

namespace vboard {

namespace {

constexpr uint8_t STATUS_OK = 0;
constexpr uint8_t STATUS_BAD_REQUEST = 1;
constexpr uint8_t STATUS_NO_CARD = 2;
constexpr uint8_t STATUS_BAD_ADDRESS = 3;
constexpr uint8_t STATUS_REFUSED = 4;

constexpr uint8_t STALE_BYTE = 0x00;

uint32_t GetU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

void PutU32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

} // namespace

void Firmware::Receive(FrameParser& parser, const uint8_t* data, std::size_t count, std::vector<uint8_t>& out) {
    parser.Feed(data, count, [&](uint8_t command, const uint8_t* payload, uint32_t length) {
        Execute(command, payload, length, out);
    });
}

void Firmware::Execute(uint8_t command, const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out) {
    if (faults.silent)
        return;
    switch (command) {
    case CMD_QUERY_BOARD_NAME:
        QueryName(out);
        break;
    case CMD_PING:
        ReplyStatus(command, STATUS_OK, out);
        break;
    case CMD_SET_LEDS:
        if (length != REQUEST_LEN_SET_LEDS)
            return ReplyStatus(command, STATUS_BAD_REQUEST, out);
        leds = GetU32(payload) & LED_MASK;
        ReplyStatus(command, STATUS_OK, out);
        break;
    case CMD_READ_KEYS_SWITCHES:
        KeysAndSwitches(out);
        break;
    case CMD_SET_SEVEN_SEGMENT:
        if (length != REQUEST_LEN_SEVEN_SEGMENT)
            return ReplyStatus(command, STATUS_BAD_REQUEST, out);
        digits = GetU32(payload) & DIGIT_WORD_MASK;
        ReplyStatus(command, STATUS_OK, out);
        break;
    case CMD_READ_SDCARD_INFO:
        SdCardInfo(out);
        break;
    case CMD_MEMORY_WRITE:
        MemoryWrite(payload, length, out);
        break;
    case CMD_MEMORY_READ:
        MemoryRead(payload, length, out);
        break;
    case CMD_SEND_CONTROL:
        Control(payload, length, out);
        break;
    default:
        ReplyStatus(command, STATUS_BAD_REQUEST, out);
        break;
    }
}

void Firmware::ResetOutputs() {
    leds = 0;
    digits = 0;
    vgaPattern = NO_PATTERN;
    sdram.Clear();
    faults.sdram = {};
}

void Firmware::Reply(uint8_t command, const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out) {
    const std::size_t at = BeginReply(command, length, out);
    if (length != 0)
        std::memcpy(&out[at], payload, length);
    FinishReply(at, length, out);
}

std::size_t Firmware::BeginReply(uint8_t command, uint32_t length, std::vector<uint8_t>& out) {
    if (faults.floodBytes != 0) {
        out.insert(out.end(), faults.floodBytes, STALE_BYTE);
        faults.floodBytes = 0;
    }
    const std::size_t at = out.size();
    out.resize(at + length + PKT_OVERHEAD);
    out[at] = PKT_START;
    out[at + 1] = command;
    out[at + 2] = static_cast<uint8_t>(length);
    out[at + 3] = static_cast<uint8_t>(length >> 8);
    return at + PKT_HEAD_LEN;
}

void Firmware::FinishReply(std::size_t payloadAt, uint32_t length, std::vector<uint8_t>& out) {
    out[payloadAt + length] = FrameSum(&out[payloadAt - 3], length + 3);
    out[payloadAt + length + 1] = PKT_END;
    if (faults.wrongChecksum) {
        out[payloadAt + length] = static_cast<uint8_t>(out[payloadAt + length] + 1);
        faults.wrongChecksum = false;
    }
    if (faults.wrongEcho) {
        out[payloadAt - 3] ^= 0x80;
        faults.wrongEcho = false;
    }
}

void Firmware::ReplyStatus(uint8_t command, uint8_t status, std::vector<uint8_t>& out) {
    Reply(command, &status, 1, out);
}

void Firmware::QueryName(std::vector<uint8_t>& out) {
    uint8_t reply[REPLY_LEN_BOARD_NAME] = {};
    const std::string& name = faults.nameOverride ? faults.name : std::string(EXPECTED_BOARD_NAME);
    std::memcpy(reply + 1, name.data(), std::min<std::size_t>(name.size(), BOARD_NAME_LEN));
    Reply(CMD_QUERY_BOARD_NAME, reply, sizeof reply, out);
}

void Firmware::KeysAndSwitches(std::vector<uint8_t>& out) {
    uint8_t reply[REPLY_LEN_KEYS_SWITCHES] = {};
    PutU32(reply + REPLY_KEYS_AT, keys & KEY_MASK);
    PutU32(reply + REPLY_SWITCHES_AT, switches & SWITCH_MASK);
    Reply(CMD_READ_KEYS_SWITCHES, reply, sizeof reply, out);
}

void Firmware::SdCardInfo(std::vector<uint8_t>& out) {
    uint8_t reply[REPLY_LEN_SDCARD_INFO] = {};
    if (!card.present) {
        reply[0] = STATUS_NO_CARD;
    } else {
        std::memcpy(reply + 1, card.csd.data(), card.csd.size());
        std::memcpy(reply + 18, card.cid.data(), card.cid.size());
        reply[35] = card.fileSystem;
        reply[36] = card.highCapacity ? 1 : 0;
    }
    Reply(CMD_READ_SDCARD_INFO, reply, sizeof reply, out);
}

void Firmware::MemoryWrite(const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out) {
    if (length < MEM_WRITE_HEADER_LEN || payload[0] != MEM_TYPE_SDRAM)
        return ReplyStatus(CMD_MEMORY_WRITE, STATUS_BAD_REQUEST, out);
    const uint32_t address = GetU32(payload + 1);
    const uint32_t count = length - MEM_WRITE_HEADER_LEN;
    const bool ok = sdram.Write(address, payload + MEM_WRITE_HEADER_LEN, count, faults.sdram);
    ReplyStatus(CMD_MEMORY_WRITE, ok ? STATUS_OK : STATUS_BAD_ADDRESS, out);
}

void Firmware::MemoryRead(const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out) {
    if (length != MEM_READ_REQUEST_LEN)
        return ReplyStatus(CMD_MEMORY_READ, STATUS_BAD_REQUEST, out);
    const uint32_t address = GetU32(payload + 1);
    const uint32_t count = GetU32(payload + 5);
    // A count that no reply frame can carry gets a bare status.
    if (count > MEM_READ_CHUNK_MAX)
        return ReplyStatus(CMD_MEMORY_READ, STATUS_BAD_REQUEST, out);
    // The reply is built in place: status, then the data straight out of the SDRAM.
    const std::size_t at = BeginReply(CMD_MEMORY_READ, 1 + count, out);
    uint8_t status = STATUS_BAD_REQUEST;
    if (payload[0] == MEM_TYPE_SDRAM)
        status = sdram.Read(address, &out[at + 1], count, faults.sdram) ? STATUS_OK : STATUS_BAD_ADDRESS;
    if (status != STATUS_OK)
        std::memset(&out[at + 1], 0, count);
    out[at] = status;
    FinishReply(at, 1 + count, out);
}

void Firmware::Control(const uint8_t* payload, uint32_t length, std::vector<uint8_t>& out) {
    if (length != REQUEST_LEN_CONTROL)
        return ReplyStatus(CMD_SEND_CONTROL, STATUS_BAD_REQUEST, out);
    const uint8_t target = payload[0];
    const uint8_t operation = payload[1];
    const uint8_t value = payload[2];
    uint8_t status = STATUS_BAD_REQUEST;
    if (target == CONTROL_TARGET_VGA && operation == CONTROL_OP_SET_PATTERN && value < VGA_PATTERN_COUNT) {
        vgaPattern = value;
        status = STATUS_OK;
    } else if (target == CONTROL_TARGET_VGA_OUT && operation == CONTROL_OP_PROBE) {
        status = faults.refuseVgaProbe ? STATUS_REFUSED : STATUS_OK;
    }
    ReplyStatus(CMD_SEND_CONTROL, status, out);
}

} // namespace vboard
