#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>

// The packet protocol between the panel and the control-panel firmware: frame markers, limits and
// command codes. A frame is AA, command, 16-bit little-endian payload length, payload, 8-bit sum of
// command, length and payload, 55.
constexpr uint8_t PKT_START = 0xAA;
constexpr uint8_t PKT_END = 0x55;
constexpr uint32_t PKT_HEAD_LEN = 4;
constexpr uint32_t PKT_OVERHEAD = 6;
constexpr uint32_t PKT_PC2NIOS_MAX_PL_LEN = 32768 - 20;

constexpr uint8_t CMD_QUERY_BOARD_NAME = 0x00;
constexpr uint8_t CMD_PING = 0x01;
constexpr uint8_t CMD_SET_LEDS = 0x05;
constexpr uint8_t CMD_READ_KEYS_SWITCHES = 0x06;
constexpr uint8_t CMD_SET_SEVEN_SEGMENT = 0x07;
constexpr uint8_t CMD_READ_SDCARD_INFO = 0x08;
constexpr uint8_t CMD_MEMORY_WRITE = 0x0C;
constexpr uint8_t CMD_MEMORY_READ = 0x0D;
constexpr uint8_t CMD_SEND_CONTROL = 0x15;

// The command's name, as the board object's operation that sends it; null for a code no part of the
// panel sends.
inline const char* CommandName(uint8_t command) {
    switch (command) {
    case CMD_QUERY_BOARD_NAME:
        return "QueryBoardName";
    case CMD_PING:
        return "Ping";
    case CMD_SET_LEDS:
        return "SetLeds";
    case CMD_READ_KEYS_SWITCHES:
        return "ReadKeysAndSwitches";
    case CMD_SET_SEVEN_SEGMENT:
        return "SetSevenSegment";
    case CMD_READ_SDCARD_INFO:
        return "ReadSdCardInfo";
    case CMD_MEMORY_WRITE:
        return "MemoryWrite";
    case CMD_MEMORY_READ:
        return "MemoryRead";
    case CMD_SEND_CONTROL:
        return "SendControl";
    }
    return nullptr;
}

// Reply payload lengths; byte 0 of every reply payload is the status, 0 meaning success.
constexpr uint32_t BOARD_NAME_LEN = 32;
constexpr uint32_t REPLY_LEN_STATUS = 1;
constexpr uint32_t REPLY_LEN_BOARD_NAME = 1 + BOARD_NAME_LEN;
constexpr uint32_t REPLY_LEN_KEYS_SWITCHES = 13;
constexpr uint32_t REPLY_LEN_SDCARD_INFO = 37;

// Memory chunks: a write carries type and address (5 bytes) before its data; a read reply carries
// the status byte before its data.
constexpr uint32_t MEM_WRITE_HEADER_LEN = 5;
constexpr uint32_t MEM_READ_REQUEST_LEN = 9;
constexpr uint32_t MEM_WRITE_CHUNK_MAX = PKT_PC2NIOS_MAX_PL_LEN - MEM_WRITE_HEADER_LEN;
constexpr uint32_t MEM_READ_CHUNK_MAX = PKT_PC2NIOS_MAX_PL_LEN - 1;

constexpr uint8_t MEM_TYPE_EPCS = 3;
constexpr uint8_t MEM_TYPE_SDRAM = 5;
constexpr uint32_t SDRAM_SIZE = 0x4000000;

constexpr const char* EXPECTED_BOARD_NAME = "TZ8";

// The modulo-256 sum of a frame's bytes, eight bytes at a time: the bytes at even and at odd offsets
// are added in four 16-bit lanes, which are folded into the sum before one can overflow into the next
// (128 x 2 x 255 < 65536). Frames are summed whole on both sides of the link, up to 32 KiB each.
inline uint8_t FrameSum(const uint8_t* bytes, uint32_t count) {
    constexpr uint64_t LANES = 0x00FF00FF00FF00FFull;
    constexpr uint32_t WORDS_PER_FOLD = 128;
    uint32_t sum = 0;
    uint32_t i = 0;
    while (count - i >= 8) {
        const uint32_t end = i + std::min((count - i) / 8, WORDS_PER_FOLD) * 8;
        uint64_t lanes = 0;
        for (; i < end; i += 8) {
            uint64_t word;
            std::memcpy(&word, bytes + i, sizeof word);
            lanes += (word & LANES) + ((word >> 8) & LANES);
        }
        sum += static_cast<uint32_t>((lanes & 0xFFFF) + ((lanes >> 16) & 0xFFFF) + ((lanes >> 32) & 0xFFFF) +
                                     (lanes >> 48));
    }
    for (; i < count; ++i)
        sum += bytes[i];
    return static_cast<uint8_t>(sum);
}
