#include "vboard/window/BoardView.h"

#include "vboard/window/BoardLayout.h"

#include <QMouseEvent>
#include <QPainter>

namespace vboard {

BoardView::BoardView(QWidget* parent) : QWidget(parent) {
    setFixedSize(layout::WIDTH, layout::HEIGHT);
}

void BoardView::SetState(const BoardSnapshot& snapshot, uint64_t bytesPerSecond) {
    state = snapshot;
    rate = bytesPerSecond;
    update();
}

void BoardView::paintEvent(QPaintEvent*) {
    QPainter out(this);
    painter.Paint(out, state, rate);
}

void BoardView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    const QPoint at = event->position().toPoint();
    for (int i = 0; i < KEY_COUNT; ++i) {
        if (layout::Key(i).contains(at)) {
            heldKey = i;
            emit KeyChanged(i, true);
            return;
        }
    }
    for (int j = 0; j < SWITCH_COUNT; ++j) {
        if (layout::Switch(j).contains(at)) {
            emit SwitchClicked(j);
            return;
        }
    }
    if (layout::SdSlot().contains(at))
        emit SdSlotClicked(event->globalPosition().toPoint());
}

void BoardView::mouseReleaseEvent(QMouseEvent* event) {
    // The key comes up wherever the pointer is let go: the view holds the mouse while it is down.
    if (event->button() != Qt::LeftButton || heldKey < 0)
        return;
    const int key = heldKey;
    heldKey = -1;
    emit KeyChanged(key, false);
}

} // namespace vboard
