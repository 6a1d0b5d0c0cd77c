#include "skin/Animate.h"

#include "skin/SkinResources.h"

#include <QPainter>

namespace skin {

TAnimate::TAnimate(QWidget* parent) : QWidget(parent), frames(LoadWelcomeClip()) {
    setFixedSize(frames.front().size());
    setAttribute(Qt::WA_OpaquePaintEvent);
    timer.setParent(this);
    timer.setInterval(100); // 10 frames per second
    connect(&timer, &QTimer::timeout, this, &TAnimate::NextFrame);
}

void TAnimate::SetActive(bool active) {
    if (active && !timer.isActive()) {
        timer.start();
    } else if (!active) {
        timer.stop();
    }
}

void TAnimate::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, frames[static_cast<size_t>(frame)]);
}

void TAnimate::NextFrame() {
    frame = (frame + 1) % FrameCount();
    update();
}

} // namespace skin
