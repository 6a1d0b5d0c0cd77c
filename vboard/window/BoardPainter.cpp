#include "vboard/window/BoardPainter.h"

#include "skin/SkinResources.h"
#include "vboard/Bitstream.h"
#include "vboard/window/BoardLayout.h"
#include "vboard/window/VgaPicture.h"

#include <QFont>

namespace vboard {

namespace {

const QColor WINDOW{18, 22, 30};
const QColor PANEL{28, 34, 45};
const QColor EDGE{86, 100, 122};
const QColor TITLE{0, 234, 255};
const QColor GREY{150, 150, 150};
const QColor LED_LIT{255, 36, 36};
const QColor LED_DARK{70, 18, 18};

// A skin picture with its key colour (the colour of its bottom-left pixel) made transparent, as the
// skin draws its transparent pictures.
QImage Keyed(const QString& name) {
    QImage picture = skin::LoadSkinPicture(name).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = picture.pixel(0, picture.height() - 1);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (line[x] == key)
                line[x] = 0;
        }
    }
    return picture;
}

// A digit with every segment dark: the 8 with its lit segments turned to the unlit colour.
QImage BlankDigit(const QImage& eight) {
    QImage picture = eight;
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if (qAlpha(line[x]) != 0 && qRed(line[x]) > 80)
                line[x] = qRgb(62, 22, 22);
        }
    }
    return picture;
}

bool RunsPanelDesign(const BoardSnapshot& state) {
    return state.configured && state.design == Bitstream::CONTROL_PANEL_DESIGN;
}

void SetFont(QPainter& painter, int pixels, bool bold = false) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    painter.setFont(font);
}

// A label centred under a part.
void Label(QPainter& painter, const QRect& part, int top, const QString& text) {
    painter.drawText(QRect(part.center().x() - 40, top, 81, 16), Qt::AlignHCenter | Qt::AlignTop, text);
}

} // namespace

BoardPainter::BoardPainter()
    : switchOff(Keyed(QStringLiteral("SW_UP"))), switchOn(Keyed(QStringLiteral("SW_DOWN"))),
      keyUp(Keyed(QStringLiteral("BUTTON_UP"))), keyDown(Keyed(QStringLiteral("BUTTON_DOWN"))) {
    for (int value = 0; value < 16; ++value)
        digitPictures[value] = Keyed(QStringLiteral("HEX_%1").arg(value, 0, 16));
    blankDigit = BlankDigit(digitPictures[8]);
}

void BoardPainter::Paint(QPainter& painter, const BoardSnapshot& state, uint64_t bytesPerSecond) const {
    painter.fillRect(QRect(0, 0, layout::WIDTH, layout::HEIGHT), WINDOW);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(EDGE);
    painter.setBrush(PANEL);
    painter.drawRoundedRect(layout::Board(), 6, 6);
    painter.setPen(TITLE);
    SetFont(painter, 16, true);
    painter.drawText(QPoint(24, 34), QStringLiteral("QX7-MB"));
    painter.setPen(GREY);
    SetFont(painter, 12);
    painter.drawText(QPoint(104, 34), QStringLiteral("virtual board"));

    PaintChip(painter, state);
    PaintJtag(painter, state, bytesPerSecond);
    PaintSdSlot(painter, state);
    PaintMonitor(painter, state);
    PaintDigits(painter, state);
    PaintLeds(painter, state);
    PaintSwitches(painter, state);
    PaintKeys(painter, state);
}

void BoardPainter::PaintChip(QPainter& painter, const BoardSnapshot& state) const {
    const QRect chip = layout::Chip();
    painter.setPen(QColor(8, 10, 14));
    painter.setBrush(QColor(44, 48, 56));
    painter.drawRect(chip);
    painter.setPen(QColor(200, 200, 200));
    SetFont(painter, 13, true);
    painter.drawText(chip.adjusted(0, 0, 0, -20), Qt::AlignCenter, QStringLiteral("Cyclone V"));

    const bool panelDesign = RunsPanelDesign(state);
    const QColor mark = !state.configured ? GREY : panelDesign ? QColor(0, 200, 0) : QColor(255, 200, 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawEllipse(QRect(chip.center().x() - 6, chip.bottom() - 34, 12, 12));

    QString text = QStringLiteral("FPGA: not configured");
    if (panelDesign)
        text = QStringLiteral("FPGA: control-panel design");
    else if (state.configured)
        text = QStringLiteral("FPGA: other design (%1)").arg(QString::fromStdString(state.design));
    painter.setPen(Qt::white);
    SetFont(painter, 12);
    painter.drawText(QPoint(chip.left(), chip.bottom() + 22), text);
}

void BoardPainter::PaintJtag(QPainter& painter, const BoardSnapshot& state, uint64_t bytesPerSecond) const {
    const QRect header = layout::JtagHeader();
    painter.setPen(QColor(8, 10, 14));
    painter.setBrush(QColor(12, 14, 18));
    painter.drawRect(header);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(176, 142, 74));
    for (int pin = 0; pin < 5; ++pin) {
        painter.drawRect(header.left() + 6 + 11 * pin, header.top() + 4, 5, 5);
        painter.drawRect(header.left() + 6 + 11 * pin, header.top() + 13, 5, 5);
    }
    painter.setPen(state.linkOpen ? QColor(0, 200, 0) : GREY);
    SetFont(painter, 12);
    const QString text =
        state.linkOpen ? QStringLiteral("JTAG: open, %1 B/s").arg(bytesPerSecond) : QStringLiteral("JTAG: closed");
    painter.drawText(QPoint(header.right() + 10, header.bottom() - 4), text);
}

