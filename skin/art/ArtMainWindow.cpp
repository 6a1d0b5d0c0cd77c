// MAIN_UI: the main window's background, the QX7-MB board seen from above in the window's dark style,
// with room for the caption, the window buttons, the tabs, the connect button, the status area and the
// page area. Every peripheral sits inside the highlight frame that the main window draws around it.
#include "ArtKit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace art {

namespace {

const QRect BOARD(164, 44, 294, 234);

void Chrome(QPainter& p) {
    QLinearGradient ground(0, 0, 0, 600);
    ground.setColorAt(0, QColor(26, 31, 41));
    ground.setColorAt(1, QColor(14, 17, 23));
    p.fillRect(0, 0, 620, 600, ground);

    // Title strip with the caption's well and the tray of the window buttons.
    QLinearGradient title(0, 0, 0, 40);
    title.setColorAt(0, QColor(44, 54, 70));
    title.setColorAt(1, QColor(22, 27, 36));
    p.fillRect(0, 0, 620, 40, title);
    p.setPen(QColor(0, 150, 170));
    p.drawLine(0, 40, 620, 40);
    Well(p, QRect(160, 5, 300, 22), QColor(12, 15, 20));
    Well(p, QRect(476, 15, 124, 20), QColor(12, 15, 20));

    // Outline of the whole window.
    p.setPen(QColor(90, 104, 126));
    p.setBrush(Qt::NoBrush);
    p.drawRect(0, 0, 619, 599);
    p.setPen(QColor(8, 10, 14));
    p.drawRect(1, 1, 617, 597);

    Text(p, 14, 8, QStringLiteral("QX7-MB"), QStringLiteral("Arial"), 18, palette::TITLE, true);
}

void LeftPanel(QPainter& p) {
    // The product panel beside the board.
    Bevel(p, QRect(8, 50, 146, 228), palette::PANEL, true);
    Text(p, 18, 60, QStringLiteral("QX7-MB"), QStringLiteral("Arial"), 26, palette::TITLE, true);
    Text(p, 18, 92, QStringLiteral("FPGA Development Board"), QStringLiteral("Arial"), 11, QColor(200, 206, 214));
    p.setPen(QColor(60, 72, 92));
    p.drawLine(18, 112, 144, 112);
    const char* lines[] = {"Cyclone V FPGA",      "10 red LEDs",  "6 seven-segment digits",
                           "4 keys, 10 switches", "64 MiB SDRAM", "SD card slot",
                           "VGA output"};
    int y = 120;
    for (const char* line : lines) {
        p.setPen(Qt::NoPen);
        p.setBrush(palette::TITLE.darker(160));
        p.drawRect(20, y + 5, 3, 3);
        Text(p, 28, y, QString::fromLatin1(line), QStringLiteral("Arial"), 11, QColor(160, 168, 180));
        y += 18;
    }
    Text(p, 18, 254, QStringLiteral("JTAG  USB-Blaster"), QStringLiteral("Arial"), 10, palette::GREY);

    // The tab well, the connect socket and the status bar.
    Well(p, QRect(4, 300, 199, 184), QColor(16, 20, 27));
    Text(p, 10, 288, QStringLiteral("PERIPHERALS"), QStringLiteral("Arial"), 10, palette::GREY, true);
    QRadialGradient socket(163.5, 530.5, 46);
    socket.setColorAt(0.7, QColor(10, 12, 16));
    socket.setColorAt(1, QColor(40, 48, 62));
    p.setPen(QColor(70, 84, 104));
    p.setBrush(socket);
    p.drawEllipse(QPointF(163.5, 530.5), 45, 45);
    Text(p, 30, 500, QStringLiteral("STATUS"), QStringLiteral("Arial"), 10, palette::GREY, true);
    Well(p, QRect(26, 517, 98, 30), QColor(8, 10, 13));
}

// The panel right of the board: the link from the computer to the board's firmware, as a legend.
void RightPanel(QPainter& p) {
    Bevel(p, QRect(466, 50, 146, 228), palette::PANEL, true);
    Text(p, 476, 60, QStringLiteral("JTAG LINK"), QStringLiteral("Arial"), 11, palette::TITLE, true);
    p.setPen(QColor(60, 72, 92));
    p.drawLine(476, 78, 602, 78);
    const char* stages[] = {"PC", "USB-Blaster", "Cyclone V FPGA", "Nios II firmware"};
    int y = 92;
    for (int i = 0; i < 4; ++i) {
        p.setPen(QColor(84, 100, 124));
        p.setBrush(QColor(22, 27, 36));
        p.drawRoundedRect(QRect(478, y, 122, 22), 4, 4);
        Text(p, 486, y + 5, QString::fromLatin1(stages[i]), QStringLiteral("Arial"), 11, QColor(200, 206, 214));
        if (i < 3) {
            p.setPen(QPen(palette::TITLE.darker(150), 2));
            p.drawLine(539, y + 23, 539, y + 33);
            p.setPen(Qt::NoPen);
            p.setBrush(palette::TITLE.darker(150));
            const QPointF tip[3] = {QPointF(535, y + 32), QPointF(543, y + 32), QPointF(539, y + 36)};
            p.drawPolygon(tip, 3);
        }
        y += 38;
    }
}

void PageFrame(QPainter& p) {
    p.setPen(QColor(0, 110, 130));
    p.setBrush(Qt::NoBrush);
    p.drawRect(202, 286, 390, 279);
    p.setPen(QColor(8, 10, 14));
    p.drawRect(203, 287, 388, 277);
    // The status-information line, with the indicator's place at its left.
    Well(p, QRect(222, 559, 358, 23), QColor(8, 10, 13));
}

void Pcb(QPainter& p) {
    QLinearGradient pcb(BOARD.topLeft(), BOARD.bottomRight());
    pcb.setColorAt(0, QColor(20, 70, 74));
    pcb.setColorAt(1, palette::PCB_DARK);
    p.setPen(QPen(QColor(6, 24, 26), 2));
    p.setBrush(pcb);
    p.drawRoundedRect(BOARD, 8, 8);
    // Traces: thin copper-tinted lines under the solder mask, kept on the board.
    Noise noise(7);
    p.save();
    QPainterPath outline;
    outline.addRoundedRect(QRectF(BOARD).adjusted(3, 3, -3, -3), 6, 6);
    p.setClipPath(outline);
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 60; ++i) {
        const int x = BOARD.left() + 8 + static_cast<int>(noise.Next() * (BOARD.width() - 16));
        const int y = BOARD.top() + 8 + static_cast<int>(noise.Next() * (BOARD.height() - 16));
        const int len = 10 + static_cast<int>(noise.Next() * 40);
        p.setPen(QPen(QColor(34, 98, 98), 1));
        QPainterPath trace;
        trace.moveTo(x, y);
        if (noise.Next() < 0.5) {
            trace.lineTo(x + len, y);
            trace.lineTo(x + len + 6, y + 6);
        } else {
            trace.lineTo(x, y + len);
            trace.lineTo(x + 6, y + len + 6);
        }
        p.drawPath(trace);
    }
    p.restore();
    // Mounting holes.
    for (const QPoint c : {QPoint(174, 54), QPoint(448, 54), QPoint(174, 268), QPoint(448, 268)}) {
        p.setPen(QPen(palette::COPPER, 2));
        p.setBrush(QColor(8, 10, 12));
        p.drawEllipse(c, 4, 4);
    }
    Text(p, 176, 100, QStringLiteral("QX7-MB"), QStringLiteral("Arial"), 12, QColor(220, 226, 230), true);
}

