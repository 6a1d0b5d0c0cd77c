#pragma once

#include <cstdint>

// The test patterns that the control-panel firmware puts out on the VGA connector, in the order the
// panel lists them; a pattern's index is its code in the firmware's VGA control command.
//
// A solid pattern fills the screen with one colour. A scale pattern is a grid of VGA_SCALE_ROWS rows
// of VGA_SCALE_COLUMNS cells whose level rises by 16 from cell to cell, wrapping at 256; each row
// shows its level in the channels of its colour.
constexpr int VGA_PATTERN_COUNT = 9;
constexpr int VGA_SCALE_ROWS = 4;
constexpr int VGA_SCALE_COLUMNS = 40;

struct VgaRgb {
    uint8_t r;
    uint8_t g;
    uint8_t b;
    friend bool operator==(const VgaRgb&, const VgaRgb&) = default;
};

struct VgaPattern {
    const char* name;
    bool scale;
    VgaRgb rows[VGA_SCALE_ROWS]; // a solid pattern's colour, or the channels of each scale row
};

constexpr VgaRgb VGA_RED{255, 0, 0};
constexpr VgaRgb VGA_GREEN{0, 128, 0};
constexpr VgaRgb VGA_BLUE{0, 0, 255};
constexpr VgaRgb VGA_WHITE{255, 255, 255};
constexpr VgaRgb VGA_BLACK{0, 0, 0};

constexpr VgaPattern VGA_PATTERNS[VGA_PATTERN_COUNT] = {
    {"Color Scale", true, {VGA_RED, VGA_GREEN, VGA_BLUE, VGA_WHITE}},
    {"Red", false, {VGA_RED, VGA_RED, VGA_RED, VGA_RED}},
    {"Green", false, {VGA_GREEN, VGA_GREEN, VGA_GREEN, VGA_GREEN}},
    {"Blue", false, {VGA_BLUE, VGA_BLUE, VGA_BLUE, VGA_BLUE}},
    {"White", false, {VGA_WHITE, VGA_WHITE, VGA_WHITE, VGA_WHITE}},
    {"Black", false, {VGA_BLACK, VGA_BLACK, VGA_BLACK, VGA_BLACK}},
    {"Red Scale", true, {VGA_RED, VGA_RED, VGA_RED, VGA_RED}},
    {"Green Scale", true, {VGA_GREEN, VGA_GREEN, VGA_GREEN, VGA_GREEN}},
    {"Blue Scale", true, {VGA_BLUE, VGA_BLUE, VGA_BLUE, VGA_BLUE}},
};

constexpr bool IsVgaPattern(int pattern) {
    return pattern >= 0 && pattern < VGA_PATTERN_COUNT;
}

// The colour of a pattern's grid cell; a solid pattern has the same colour in every cell.
constexpr VgaRgb VgaCellColour(int pattern, int row, int column) {
    const VgaPattern& p = VGA_PATTERNS[pattern];
    const VgaRgb channels = p.rows[row];
    if (!p.scale)
        return channels;
    const auto level = static_cast<uint8_t>((16 * column) % 256);
    return {channels.r != 0 ? level : uint8_t{0}, channels.g != 0 ? level : uint8_t{0},
            channels.b != 0 ? level : uint8_t{0}};
}
