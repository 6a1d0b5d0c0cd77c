#pragma once

#include "vboard/VirtualBoard.h"

#include <QImage>
#include <QPainter>
#include <array>
#include <cstdint>

namespace vboard {

// Draws the board from above in the panel's dark style: the FPGA with its configuration state, the
// JTAG header with its traffic, the SD card slot, the VGA monitor, the digits, LEDs, switches and keys.
class BoardPainter {
public:
    BoardPainter();

    void Paint(QPainter& painter, const BoardSnapshot& state, uint64_t bytesPerSecond) const;

private:
    void PaintChip(QPainter& painter, const BoardSnapshot& state) const;
    void PaintJtag(QPainter& painter, const BoardSnapshot& state, uint64_t bytesPerSecond) const;
    void PaintSdSlot(QPainter& painter, const BoardSnapshot& state) const;
    void PaintMonitor(QPainter& painter, const BoardSnapshot& state) const;
    void PaintDigits(QPainter& painter, const BoardSnapshot& state) const;
    void PaintLeds(QPainter& painter, const BoardSnapshot& state) const;
    void PaintSwitches(QPainter& painter, const BoardSnapshot& state) const;
    void PaintKeys(QPainter& painter, const BoardSnapshot& state) const;

    std::array<QImage, 16> digitPictures;
    QImage blankDigit;
    QImage switchOff;
    QImage switchOn;
    QImage keyUp;
    QImage keyDown;
};

} // namespace vboard