void Chip(QPainter& p, const QRect& body, int pins, bool fourSides) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(180, 184, 190));
    const double pitchX = static_cast<double>(body.width()) / pins;
    for (int i = 0; i < pins; ++i) {
        const double x = body.left() + pitchX * (i + 0.25);
        p.drawRect(QRectF(x, body.top() - 3, pitchX * 0.5, 3));
        p.drawRect(QRectF(x, body.bottom() + 1, pitchX * 0.5, 3));
    }
    if (fourSides) {
        const double pitchY = static_cast<double>(body.height()) / pins;
        for (int i = 0; i < pins; ++i) {
            const double y = body.top() + pitchY * (i + 0.25);
            p.drawRect(QRectF(body.left() - 3, y, 3, pitchY * 0.5));
            p.drawRect(QRectF(body.right() + 1, y, 3, pitchY * 0.5));
        }
    }
    QLinearGradient top(body.topLeft(), body.bottomRight());
    top.setColorAt(0, QColor(52, 54, 60));
    top.setColorAt(1, QColor(18, 19, 22));
    p.setBrush(top);
    p.setPen(QColor(8, 8, 10));
    p.drawRect(body);
}

void Components(QPainter& p) {
    // FPGA, its configuration flash, the oscillator and the JTAG/USB connector.
    Chip(p, QRect(262, 106, 62, 62), 14, true);
    Text(p, 270, 124, QStringLiteral("CYCLONE V"), QStringLiteral("Arial"), 9, QColor(190, 194, 200), true);
    Text(p, 272, 140, QStringLiteral("5CEBA4"), QStringLiteral("Arial"), 9, QColor(150, 154, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 150, 150));
    p.drawEllipse(QPointF(268, 160), 2, 2);
    Chip(p, QRect(346, 118, 22, 14), 4, false);
    p.setPen(QColor(200, 200, 205));
    p.setBrush(QColor(150, 152, 158));
    p.drawRoundedRect(QRect(346, 148, 18, 10), 3, 3);
    // USB-B connector at the left edge.
    p.setPen(QColor(40, 40, 44));
    p.setBrush(QColor(176, 180, 188));
    p.drawRect(QRect(158, 120, 30, 28));
    p.setBrush(QColor(30, 30, 34));
    p.drawRect(QRect(164, 126, 18, 16));
    // Power jack and switch.
    p.setBrush(QColor(24, 24, 28));
    p.drawRect(QRect(158, 164, 26, 20));
    p.setBrush(QColor(70, 70, 76));
    p.drawEllipse(QPointF(171, 174), 5, 5);
    // Expansion header on the right edge.
    p.setBrush(QColor(14, 14, 16));
    p.drawRect(QRect(420, 104, 16, 88));
    p.setBrush(QColor(214, 180, 90));
    for (int row = 0; row < 20; ++row) {
        p.drawRect(QRect(423, 107 + row * 4 + 1, 2, 2));
        p.drawRect(QRect(430, 107 + row * 4 + 1, 2, 2));
    }
    // Capacitors and resistors scattered near the FPGA.
    Noise noise(11);
    for (int i = 0; i < 18; ++i) {
        const int x = 200 + static_cast<int>(noise.Next() * 200);
        const int y = 176 + static_cast<int>(noise.Next() * 14);
        p.setBrush(noise.Next() < 0.5 ? QColor(150, 110, 60) : QColor(30, 30, 30));
        p.drawRect(QRect(x, y, 4, 2));
    }
}

