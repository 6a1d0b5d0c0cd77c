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

// Request payload lengths of the commands that carry a fixed payload.
constexpr uint32_t REQUEST_LEN_SET_LEDS = 4;
constexpr uint32_t REQUEST_LEN_SEVEN_SEGMENT = 5;
constexpr uint32_t REQUEST_LEN_CONTROL = 3;

// The control command's payload is target, operation and value. The VGA output answers a probe
// (value 0) when a monitor can be driven; the VGA target's set-pattern takes the index of a test
// pattern of VgaPatterns.h.
constexpr uint8_t CONTROL_TARGET_VGA = 4;
constexpr uint8_t CONTROL_OP_SET_PATTERN = 2;
constexpr uint8_t CONTROL_TARGET_VGA_OUT = 5;
constexpr uint8_t CONTROL_OP_PROBE = 1;

// The board's LEDs, 7-segment digits, keys and switches, each numbered from 0 as printed on it
// (LEDR0, HEX0, KEY0, SW0). The LED command's mask has bit i for LEDR i, lit when set.
constexpr int LED_COUNT = 10;
constexpr uint32_t LED_MASK = (1u << LED_COUNT) - 1;

// The 7-segment command's digit word holds HEX k, a value from 0 to F, in bits 4k to 4k + 3.
constexpr int DIGIT_COUNT = 6;
constexpr int DIGIT_BITS = 4;
constexpr int DIGIT_VALUES = 1 << DIGIT_BITS;
constexpr uint32_t DIGIT_VALUE_MASK = DIGIT_VALUES - 1;
constexpr uint32_t DIGIT_WORD_MASK = (1u << (DIGIT_BITS * DIGIT_COUNT)) - 1;

constexpr uint32_t DigitOf(uint32_t word, int k) {
    return (word >> (DIGIT_BITS * k)) & DIGIT_VALUE_MASK;
}
// The word's bits of HEX k showing the value.
constexpr uint32_t DigitBits(uint32_t value, int k) {
    return (value & DIGIT_VALUE_MASK) << (DIGIT_BITS * k);
}

// The keys-and-switches reply carries a word of keys, bit i set while KEY i is pressed, and a word of
// switches, bit j set while SW j is on. Both front ends hold them as one value: the keys in bits 0
// to 3, the switches in bits 4 to 13.
constexpr int KEY_COUNT = 4;
constexpr uint32_t KEY_MASK = (1u << KEY_COUNT) - 1;
constexpr int SWITCH_COUNT = 10;
constexpr uint32_t SWITCH_MASK = (1u << SWITCH_COUNT) - 1;
constexpr uint32_t REPLY_KEYS_AT = 1;
constexpr uint32_t REPLY_SWITCHES_AT = 5;

constexpr uint32_t InputsValue(uint32_t keys, uint32_t switches) {
    return (switches & SWITCH_MASK) << KEY_COUNT | (keys & KEY_MASK);
}
constexpr uint32_t InputsKeys(uint32_t value) {
    return value & KEY_MASK;
}
constexpr uint32_t InputsSwitches(uint32_t value) {
    return (value >> KEY_COUNT) & SWITCH_MASK;
}
constexpr uint32_t KeyBit(int i) {
    return 1u << i;
}
constexpr uint32_t SwitchBit(int j) {
    return 1u << (KEY_COUNT + j);
}

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
