#pragma once

#include <cstdint>

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
