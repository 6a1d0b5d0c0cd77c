// The page backgrounds (387 x 296, of which the top 276 rows show) and the about box's background.
#include "ArtKit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace art {

namespace {

// The ground every page shares: a dark plate with a fine rim, so that pages sit in the main window's
// page frame as one piece.
QImage PageGround() {
    QImage picture = NewPicture(387, 296, palette::WINDOW);
    QPainter p(&picture);
    QLinearGradient ground(0, 0, 0, 276);
    ground.setColorAt(0, QColor(30, 36, 48));
    ground.setColorAt(1, QColor(20, 24, 32));
    p.fillRect(0, 0, 387, 296, ground);
    p.setPen(QColor(56, 68, 88));
    p.drawRect(2, 2, 382, 271);
    p.setPen(QColor(12, 14, 19));
    p.drawRect(3, 3, 380, 269);
    // Below the shown area: the rows the pages cut off.
    p.fillRect(0, 276, 387, 20, QColor(14, 17, 23));
    return picture;
}

void CornerMarks(QPainter& p) {
    p.setPen(QPen(QColor(0, 150, 170), 2));
    const int l = 7, t = 7, r = 379, b = 268, n = 10;
    p.drawLine(l, t, l + n, t);
    p.drawLine(l, t, l, t + n);
    p.drawLine(r, t, r - n, t);
    p.drawLine(r, t, r, t + n);
    p.drawLine(l, b, l + n, b);
    p.drawLine(l, b, l, b - n);
    p.drawLine(r, b, r - n, b);
    p.drawLine(r, b, r, b - n);
}

// A rounded band behind one section of controls.
void Band(QPainter& p, const QRect& rect) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QColor(52, 64, 84));
    p.setBrush(QColor(26, 32, 43));
    p.drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
    p.restore();
}

// A cyan rule that runs from a section title to the right edge of its band.
void TitleRule(QPainter& p, int x, int y, int right) {
    QLinearGradient rule(x, y, right, y);
    rule.setColorAt(0, QColor(0, 180, 210));
    rule.setColorAt(1, QColor(0, 180, 210, 0));
    p.fillRect(QRect(x, y, right - x, 1), rule);
}

QImage TabDialog() {
    QImage picture = PageGround();
    QPainter p(&picture);
    CornerMarks(p);
    return picture;
}

QImage SwitchesDialog() {
    QImage picture = PageGround();
    QPainter p(&picture);
    CornerMarks(p);
    // "Keys" at (20, 25) over the keys (y 50 to 110), "Switches" at (20, 165) over the switches
    // (y 190 to 266).
    Band(p, QRect(12, 44, 363, 74));
    TitleRule(p, 64, 32, 370);
    Band(p, QRect(12, 184, 363, 86));
    TitleRule(p, 94, 172, 370);
    return picture;
}

QImage MemoryDialog() {
    QImage picture = PageGround();
    QPainter p(&picture);
    CornerMarks(p);
    // Sections: type (16), random access (41 to 106), sequential write (114 to 179), sequential read
    // (185 to 253), and the flash note's line (255).
    Band(p, QRect(9, 37, 369, 73));
    TitleRule(p, 112, 48, 372);
    Band(p, QRect(9, 110, 369, 72));
    TitleRule(p, 120, 121, 372);
    Band(p, QRect(9, 181, 369, 75));
    TitleRule(p, 118, 192, 372);
    return picture;
}

// A small SD card drawn on the page as its emblem.
void SdEmblem(QPainter& p, const QPointF& at) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.translate(at);
    QPainterPath card;
    card.moveTo(0, 0);
    card.lineTo(34, 0);
    card.lineTo(44, 10);
    card.lineTo(44, 58);
    card.lineTo(0, 58);
    card.closeSubpath();
    QLinearGradient body(0, 0, 44, 58);
    body.setColorAt(0, QColor(40, 80, 160));
    body.setColorAt(1, QColor(16, 34, 80));
    p.setPen(QColor(120, 150, 210));
    p.setBrush(body);
    p.drawPath(card);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(214, 180, 90));
    for (int i = 0; i < 5; ++i) {
        p.drawRect(QRectF(4 + i * 6, 3, 4, 8));
    }
    p.restore();
    Text(p, static_cast<int>(at.x()) + 10, static_cast<int>(at.y()) + 24, QStringLiteral("SD"), QStringLiteral("Arial"),
         16, QColor(230, 236, 246), true);
}

