// The four-face button pictures: normal, disabled, hot and pressed, top to bottom.
#include "ArtKit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace art {

namespace {

enum Face { NORMAL = 0, DISABLED = 1, HOT = 2, PRESSED = 3 };

// The plate of a captioned button: a rounded bar whose rim lights up under the pointer.
void CaptionPlate(QPainter& p, int w, int h, int face) {
    const QRectF r(0.5, 0.5, w - 1.0, h - 1.0);
    QLinearGradient fill(0, 0, 0, h);
    QColor rim;
    switch (face) {
    case NORMAL:
        fill.setColorAt(0, QColor(66, 80, 102));
        fill.setColorAt(1, QColor(30, 37, 50));
        rim = QColor(96, 116, 142);
        break;
    case DISABLED:
        fill.setColorAt(0, QColor(50, 52, 56));
        fill.setColorAt(1, QColor(38, 40, 44));
        rim = QColor(72, 74, 78);
        break;
    case HOT:
        fill.setColorAt(0, QColor(60, 104, 140));
        fill.setColorAt(1, QColor(28, 52, 76));
        rim = QColor(0, 190, 220);
        break;
    default:
        fill.setColorAt(0, QColor(18, 30, 44));
        fill.setColorAt(1, QColor(40, 66, 92));
        rim = QColor(0, 234, 255);
        break;
    }
    p.setPen(rim);
    p.setBrush(fill);
    p.drawRoundedRect(r, 4, 4);
}

QImage CaptionButton(int width) {
    return StackFaces(width, 17, palette::WINDOW, [width](QPainter& p, int face) { CaptionPlate(p, width, 17, face); });
}

QImage ArrowButton(bool right) {
    return StackFaces(20, 17, palette::WINDOW, [right](QPainter& p, int face) {
        CaptionPlate(p, 20, 17, face);
        const QColor colour = face == DISABLED  ? QColor(100, 100, 100)
                              : face == PRESSED ? palette::TITLE
                                                : QColor(235, 240, 245);
        const double shift = face == PRESSED ? 0.5 : 0.0;
        QPainterPath arrow;
        if (right) {
            arrow.moveTo(7.5 + shift, 4.5 + shift);
            arrow.lineTo(13.5 + shift, 8.5 + shift);
            arrow.lineTo(7.5 + shift, 12.5 + shift);
        } else {
            arrow.moveTo(12.5 + shift, 4.5 + shift);
            arrow.lineTo(6.5 + shift, 8.5 + shift);
            arrow.lineTo(12.5 + shift, 12.5 + shift);
        }
        arrow.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(arrow);
    });
}

// A page tab: a dark plate whose indicator bar on the right is dim at rest and yellow when hot or held.
QImage TabButton() {
    return StackFaces(93, 38, palette::WINDOW, [](QPainter& p, int face) {
        QLinearGradient fill(0, 0, 0, 38);
        const bool lit = face == HOT || face == PRESSED;
        const QColor top = face == DISABLED ? QColor(44, 46, 50) : lit ? QColor(52, 66, 86) : QColor(42, 52, 68);
        const QColor bottom = face == DISABLED ? QColor(32, 34, 38) : QColor(20, 25, 34);
        fill.setColorAt(0, face == PRESSED ? bottom : top);
        fill.setColorAt(1, face == PRESSED ? top : bottom);
        p.setPen(face == DISABLED ? QColor(70, 72, 76) : lit ? QColor(0, 170, 200) : QColor(84, 100, 124));
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(1.5, 1.5, 90, 35), 5, 5);
        const QColor bar = lit ? palette::YELLOW : face == DISABLED ? QColor(56, 56, 44) : QColor(84, 80, 40);
        p.setPen(Qt::NoPen);
        p.setBrush(bar);
        p.drawRoundedRect(QRectF(81, 8, 5, 22), 2, 2);
        if (lit) {
            QRadialGradient glow(83.5, 19, 10);
            glow.setColorAt(0, QColor(255, 230, 0, 90));
            glow.setColorAt(1, QColor(255, 230, 0, 0));
            p.setBrush(glow);
            p.drawEllipse(QPointF(83.5, 19), 10, 14);
        }
    });
}

