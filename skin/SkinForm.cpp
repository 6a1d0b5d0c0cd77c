#include "skin/SkinForm.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace skin {

TSkinForm::TSkinForm(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags), canvas(0, 0) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Drawing between paints (buttons changing face) shows at the next paint; while the whole canvas
    // is redrawn anyway, no extra requests are made.
    canvas.SetChangeHandler([this](const QRect& rect) {
        if (!dirty) {
            update(rect);
        }
    });
}

void TSkinForm::SetClientSize(int width, int height) {
    canvas.Resize(width, height);
    setFixedSize(width, height);
    Invalidate();
}

void TSkinForm::Invalidate() {
    dirty = true;
    update();
}

void TSkinForm::RepaintNow() {
    dirty = true;
    FormPaint();
    dirty = false;
    repaint();
}

void TSkinForm::FormMouseDown(int, int) {}

void TSkinForm::FormMouseMove(int, int) {}

void TSkinForm::FormMouseUp(int, int) {}

void TSkinForm::paintEvent(QPaintEvent* event) {
    if (dirty) {
        FormPaint();
        dirty = false;
    }
    QPainter painter(this);
    painter.drawImage(event->rect(), canvas.Image(), event->rect());
}

void TSkinForm::mousePressEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    FormMouseDown(at.x(), at.y());
}

void TSkinForm::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    FormMouseMove(at.x(), at.y());
}

void TSkinForm::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    FormMouseUp(at.x(), at.y());
}

void TSkinForm::leaveEvent(QEvent* event) {
    FormMouseMove(-1, -1);
    QWidget::leaveEvent(event);
}

bool TSkinForm::event(QEvent* event) {
    // Every child widget is watched for the pointer entering it.
    const bool added = event->type() == QEvent::ChildAdded;
    if (added || event->type() == QEvent::ChildRemoved) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType() && added)
            child->installEventFilter(this);
        else if (child->isWidgetType())
            child->removeEventFilter(this);
    }
    return QWidget::event(event);
}

bool TSkinForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Enter && watched->parent() == this)
        FormMouseMove(-1, -1);
    return QWidget::eventFilter(watched, event);
}

} // namespace skin
