// Small pictures: the sixteen 7-segment digits, the slide switch, the push-button, and the two marks.
#include "ArtKit.h"

#include <QPainterPath>
#include <QRadialGradient>

namespace art {

namespace {

const QColor DIGIT_GROUND{22, 20, 22};
const QColor SEGMENT_LIT{255, 34, 24};
const QColor SEGMENT_UNLIT{62, 22, 22};

// Segments a to g as bits 0 to 6, for the values 0 to F.
constexpr unsigned char SEGMENTS[16] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07,
                                        0x7F, 0x6F, 0x77, 0x7C, 0x39, 0x5E, 0x79, 0x71};

// A segment as a long hexagon between two points, horizontal or vertical, 5 pixels thick.
QPainterPath Segment(QPointF from, QPointF to) {
    const double half = 2.5;
    QPainterPath path;
    if (from.y() == to.y()) {
        path.moveTo(from.x(), from.y());
        path.lineTo(from.x() + half, from.y() - half);
        path.lineTo(to.x() - half, to.y() - half);
        path.lineTo(to.x(), to.y());
        path.lineTo(to.x() - half, to.y() + half);
        path.lineTo(from.x() + half, from.y() + half);
    } else {
        path.moveTo(from.x(), from.y());
        path.lineTo(from.x() + half, from.y() + half);
        path.lineTo(to.x() + half, to.y() - half);
        path.lineTo(to.x(), to.y());
        path.lineTo(to.x() - half, to.y() - half);
        path.lineTo(from.x() - half, from.y() + half);
    }
    path.closeSubpath();
    return path;
}

QImage Digit(int value) {
    QImage picture = NewPicture(40, 59, DIGIT_GROUND);
    QPainter p(&picture);
    Smooth(p);
    // Corner points of the digit: left 6, right 30, top 6, middle 29, bottom 52.
    const double l = 6, r = 30, t = 6, m = 29, b = 52;
    const QPainterPath segments[7] = {
        Segment({l + 1, t}, {r - 1, t}), Segment({r, t + 1}, {r, m - 1}), Segment({r, m + 1}, {r, b - 1}),
        Segment({l + 1, b}, {r - 1, b}), Segment({l, m + 1}, {l, b - 1}), Segment({l, t + 1}, {l, m - 1}),
        Segment({l + 1, m}, {r - 1, m}),
    };
    p.setPen(Qt::NoPen);
    for (int s = 0; s < 7; ++s) {
        const bool lit = (SEGMENTS[value] >> s) & 1;
        p.setBrush(lit ? SEGMENT_LIT : SEGMENT_UNLIT);
        p.drawPath(segments[s]);
    }
    p.setBrush(SEGMENT_UNLIT);
    p.drawEllipse(QPointF(35, 52), 2.5, 2.5);
    p.end();
    MarkTransparent(picture);
    return picture;
}

// A slide switch seen from above: a dark slot in a housing with the lever at one end.
QImage Switch(bool up) {
    QImage picture = NewPicture(19, 63, palette::PANEL);
    QPainter p(&picture);
    Smooth(p);
    p.setPen(QColor(90, 104, 126));
    p.setBrush(QColor(36, 42, 54));
    p.drawRoundedRect(QRectF(0.5, 0.5, 18, 62), 3, 3);
    p.setPen(palette::EDGE_DARK);
    p.setBrush(QColor(8, 9, 12));
    p.drawRoundedRect(QRectF(5.5, 5.5, 8, 52), 2, 2);
    const QRectF lever(3.5, up ? 6.5 : 33.5, 12, 23);
    QLinearGradient metal(lever.topLeft(), lever.topRight());
    metal.setColorAt(0, QColor(150, 156, 166));
    metal.setColorAt(0.5, QColor(236, 240, 244));
    metal.setColorAt(1, QColor(120, 126, 136));
    p.setPen(QColor(60, 64, 72));
    p.setBrush(metal);
    p.drawRoundedRect(lever, 2, 2);
    p.setPen(QColor(110, 116, 126));
    for (int i = 0; i < 4; ++i) {
        const double y = lever.top() + 6 + i * 3.5;
        p.drawLine(QPointF(lever.left() + 2.5, y), QPointF(lever.right() - 2.5, y));
    }
    p.end();
    MarkTransparent(picture);
    return picture;
}

// A square tactile push-button with its round cap; pressed, the cap sinks and darkens.
QImage PushButton(bool down) {
    QImage picture = NewPicture(44, 44, palette::PANEL);
    QPainter p(&picture);
    Smooth(p);
    QLinearGradient body(0, 0, 44, 44);
    body.setColorAt(0, QColor(96, 104, 116));
    body.setColorAt(1, QColor(40, 44, 52));
    p.setPen(QColor(20, 22, 26));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(1.5, 1.5, 41, 41), 4, 4);
    p.setBrush(QColor(70, 76, 86));
    for (const QPointF corner : {QPointF(7, 7), QPointF(37, 7), QPointF(7, 37), QPointF(37, 37)}) {
        p.drawEllipse(corner, 2.5, 2.5);
    }
    const double radius = down ? 12.5 : 14;
    const QPointF centre(22, down ? 23 : 22);
    QRadialGradient cap(centre.x() - 4, centre.y() - 5, radius * 1.6);
    cap.setColorAt(0, down ? QColor(60, 64, 72) : QColor(120, 126, 136));
    cap.setColorAt(1, down ? QColor(16, 18, 22) : QColor(30, 32, 38));
    p.setPen(QPen(QColor(12, 12, 14), 1.5));
    p.setBrush(cap);
    p.drawEllipse(centre, radius, radius);
    p.end();
    MarkTransparent(picture);
    return picture;
}