void Peripherals(QPainter& p) {
    // VGA connector (280, 34, 73 x 52): a blue D-sub with its metal shell.
    p.setPen(QColor(30, 30, 34));
    p.setBrush(QColor(170, 174, 182));
    p.drawRect(QRect(282, 36, 69, 48));
    p.setBrush(QColor(120, 124, 132));
    p.drawEllipse(QPointF(290, 60), 4, 4);
    p.drawEllipse(QPointF(343, 60), 4, 4);
    QPainterPath shell;
    shell.moveTo(298, 46);
    shell.lineTo(335, 46);
    shell.lineTo(331, 74);
    shell.lineTo(302, 74);
    shell.closeSubpath();
    p.setBrush(QColor(30, 70, 170));
    p.drawPath(shell);
    p.setBrush(QColor(12, 14, 20));
    const int rowCounts[3] = {5, 5, 5};
    for (int row = 0; row < 3; ++row) {
        for (int i = 0; i < rowCounts[row]; ++i) {
            p.drawEllipse(QPointF(305.5 + i * 5.5 + (row == 1 ? 1.5 : 0), 52 + row * 8), 1.4, 1.4);
        }
    }
    Text(p, 300, 76, QStringLiteral("VGA"), QStringLiteral("Arial"), 8, QColor(230, 230, 230), true);

    // SD card slot (402, 56, 36 x 37): a metal cage with the card's edge.
    p.setPen(QColor(40, 40, 44));
    p.setBrush(QColor(186, 190, 198));
    p.drawRect(QRect(404, 58, 32, 33));
    p.setBrush(QColor(140, 144, 152));
    p.drawRect(QRect(408, 62, 24, 25));
    p.setBrush(QColor(30, 60, 150));
    p.drawRect(QRect(410, 80, 20, 9));
    Text(p, 412, 64, QStringLiteral("SD"), QStringLiteral("Arial"), 9, QColor(30, 30, 34), true);

    // Six 7-segment digits (191, 196, 115 x 31).
    p.setBrush(QColor(20, 18, 20));
    p.setPen(QColor(0, 0, 0));
    p.drawRect(QRect(193, 198, 111, 27));
    for (int k = 0; k < 6; ++k) {
        const int x = 196 + k * 18;
        p.setPen(QPen(QColor(200, 30, 24), 1.6));
        p.drawLine(QPointF(x + 3, 201), QPointF(x + 11, 201));
        p.drawLine(QPointF(x + 3, 211), QPointF(x + 11, 211));
        p.drawLine(QPointF(x + 3, 221), QPointF(x + 11, 221));
        p.drawLine(QPointF(x + 2, 202), QPointF(x + 2, 210));
        p.drawLine(QPointF(x + 12, 202), QPointF(x + 12, 210));
        p.drawLine(QPointF(x + 2, 212), QPointF(x + 2, 220));
        p.drawLine(QPointF(x + 12, 212), QPointF(x + 12, 220));
    }

    // SDRAM chip (312, 204, 54 x 25).
    Chip(p, QRect(315, 209, 48, 15), 12, false);
    Text(p, 322, 210, QStringLiteral("SDRAM"), QStringLiteral("Arial"), 8, QColor(170, 174, 180), true);

    // Ten LEDs (190, 229, 120 x 11), LEDR9 at the left.
    for (int i = 0; i < 10; ++i) {
        const int x = 194 + i * 11;
        p.setPen(QColor(60, 10, 10));
        p.setBrush(QColor(150, 24, 24));
        p.drawRect(QRect(x, 232, 7, 5));
    }

    // Ten slide switches (191, 244, 120 x 21).
    for (int j = 0; j < 10; ++j) {
        const int x = 194 + j * 11;
        p.setPen(QColor(10, 10, 12));
        p.setBrush(QColor(40, 42, 48));
        p.drawRect(QRect(x, 247, 8, 15));
        p.setBrush(QColor(220, 222, 226));
        p.drawRect(QRect(x + 1, 255, 6, 6));
    }

    // Four keys (319, 247, 74 x 20).
    for (int i = 0; i < 4; ++i) {
        const int x = 322 + i * 18;
        p.setPen(QColor(10, 10, 12));
        p.setBrush(QColor(150, 154, 160));
        p.drawRect(QRect(x, 249, 14, 15));
        p.setBrush(QColor(30, 32, 36));
        p.drawEllipse(QPointF(x + 7.5, 256.5), 4.5, 4.5);
    }
}

QImage MainUi() {
    QImage picture = NewPicture(620, 600, palette::WINDOW);
    QPainter p(&picture);
    Smooth(p);
    Chrome(p);
    LeftPanel(p);
    RightPanel(p);
    Pcb(p);
    Components(p);
    Peripherals(p);
    PageFrame(p);
    return picture;
}

} // namespace

void DrawMainWindow(Pictures& out) {
    out.push_back({QStringLiteral("skin"), QStringLiteral("MAIN_UI"), MainUi()});
}

} // namespace art
