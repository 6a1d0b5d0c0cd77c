#include "vboard/window/VgaPicture.h"

#include "board/VgaPatterns.h"

#include <QColor>
#include <QFont>

namespace vboard {

namespace {

QColor CellColour(int pattern, int row, int column) {
    const VgaRgb rgb = VgaCellColour(pattern, row, column);
    return {rgb.r, rgb.g, rgb.b};
}

void DrawScale(QPainter& painter, const QRect& screen, int pattern) {
    const int w = screen.width();
    const int h = screen.height();
    for (int row = 0; row < VGA_SCALE_ROWS; ++row) {
        for (int column = 0; column < VGA_SCALE_COLUMNS; ++column) {
            const QRect cell(
                QPoint(screen.left() + w * column / VGA_SCALE_COLUMNS, screen.top() + h * row / VGA_SCALE_ROWS),
                QPoint(screen.left() + w * (column + 1) / VGA_SCALE_COLUMNS - 1,
                       screen.top() + h * (row + 1) / VGA_SCALE_ROWS - 1));
            painter.fillRect(cell, CellColour(pattern, row, column));
        }
    }
}

void DrawNoSignal(QPainter& painter, const QRect& screen) {
    painter.fillRect(screen, QColor(6, 8, 12));
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(14);
    painter.setFont(font);
    painter.setPen(QColor(150, 150, 150));
    painter.drawText(screen, Qt::AlignCenter, QStringLiteral("No signal"));
}

} // namespace

QString VgaPatternName(int pattern) {
    if (!IsVgaPattern(pattern))
        return {};
    return QString::fromLatin1(VGA_PATTERNS[pattern].name);
}

void DrawVgaPicture(QPainter& painter, const QRect& screen, int pattern) {
    if (!IsVgaPattern(pattern))
        DrawNoSignal(painter, screen);
    else if (VGA_PATTERNS[pattern].scale)
        DrawScale(painter, screen, pattern);
    else
        painter.fillRect(screen, CellColour(pattern, 0, 0));
}

} // namespace vboard