void BoardPainter::PaintSdSlot(QPainter& painter, const BoardSnapshot& state) const {
    const QRect slot = layout::SdSlot();
    painter.setPen(EDGE);
    painter.setBrush(QColor(150, 156, 166));
    painter.drawRect(slot.adjusted(0, 0, 0, -24));
    const bool present = state.sdProfile != "none";
    if (present) {
        // The card sticks out of the slot's open lower edge.
        const QRect card(slot.left() + 18, slot.top() + 24, slot.width() - 36, slot.height() - 28);
        painter.setPen(QColor(10, 20, 60));
        painter.setBrush(QColor(40, 70, 160));
        painter.drawRect(card);
        painter.setPen(Qt::white);
        SetFont(painter, 11, true);
        painter.drawText(card.adjusted(0, 0, 0, -6), Qt::AlignHCenter | Qt::AlignBottom,
                         QString::fromStdString(state.sdProfile).toUpper());
    }
    painter.setPen(Qt::white);
    SetFont(painter, 12);
    painter.drawText(QPoint(slot.left(), slot.bottom() + 16),
                     present ? QStringLiteral("SD card: %1").arg(QString::fromStdString(state.sdProfile))
                             : QStringLiteral("SD card: none"));
}

void BoardPainter::PaintMonitor(QPainter& painter, const BoardSnapshot& state) const {
    const QRect monitor = layout::Monitor();
    painter.setPen(QColor(8, 10, 14));
    painter.setBrush(QColor(40, 44, 52));
    painter.drawRoundedRect(monitor, 6, 6);
    painter.drawRect(monitor.center().x() - 20, monitor.bottom() + 1, 40, 12);
    painter.drawRect(monitor.center().x() - 60, monitor.bottom() + 13, 120, 6);
    DrawVgaPicture(painter, layout::Screen(), state.vgaPattern);
    painter.setPen(Qt::white);
    SetFont(painter, 12);
    const QString name = VgaPatternName(state.vgaPattern);
    painter.drawText(QPoint(monitor.left(), monitor.bottom() + 34),
                     name.isEmpty() ? QStringLiteral("VGA: no signal")
                                    : QStringLiteral("VGA: pattern %1, %2").arg(state.vgaPattern).arg(name));
}

void BoardPainter::PaintDigits(QPainter& painter, const BoardSnapshot& state) const {
    // Only the control-panel design drives the digits; without it they stay dark.
    const bool driven = RunsPanelDesign(state);
    painter.setPen(Qt::white);
    SetFont(painter, 11);
    for (int k = 0; k < DIGIT_COUNT; ++k) {
        const QRect place = layout::Digit(k);
        painter.drawImage(place.topLeft(), driven ? digitPictures[DigitOf(state.digits, k)] : blankDigit);
        Label(painter, place, place.bottom() + 4, QStringLiteral("HEX%1").arg(k));
    }
}

void BoardPainter::PaintLeds(QPainter& painter, const BoardSnapshot& state) const {
    SetFont(painter, 10);
    for (int i = 0; i < LED_COUNT; ++i) {
        const QRect led = layout::Led(i);
        const bool lit = (state.leds >> i) & 1;
        painter.setPen(QColor(20, 6, 6));
        painter.setBrush(lit ? LED_LIT : LED_DARK);
        painter.drawRect(led);
        painter.setPen(Qt::white);
        Label(painter, led, led.bottom() + 6, QStringLiteral("LEDR%1").arg(i));
    }
}

void BoardPainter::PaintSwitches(QPainter& painter, const BoardSnapshot& state) const {
    SetFont(painter, 11);
    painter.setPen(Qt::white);
    for (int j = 0; j < SWITCH_COUNT; ++j) {
        const QRect place = layout::Switch(j);
        // The same pictures as the panel's switches page: an "on" switch shows SW_DOWN.
        painter.drawImage(place.topLeft(), (state.switches >> j) & 1 ? switchOn : switchOff);
        Label(painter, place, place.bottom() + 4, QStringLiteral("SW%1").arg(j));
    }
}

void BoardPainter::PaintKeys(QPainter& painter, const BoardSnapshot& state) const {
    SetFont(painter, 11);
    painter.setPen(Qt::white);
    for (int i = 0; i < KEY_COUNT; ++i) {
        const QRect place = layout::Key(i);
        painter.drawImage(place.topLeft(), (state.keys >> i) & 1 ? keyDown : keyUp);
        Label(painter, place, place.bottom() + 6, QStringLiteral("KEY%1").arg(i));
    }
}

} // namespace vboard
