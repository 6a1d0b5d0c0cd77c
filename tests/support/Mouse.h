#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

// Mouse events delivered straight to a widget at its client coordinates, as the window system would
// deliver them; presses and releases are of the left button.
namespace testsupport {

inline void SendMouse(QWidget* widget, QEvent::Type type, const QPoint& at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    const QPointF local(at);
    QMouseEvent event(type, local, local, widget->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

inline void MouseMove(QWidget* widget, const QPoint& at, Qt::MouseButtons held = Qt::NoButton) {
    SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton, held);
}

inline void MousePress(QWidget* widget, const QPoint& at) {
    SendMouse(widget, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}

inline void MouseRelease(QWidget* widget, const QPoint& at) {
    SendMouse(widget, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

// The cursor that the application shows over all of its windows (Qt's override cursor); the arrow
// when each widget shows its own.
inline Qt::CursorShape ShownCursor() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr ? cursor->shape() : Qt::ArrowCursor;
}

// A move onto the point, a press and a release there.
inline void MouseClick(QWidget* widget, const QPoint& at) {
    MouseMove(widget, at);
    MousePress(widget, at);
    MouseRelease(widget, at);
}

} // namespace testsupport