QImage SdCardDialog() {
    QImage picture = PageGround();
    QPainter p(&picture);
    CornerMarks(p);
    // Reports: CID (32, 24, 280 x 97), CSD (32, 132, 272 x 89), file system (32, 238, 193 x 25).
    Band(p, QRect(26, 21, 292, 93));
    Band(p, QRect(26, 129, 292, 89));
    Band(p, QRect(26, 235, 203, 28));
    SdEmblem(p, QPointF(328, 40));
    return picture;
}

QImage AboutBox() {
    QImage picture = NewPicture(380, 380, palette::WINDOW);
    QPainter p(&picture);
    Smooth(p);
    QLinearGradient ground(0, 0, 0, 380);
    ground.setColorAt(0, QColor(30, 38, 52));
    ground.setColorAt(0.65, QColor(18, 22, 30));
    ground.setColorAt(1, QColor(12, 14, 19));
    p.fillRect(0, 0, 380, 380, ground);

    // A glow behind the product name, the name itself and a stylised board under it.
    QRadialGradient glow(190, 110, 170);
    glow.setColorAt(0, QColor(0, 160, 190, 90));
    glow.setColorAt(1, QColor(0, 160, 190, 0));
    p.fillRect(QRect(0, 0, 380, 280), glow);
    QFont name(QStringLiteral("Arial"));
    name.setPixelSize(58);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(0, 40, 50));
    p.drawText(QRect(3, 43, 380, 70), Qt::AlignCenter, QStringLiteral("QX7-MB"));
    p.setPen(palette::TITLE);
    p.drawText(QRect(0, 40, 380, 70), Qt::AlignCenter, QStringLiteral("QX7-MB"));
    QFont sub(QStringLiteral("Arial"));
    sub.setPixelSize(18);
    p.setFont(sub);
    p.setPen(QColor(210, 216, 224));
    p.drawText(QRect(0, 110, 380, 26), Qt::AlignCenter, QStringLiteral("Control Panel"));

    // The board in miniature: PCB, FPGA, digits and LEDs.
    const QRectF board(95, 150, 190, 100);
    p.setPen(QPen(QColor(6, 24, 26), 2));
    p.setBrush(QColor(18, 64, 68));
    p.drawRoundedRect(board, 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 25, 28));
    p.drawRect(QRectF(165, 168, 40, 40));
    p.setBrush(QColor(30, 70, 170));
    p.drawRect(QRectF(225, 150, 40, 18));
    for (int i = 0; i < 6; ++i) {
        p.setBrush(QColor(20, 18, 20));
        p.drawRect(QRectF(108 + i * 12, 216, 10, 14));
        p.setBrush(QColor(220, 30, 24));
        p.drawRect(QRectF(110 + i * 12, 222, 6, 1.5));
    }
    for (int i = 0; i < 10; ++i) {
        p.setBrush(i % 3 == 0 ? QColor(255, 40, 40) : QColor(110, 24, 24));
        p.drawRect(QRectF(190 + i * 8, 236, 5, 4));
    }

    // Emblem at the lower left, beside the labels that the box places from x 148.
    p.setPen(QPen(palette::TITLE, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(74, 318), 36, 36);
    p.setPen(QPen(QColor(0, 120, 140), 2));
    p.drawEllipse(QPointF(74, 318), 27, 27);
    QFont mark(QStringLiteral("Arial"));
    mark.setPixelSize(26);
    mark.setBold(true);
    p.setFont(mark);
    p.setPen(QColor(230, 236, 246));
    p.drawText(QRectF(38, 282, 72, 72), Qt::AlignCenter, QStringLiteral("V"));
    p.setPen(QColor(60, 72, 92));
    p.drawLine(QPointF(140, 268), QPointF(370, 268));
    return picture;
}

} // namespace

void DrawPages(Pictures& out) {
    const QString skin = QStringLiteral("skin");
    out.push_back({skin, QStringLiteral("TAB_DLG_BK"), TabDialog()});
    out.push_back({skin, QStringLiteral("BT_DLG_BK"), SwitchesDialog()});
    out.push_back({skin, QStringLiteral("MEMORY_DLG_BK"), MemoryDialog()});
    out.push_back({skin, QStringLiteral("SDCARD_DLG_BK"), SdCardDialog()});
    out.push_back({skin, QStringLiteral("ABOUT_BK"), AboutBox()});
}

} // namespace art
