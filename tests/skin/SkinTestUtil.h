#pragma once

#include "skin/Canvas.h"

#include <QImage>
#include <QRect>

// Pixel comparisons shared by the skin tests.
namespace skintest {

// Whether the canvas shows rows [face * F, face * F + F) of the picture at (left, top), F = height / 4.
inline bool ShowsFace(const skin::TCanvas& canvas, const QImage& picture, int face, int left, int top) {
    const int f = picture.height() / 4;
    for (int y = 0; y < f; ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (canvas.Pixel(left + x, top + y) != picture.pixel(x, face * f + y)) {
                return false;
            }
        }
    }
    return true;
}

// Whether every pixel of the rectangle has the given colour.
inline bool AllPixels(const skin::TCanvas& canvas, const QRect& rect, QRgb colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (canvas.Pixel(x, y) != colour) {
                return false;
            }
        }
    }
    return true;
}

// A canvas filled with one colour, drawn through the canvas itself.
inline void Fill(skin::TCanvas& canvas, const QColor& colour) {
    canvas.SetBrushColor(colour);
    canvas.FillRect(QRect(0, 0, canvas.Width(), canvas.Height()));
}

} // namespace skintest
