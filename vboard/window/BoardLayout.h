#pragma once

#include "board/Protocol.h"

#include <QRect>

namespace vboard {

// Where each part of the board sits in the board view, in pixels from its top-left corner. Index 0 of
// a row is always the part with number 0 (LEDR0, HEX0, KEY0, SW0), which is the rightmost, as printed
// on the board.
namespace layout {

inline constexpr int WIDTH = 800;
inline constexpr int HEIGHT = 480;

inline QRect Board() {
    return {8, 8, WIDTH - 16, HEIGHT - 16};
}
inline QRect Chip() {
    return {40, 56, 120, 120};
}
inline QRect SdSlot() {
    return {200, 56, 130, 96};
}
inline QRect JtagHeader() {
    return {200, 172, 60, 22};
}
inline QRect Monitor() {
    return {470, 26, 300, 196};
}
// The monitor's picture area, where the VGA output shows.
inline QRect Screen() {
    return {486, 38, 268, 168};
}
inline QRect Digit(int k) {
    return {40 + 50 * (DIGIT_COUNT - 1 - k), 262, 40, 59};
}
inline QRect Led(int i) {
    return {362 + 38 * (LED_COUNT - 1 - i), 270, 14, 26};
}
inline QRect Switch(int j) {
    return {40 + 38 * (SWITCH_COUNT - 1 - j), 372, 19, 63};
}
inline QRect Key(int i) {
    return {470 + 72 * (KEY_COUNT - 1 - i), 382, 44, 44};
}

} // namespace layout

} // namespace vboard
