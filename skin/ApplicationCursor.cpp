#include "skin/ApplicationCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace skin {

namespace {

struct CursorLayers {
    Qt::CursorShape groups = Qt::ArrowCursor;
    Qt::CursorShape override = Qt::ArrowCursor;
    // The shape given to Qt as its override cursor; the arrow when none is given.
    Qt::CursorShape shown = Qt::ArrowCursor;
};

CursorLayers& Layers() {
    static CursorLayers layers;
    return layers;
}

// Qt's override cursor carries the application's cursor: one entry of its stack, changed in place.
void Show() {
    CursorLayers& layers = Layers();
    const Qt::CursorShape shape = layers.override != Qt::ArrowCursor ? layers.override : layers.groups;
    if (shape == layers.shown)
        return;
    if (shape == Qt::ArrowCursor)
        QGuiApplication::restoreOverrideCursor();
    else if (layers.shown == Qt::ArrowCursor)
        QGuiApplication::setOverrideCursor(QCursor(shape));
    else
        QGuiApplication::changeOverrideCursor(QCursor(shape));
    layers.shown = shape;
}

} // namespace

void SetApplicationCursor(Qt::CursorShape shape) {
    Layers().groups = shape;
    Show();
}

void SetOverrideCursor(Qt::CursorShape shape) {
    Layers().override = shape;
    Show();
}

} // namespace skin