// The round connect and disconnect buttons: a plug that is green to connect and red to disconnect.
QImage ConnectButton(bool connect) {
    return StackFaces(79, 77, palette::WINDOW, [connect](QPainter& p, int face) {
        const QPointF centre(39.5, 38.5 + (face == PRESSED ? 1 : 0));
        const QColor accent = face == DISABLED ? QColor(96, 96, 96)
                              : connect        ? QColor(40, 220, 90)
                                               : QColor(240, 60, 50);
        QRadialGradient ring(centre, 36);
        ring.setColorAt(0.0, QColor(60, 70, 86));
        ring.setColorAt(0.85, QColor(26, 30, 40));
        ring.setColorAt(1.0, QColor(10, 12, 16));
        p.setPen(QPen(face == HOT ? accent : QColor(80, 94, 116), 2));
        p.setBrush(ring);
        p.drawEllipse(centre, 35, 35);
        QRadialGradient cap(centre.x() - 8, centre.y() - 10, 34);
        const QColor capTop = face == DISABLED ? QColor(70, 72, 76) : QColor(74, 88, 110);
        cap.setColorAt(0, face == PRESSED ? QColor(30, 36, 46) : capTop);
        cap.setColorAt(1, QColor(22, 26, 34));
        p.setPen(QPen(QColor(10, 12, 16), 1));
        p.setBrush(cap);
        p.drawEllipse(centre, 27, 27);
        if (face == HOT || face == PRESSED) {
            QRadialGradient glow(centre, 27);
            glow.setColorAt(0, QColor(accent.red(), accent.green(), accent.blue(), 70));
            glow.setColorAt(1, QColor(accent.red(), accent.green(), accent.blue(), 0));
            p.setPen(Qt::NoPen);
            p.setBrush(glow);
            p.drawEllipse(centre, 27, 27);
        }
        // The power symbol: an open ring with a bar, closed for connect and crossed for disconnect.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(accent, 4, Qt::SolidLine, Qt::RoundCap));
        const QRectF arc(centre.x() - 14, centre.y() - 12, 28, 28);
        p.drawArc(arc, 120 * 16, -240 * 16);
        p.drawLine(QPointF(centre.x(), centre.y() - 18), QPointF(centre.x(), centre.y() - 2));
        if (!connect) {
            p.setPen(QPen(accent.darker(130), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(centre.x() - 20, centre.y() + 20), QPointF(centre.x() + 20, centre.y() - 20));
        }
    });
}

// A title-bar button with its sign: a cross for close, a bar for minimise, a question mark for about.
QImage TitleButton(char sign) {
    return StackFaces(37, 12, palette::WINDOW, [sign](QPainter& p, int face) {
        const QColor hotFill = sign == 'x' ? QColor(196, 40, 40) : QColor(40, 110, 150);
        QColor fill = face == DISABLED ? QColor(46, 46, 50) : face == HOT ? hotFill : QColor(44, 54, 70);
        if (face == PRESSED) {
            fill = hotFill.darker(160);
        }
        p.setPen(face == DISABLED ? QColor(70, 70, 74) : QColor(96, 112, 136));
        p.setBrush(fill);
        p.drawRoundedRect(QRectF(0.5, 0.5, 36, 11), 4, 4);
        const QColor ink = face == DISABLED ? QColor(110, 110, 110) : QColor(240, 244, 248);
        p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
        const double shift = face == PRESSED ? 0.5 : 0.0;
        if (sign == 'x') {
            p.drawLine(QPointF(15 + shift, 3 + shift), QPointF(21 + shift, 9 + shift));
            p.drawLine(QPointF(21 + shift, 3 + shift), QPointF(15 + shift, 9 + shift));
        } else if (sign == '_') {
            p.drawLine(QPointF(14 + shift, 8.5 + shift), QPointF(23 + shift, 8.5 + shift));
        } else {
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(11);
            font.setBold(true);
            p.setFont(font);
            p.drawText(QRectF(shift, shift - 0.5, 37, 12), Qt::AlignCenter, QStringLiteral("?"));
        }
    });
}

enum class Lamp { LIT, DARK, UNLIT };

// One LED lamp: a red lens in a small housing with its two legs; lit, unlit (dim red) or dark (off).
void DrawLamp(QPainter& p, Lamp state, bool hot) {
    p.setPen(QColor(70, 80, 96));
    p.setBrush(QColor(30, 34, 42));
    p.drawRoundedRect(QRectF(2.5, 1.5, 17, 33), 3, 3);
    const QPointF centre(11, 15);
    if (state == Lamp::LIT) {
        QRadialGradient glow(centre, 11);
        glow.setColorAt(0, QColor(255, 80, 60, 200));
        glow.setColorAt(1, QColor(255, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(centre, 10, 13);
    }
    QRadialGradient lens(centre.x() - 2, centre.y() - 4, 9);
    switch (state) {
    case Lamp::LIT:
        lens.setColorAt(0, QColor(255, 220, 200));
        lens.setColorAt(0.35, palette::LED_RED);
        lens.setColorAt(1, QColor(190, 10, 10));
        break;
    case Lamp::UNLIT:
        lens.setColorAt(0, QColor(150, 70, 70));
        lens.setColorAt(1, QColor(80, 20, 22));
        break;
    case Lamp::DARK:
        lens.setColorAt(0, QColor(62, 52, 52));
        lens.setColorAt(1, QColor(36, 30, 30));
        break;
    }
    p.setPen(QPen(hot ? palette::TITLE : QColor(20, 10, 10), 1));
    p.setBrush(lens);
    p.drawRoundedRect(QRectF(6.5, 5.5, 9, 19), 4, 4);
    p.setPen(QPen(QColor(150, 150, 150), 1.5));
    p.drawLine(QPointF(8.5, 26), QPointF(8.5, 32));
    p.drawLine(QPointF(13.5, 26), QPointF(13.5, 32));
}

QImage LampButton(bool lit) {
    return StackFaces(22, 36, palette::WINDOW, [lit](QPainter& p, int face) {
        const Lamp rest = lit ? Lamp::LIT : Lamp::UNLIT;
        const Lamp held = lit ? Lamp::UNLIT : Lamp::LIT;
        const Lamp states[4] = {rest, Lamp::DARK, rest, held};
        DrawLamp(p, states[face], face == HOT);
    });
}

} // namespace

void DrawButtons(Pictures& out) {
    const auto add = [&out](const char* name, QImage image) {
        out.push_back({QStringLiteral("skin"), QString::fromLatin1(name), std::move(image)});
    };
    add("NORMAL_BTN", CaptionButton(64));
    add("MIDDLE_BTN", CaptionButton(122));
    add("LONG_BTN", CaptionButton(189));
    add("LEFT_BTN", ArrowButton(false));
    add("RIGHT_BTN", ArrowButton(true));
    add("TAB_BUTTON", TabButton());
    add("CONNECT_BTN", ConnectButton(true));
    add("DISCONNECT_BTN", ConnectButton(false));
    add("CLOSE_BTN", TitleButton('x'));
    add("MINI_BTN", TitleButton('_'));
    add("ABOUT_BTN", TitleButton('?'));
    add("LEDR_LIGHT_BTN", LampButton(true));
    add("LEDR_UNLIGHT_BTN", LampButton(false));
}

} // namespace art
