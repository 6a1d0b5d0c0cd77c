#include "vboard/window/VgaPicture.h"

#include <QColor>
#include <QFont>
#include <iterator>

namespace vboard {

namespace {

constexpr int ROWS = 4;
constexpr int COLUMNS = 40;

// The colour of one grid cell: the scale patterns run 40 steps of 16 levels per row, wrapping at 256.
QColor ScaleColour(int pattern, int row, int column) {
    const int level = (16 * column) % 256;
    const int base = pattern == 0 ? row : pattern - 6;
    switch (base) {
    case 0:
        return {level, 0, 0};
    case 1:
        return {0, level, 0};
    case 2:
        return {0, 0, level};
    default:
        return {level, level, level};
    }
}

void DrawScale(QPainter& painter, const QRect& screen, int pattern) {
    const int w = screen.width();
    const int h = screen.height();
    for (int row = 0; row < ROWS; ++row) {
        for (int column = 0; column < COLUMNS; ++column) {
            const QRect cell(
                QPoint(screen.left() + w * column / COLUMNS, screen.top() + h * row / ROWS),
                QPoint(screen.left() + w * (column + 1) / COLUMNS - 1, screen.top() + h * (row + 1) / ROWS - 1));
            painter.fillRect(cell, ScaleColour(pattern, row, column));
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

const char* const NAMES[] = {"Color Scale", "Red",       "Green",       "Blue",      "White",
                             "Black",       "Red Scale", "Green Scale", "Blue Scale"};

} // namespace

QString VgaPatternName(int pattern) {
    if (pattern < 0 || pattern >= static_cast<int>(std::size(NAMES)))
        return {};
    return QString::fromLatin1(NAMES[pattern]);
}

void DrawVgaPicture(QPainter& painter, const QRect& screen, int pattern) {
    switch (pattern) {
    case 0:
    case 6:
    case 7:
    case 8:
        DrawScale(painter, screen, pattern);
        break;
    case 1:
        painter.fillRect(screen, QColor(255, 0, 0));
        break;
    case 2:
        painter.fillRect(screen, QColor(0, 128, 0));
        break;
    case 3:
        painter.fillRect(screen, QColor(0, 0, 255));
        break;
    case 4:
        painter.fillRect(screen, QColor(255, 255, 255));
        break;
    case 5:
        painter.fillRect(screen, QColor(0, 0, 0));
        break;
    default:
        DrawNoSignal(painter, screen);
        break;
    }
}

} // namespace vboard
