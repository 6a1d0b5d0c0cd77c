#pragma once

#include "skin/Canvas.h"

#include <QWidget>

// A picture control: a child widget that shows its own canvas, drawn by its owner.
class TPictureBox : public QWidget {
    Q_OBJECT
public:
    TPictureBox(QWidget* parent, int width, int height);

    skin::TCanvas* Canvas() { return &canvas; }
    const skin::TCanvas& Picture() const { return canvas; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    skin::TCanvas canvas;
};
