#pragma once

#include "skin/Canvas.h"

#include <QWidget>

namespace skin {

// A window drawn on its own canvas, as the skinned forms are: FormPaint draws the whole canvas when the
// window needs it (first show, Invalidate), the skin buttons draw onto the canvas in between, and the
// widget shows the canvas. Mouse events reach the Form handlers in client coordinates; leaving the
// window, also onto one of its child widgets (of which Qt tells the window nothing), is reported as a
// move to (-1, -1), so that a hot button returns to rest.
class TSkinForm : public QWidget {
    Q_OBJECT
public:
    explicit TSkinForm(QWidget* parent = nullptr, Qt::WindowFlags flags = {});

    TCanvas* Canvas() { return &canvas; }
    // Sets the client size and the canvas size together.
    void SetClientSize(int width, int height);
    // FormPaint at the next paint.
    void Invalidate();
    // FormPaint now and show the result at once, for callers that go on blocking the event loop.
    void RepaintNow();

protected:
    virtual void FormPaint() = 0;
    virtual void FormMouseDown(int x, int y);
    virtual void FormMouseMove(int x, int y);
    virtual void FormMouseUp(int x, int y);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TCanvas canvas;
    bool dirty = true;
};

} // namespace skin
