#include "pages/PictureBox.h"

#include <QPaintEvent>
#include <QPainter>

TPictureBox::TPictureBox(QWidget* parent, int width, int height) : QWidget(parent), canvas(width, height) {
    setFixedSize(width, height);
    setAttribute(Qt::WA_OpaquePaintEvent);
    canvas.SetChangeHandler([this](const QRect& rect) { update(rect); });
}

void TPictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas.Image(), event->rect());
}