// The indicator beside the status-information line: a cyan disc with a white "i".
QImage InfoMark() {
    QImage picture = NewPicture(15, 13, palette::WINDOW);
    QPainter p(&picture);
    Smooth(p);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 170, 210));
    p.drawEllipse(QRectF(1, 0, 12.5, 12.5));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(7.25, 3.2), 1.3, 1.3);
    p.drawRect(QRectF(6.25, 5.5, 2, 5));
    p.end();
    MarkTransparent(picture);
    return picture;
}

// The memory page's flash note: a yellow warning triangle with an exclamation mark.
QImage FlashNote() {
    QImage picture = NewPicture(16, 16, palette::WINDOW);
    QPainter p(&picture);
    Smooth(p);
    QPainterPath triangle;
    triangle.moveTo(8, 1);
    triangle.lineTo(15.2, 14.5);
    triangle.lineTo(0.8, 14.5);
    triangle.closeSubpath();
    p.setPen(QPen(QColor(120, 90, 0), 1));
    p.setBrush(QColor(255, 204, 0));
    p.drawPath(triangle);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 24, 0));
    p.drawRect(QRectF(7.1, 5, 1.8, 5.2));
    p.drawEllipse(QPointF(8, 12), 1.1, 1.1);
    p.end();
    return picture;
}

} // namespace

void DrawParts(Pictures& out) {
    const QString skin = QStringLiteral("skin");
    for (int value = 0; value < 16; ++value) {
        out.push_back({skin, QStringLiteral("HEX_%1").arg(value, 0, 16).toUpper(), Digit(value)});
    }
    out.push_back({skin, QStringLiteral("SW_UP"), Switch(true)});
    out.push_back({skin, QStringLiteral("SW_DOWN"), Switch(false)});
    out.push_back({skin, QStringLiteral("BUTTON_UP"), PushButton(false)});
    out.push_back({skin, QStringLiteral("BUTTON_DOWN"), PushButton(true)});
    out.push_back({skin, QStringLiteral("INFO_MARK"), InfoMark()});
    out.push_back({skin, QStringLiteral("FLASH_NOTE"), FlashNote()});
}

} // namespace art
