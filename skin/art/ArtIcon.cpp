// The program's icon: the board seen from above, a dark FPGA on a teal circuit board with a row of lit
// LEDs and a 7-segment digit. Drawn on a 256-unit grid and scaled, so every size shows the same shapes.
#include "ArtKit.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace art {

namespace {

constexpr double GRID = 256.0;

void DrawChip(QPainter& p) {
    const QRectF body(78, 92, 100, 100);
    p.setPen(Qt::NoPen);
    p.setBrush(palette::COPPER);
    for (int i = 0; i < 6; ++i) {
        const double offset = 102 + 16 * i;
        p.drawRect(QRectF(offset, 82, 6, 12));
        p.drawRect(QRectF(offset, 190, 6, 12));
        p.drawRect(QRectF(68, offset, 12, 6));
        p.drawRect(QRectF(176, offset, 12, 6));
    }
    p.setBrush(QColor(30, 32, 36));
    p.drawRoundedRect(body, 8, 8);
    p.setBrush(QColor(48, 52, 58));
    p.drawRoundedRect(body.adjusted(10, 10, -10, -10), 5, 5);
    p.setBrush(palette::TITLE);
    p.drawEllipse(QPointF(98, 112), 5, 5);
}

void DrawLeds(QPainter& p) {
    for (int i = 0; i < 5; ++i) {
        const QPointF centre(62 + 33 * i, 52);
        QRadialGradient glow(centre, 16);
        glow.setColorAt(0, QColor(255, 120, 100));
        glow.setColorAt(0.45, palette::LED_RED);
        glow.setColorAt(1, QColor(255, 36, 36, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(centre, 16, 16);
    }
}

// An "8." of 7-segment bars, lit, at the board's lower right.
void DrawDigit(QPainter& p) {
    const QRectF ground(190, 150, 44, 70);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(22, 20, 22));
    p.drawRoundedRect(ground, 4, 4);
    p.setPen(QPen(QColor(255, 34, 24), 6, Qt::SolidLine, Qt::RoundCap));
    const double l = 200, r = 222, t = 160, m = 185, b = 210;
    p.drawLine(QPointF(l + 3, t), QPointF(r - 3, t));
    p.drawLine(QPointF(l + 3, m), QPointF(r - 3, m));
    p.drawLine(QPointF(l + 3, b), QPointF(r - 3, b));
    p.drawLine(QPointF(l, t + 3), QPointF(l, m - 3));
    p.drawLine(QPointF(r, t + 3), QPointF(r, m - 3));
    p.drawLine(QPointF(l, m + 3), QPointF(l, b - 3));
    p.drawLine(QPointF(r, m + 3), QPointF(r, b - 3));
}

QImage Icon(int size) {
    QImage picture(size, size, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    Smooth(p);
    p.scale(size / GRID, size / GRID);
    p.setPen(QPen(palette::EDGE_LIGHT, 4));
    p.setBrush(palette::PCB);
    p.drawRoundedRect(QRectF(10, 10, 236, 236), 36, 36);
    p.setPen(QPen(palette::PCB_DARK, 3));
    p.drawLine(QPointF(30, 128), QPointF(68, 128));
    p.drawLine(QPointF(128, 202), QPointF(128, 232));
    DrawChip(p);
    DrawLeds(p);
    DrawDigit(p);
    return picture;
}

} // namespace

void DrawIcons(Pictures& out) {
    for (int size : {48, 256})
        out.push_back({QStringLiteral("icon"), QStringLiteral("qx7mb-panel-%1").arg(size), Icon(size)});
}

} // namespace art
