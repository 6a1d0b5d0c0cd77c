#pragma once

#include "vboard/VirtualBoard.h"
#include "vboard/window/BoardPainter.h"

#include <QWidget>
#include <cstdint>

namespace vboard {

// The board drawn from above. It shows the state it is given and reports what the mouse does to the
// parts a person can touch: a key is down from the press until the release, a click flips a switch,
// a click on the SD card slot asks for the card menu.
class BoardView : public QWidget {
    Q_OBJECT

public:
    explicit BoardView(QWidget* parent = nullptr);

    void SetState(const BoardSnapshot& snapshot, uint64_t bytesPerSecond);
    const BoardSnapshot& State() const { return state; }

signals:
    void KeyChanged(int index, bool down);
    void SwitchClicked(int index);
    void SdSlotClicked(const QPoint& globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    BoardPainter painter;
    BoardSnapshot state;
    uint64_t rate = 0;
    int heldKey = -1;
};

} // namespace vboard
