// What the board window draws: LEDs, digits, the VGA monitor and the FPGA's state.
#include "skin/SkinResources.h"
#include "tests/support/Recorders.h"
#include "tests/vboard/WindowFixture.h"
#include "vboard/Bitstream.h"
#include "vboard/window/BoardLayout.h"
#include "vboard/window/TrafficMeter.h"

#include <fstream>

using vboardtest::At;
using vboardtest::WindowFixture;
namespace layout = vboard::layout;

namespace {

const QColor LED_LIT(255, 36, 36);
const QColor LED_DARK(70, 18, 18);

struct BoardPictureTest : WindowFixture {
    BoardPictureTest() { Control("configure QX7MB_ControlPanel.sof"); }

    void Set(const std::function<void(vboard::Firmware&)>& change) {
        board.Change(change);
        window.Refresh();
    }
};

// The centre of a cell of the scale patterns' grid of 4 rows and 40 columns.
QPoint CellCentre(int row, int column) {
    const QRect s = layout::Screen();
    const int left = s.width() * column / 40;
    const int right = s.width() * (column + 1) / 40;
    const int top = s.height() * row / 4;
    const int bottom = s.height() * (row + 1) / 4;
    return {s.left() + (left + right - 1) / 2, s.top() + (top + bottom - 1) / 2};
}

// Every pixel of a digit on the board is the skin's picture for its value, except where the picture
// is transparent.
bool ShowsDigit(const QImage& picture, int k, int value) {
    const QImage digit = skin::LoadSkinPicture(QStringLiteral("HEX_%1").arg(value, 0, 16));
    const QRgb key = digit.pixel(0, digit.height() - 1);
    const QPoint origin = layout::Digit(k).topLeft();
    for (int y = 0; y < digit.height(); ++y) {
        for (int x = 0; x < digit.width(); ++x) {
            if (digit.pixel(x, y) != key && picture.pixel(origin + QPoint(x, y)) != (digit.pixel(x, y) | 0xFF000000u))
                return false;
        }
    }
    return true;
}

TEST_F(BoardPictureTest, LedsLightFromTheMask) {
    Set([](vboard::Firmware& f) { f.leds = 0x201; });
    const QImage picture = Picture();
    EXPECT_EQ(At(picture, layout::Led(0).center()), LED_LIT);
    EXPECT_EQ(At(picture, layout::Led(9).center()), LED_LIT);
    for (int i = 1; i < 9; ++i)
        EXPECT_EQ(At(picture, layout::Led(i).center()), LED_DARK) << "LEDR" << i;
    // LEDR9 is the leftmost, as on the board.
    EXPECT_LT(layout::Led(9).left(), layout::Led(0).left());
}

TEST_F(BoardPictureTest, DigitsShowTheDigitWordWithHex5Leftmost) {
    Set([](vboard::Firmware& f) { f.digits = 0x5A3C01; });
    const QImage picture = Picture();
    const int values[6] = {1, 0, 0xC, 3, 0xA, 5};
    for (int k = 0; k < 6; ++k)
        EXPECT_TRUE(ShowsDigit(picture, k, values[k])) << "HEX" << k;
    // The top segment is dark on the 1 of HEX0 and lit on the 0 of HEX1.
    const QPoint top(18, 6);
    EXPECT_LT(At(picture, layout::Digit(0).topLeft() + top).red(), 100);
    EXPECT_GT(At(picture, layout::Digit(1).topLeft() + top).red(), 200);
    EXPECT_LT(layout::Digit(5).left(), layout::Digit(0).left());
}

TEST_F(BoardPictureTest, TheMonitorShowsEverySolidPattern) {
    const QColor colours[] = {{255, 0, 0}, {0, 128, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}};
    for (int pattern = 1; pattern <= 5; ++pattern) {
        Set([pattern](vboard::Firmware& f) { f.vgaPattern = pattern; });
        const QImage picture = Picture();
        const QRect screen = layout::Screen();
        for (const QPoint p : {screen.topLeft(), screen.center(), screen.bottomRight()})
            EXPECT_EQ(At(picture, p), colours[pattern - 1]) << "pattern " << pattern;
    }
}

TEST_F(BoardPictureTest, TheMonitorShowsTheScalePatterns) {
    Set([](vboard::Firmware& f) { f.vgaPattern = 0; });
    QImage picture = Picture();
    const QColor level240[4] = {{240, 0, 0}, {0, 240, 0}, {0, 0, 240}, {240, 240, 240}};
    for (int row = 0; row < 4; ++row) {
        for (const int column : {0, 16, 32})
            EXPECT_EQ(At(picture, CellCentre(row, column)), QColor(0, 0, 0)) << row << "," << column;
        EXPECT_EQ(At(picture, CellCentre(row, 15)), level240[row]) << row;
    }
    EXPECT_EQ(At(picture, CellCentre(3, 39)), QColor(112, 112, 112));
    SaveScreenshot("color-scale");

    const QColor level16[3] = {{16, 0, 0}, {0, 16, 0}, {0, 0, 16}};
    for (int pattern = 6; pattern <= 8; ++pattern) {
        Set([pattern](vboard::Firmware& f) { f.vgaPattern = pattern; });
        picture = Picture();
        for (int row = 0; row < 4; ++row) {
            EXPECT_EQ(At(picture, CellCentre(row, 15)), level240[pattern - 6]) << pattern << "," << row;
            EXPECT_EQ(At(picture, CellCentre(row, 33)), level16[pattern - 6]) << pattern << "," << row;
        }
    }
}

TEST_F(BoardPictureTest, TheMonitorHasNoSignalBeforeAPatternIsChosen) {
    const QImage picture = Picture();
    const QColor noSignal = At(picture, layout::Screen().topLeft() + QPoint(2, 2));
    EXPECT_EQ(noSignal, At(picture, layout::Screen().bottomRight() - QPoint(2, 2)));
    EXPECT_NE(noSignal, QColor(0, 0, 0));
    // The words "No signal" in the middle of the screen.
    bool text = false;
    const QRect middle(layout::Screen().center() - QPoint(40, 8), QSize(80, 16));
    for (int y = middle.top(); y <= middle.bottom(); ++y) {
        for (int x = middle.left(); x <= middle.right(); ++x)
            text = text || At(picture, QPoint(x, y)).lightness() > 100;
    }
    EXPECT_TRUE(text);
    SaveScreenshot("no-signal");
}

// The chip's mark is grey unconfigured, yellow for another design, green for the control panel's;
// only the control-panel design drives the digits.
TEST_F(BoardPictureTest, TheFpgaStateShows) {
    const QPoint mark(layout::Chip().center().x(), layout::Chip().bottom() - 28);
    const QPoint topSegment = layout::Digit(0).topLeft() + QPoint(18, 6);
    Control("reset");
    window.Refresh();
    EXPECT_EQ(At(Picture(), mark), QColor(150, 150, 150));
    EXPECT_LT(At(Picture(), topSegment).red(), 100);

    testsupport::TempFolder folder;
    vboard::Bitstream other{"Blinky", {1, 2, 3}};
    const std::vector<uint8_t> bytes = other.Encode();
    std::ofstream(folder / "blinky.sof", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    EXPECT_EQ(Control("configure " + folder / "blinky.sof"), "ok configured Blinky");
    EXPECT_TRUE(WaitFor([&] { return At(Picture(), mark) == QColor(255, 200, 0); }));
    EXPECT_LT(At(Picture(), topSegment).red(), 100);
    SaveScreenshot("other-design");

    EXPECT_EQ(Control("configure QX7MB_ControlPanel.sof"), "ok configured QX7MB_ControlPanel");
    EXPECT_TRUE(WaitFor([&] { return At(Picture(), mark) == QColor(0, 200, 0); }));
    EXPECT_GT(At(Picture(), topSegment).red(), 200);
    Control("reset");
    EXPECT_TRUE(WaitFor([&] { return At(Picture(), mark) == QColor(150, 150, 150); }));
}

TEST(TrafficMeterTest, RateIsTheGrowthOverTheTimeBetweenReadings) {
    vboard::TrafficMeter meter;
    meter.Sample(500, 1000);
    EXPECT_EQ(meter.BytesPerSecond(), 0u);
    meter.Sample(1500, 3000);
    EXPECT_EQ(meter.BytesPerSecond(), 500u);
    // A reading without time passing keeps the last rate instead of dividing by zero.
    meter.Sample(9000, 3000);
    EXPECT_EQ(meter.BytesPerSecond(), 500u);
    meter.Sample(1500, 3250);
    EXPECT_EQ(meter.BytesPerSecond(), 0u);
}

} // namespace
