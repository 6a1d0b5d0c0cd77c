#include "skin/Canvas.h"

#include "SkinTestUtil.h"

#include <QFontMetrics>
#include <gtest/gtest.h>
#include <vector>

using skin::TCanvas;
using skintest::AllPixels;

namespace {

const QRgb BLUE = qRgb(0, 0, 200);
const QRgb GREEN = qRgb(0, 128, 0);

TEST(CanvasFont, PointSizesBecomePixelsAtNinetySixDotsPerInch) {
    TCanvas canvas(10, 10);
    const std::pair<int, int> sizes[] = {{8, 11}, {7, 9}, {10, 13}, {9, 12}, {12, 16}};
    for (const auto& [points, pixels] : sizes) {
        canvas.SetFontSize(points);
        EXPECT_EQ(canvas.Font().pixelSize(), pixels) << points << " pt";
    }
    canvas.SetFontName(QStringLiteral("Arial"));
    canvas.SetFontSize(8);
    EXPECT_EQ(canvas.TextWidth(QStringLiteral("Light All")),
              QFontMetrics(canvas.Font()).horizontalAdvance(QStringLiteral("Light All")));
    EXPECT_EQ(canvas.TextHeight(QStringLiteral("x")), QFontMetrics(canvas.Font()).height());
}

TEST(CanvasFont, TheFormsFaceMeasuresAsLiberationSans) {
    TCanvas canvas(10, 10);
    EXPECT_EQ(canvas.Font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(canvas.Font().pixelSize(), 11);
    QFont twin(QStringLiteral("Liberation Sans"));
    twin.setPixelSize(11);
    EXPECT_EQ(canvas.TextWidth(QStringLiteral("Sequential Write")),
              QFontMetrics(twin).horizontalAdvance(QStringLiteral("Sequential Write")));
}

TEST(CanvasText, OpaqueBrushBoxesTheTextAndAClearBrushDoesNot) {
    TCanvas canvas(120, 40);
    skintest::Fill(canvas, QColor(BLUE));
    canvas.SetFontName(QStringLiteral("Arial"));
    canvas.SetFontSize(8);
    canvas.SetTextColor(Qt::white);
    canvas.SetBrushColor(QColor(GREEN));
    const QString text = QStringLiteral("RLED9");
    canvas.TextOut(10, 5, text);
    const int tw = canvas.TextWidth(text);
    const int th = canvas.TextHeight(text);
    // The box covers exactly the text's extent, top-left at (x, y).
    EXPECT_EQ(canvas.Pixel(10, 5), GREEN);
    EXPECT_EQ(canvas.Pixel(10 + tw - 1, 5 + th - 1), GREEN);
    EXPECT_EQ(canvas.Pixel(9, 5), BLUE);
    EXPECT_EQ(canvas.Pixel(10, 4), BLUE);
    EXPECT_EQ(canvas.Pixel(10 + tw, 5), BLUE);
    EXPECT_EQ(canvas.Pixel(10, 5 + th), BLUE);

    canvas.SetBrushClear();
    canvas.TextOut(10, 22, text);
    int white = 0;
    int green = 0;
    for (int y = 22; y < 22 + th; ++y) {
        for (int x = 10; x < 10 + tw; ++x) {
            white += canvas.Pixel(x, y) == qRgb(255, 255, 255);
            green += canvas.Pixel(x, y) == GREEN;
        }
    }
    EXPECT_GT(white, 10);
    EXPECT_EQ(green, 0);
    // The drawing state stays for the next step.
    EXPECT_TRUE(canvas.BrushClear());
    EXPECT_EQ(canvas.TextColor(), QColor(Qt::white));
}

TEST(CanvasText, TextIsDrawnInPlainPixelsOfTheTextColour) {
    TCanvas canvas(100, 30);
    skintest::Fill(canvas, Qt::black);
    canvas.SetFontName(QStringLiteral("Arial"));
    canvas.SetFontSize(8);
    canvas.SetTextColor(QColor(0, 234, 255));
    canvas.SetBrushClear();
    canvas.TextOut(4, 4, QStringLiteral("Write a File"));
    int ink = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 100; ++x) {
            const QRgb pixel = canvas.Pixel(x, y);
            ASSERT_TRUE(pixel == qRgb(0, 0, 0) || pixel == qRgb(0, 234, 255)) << x << "," << y;
            ink += pixel == qRgb(0, 234, 255) ? 1 : 0;
        }
    }
    // Twelve characters leave ink: far more than a stray pixel, less than a filled box.
    EXPECT_GT(ink, 60);
    EXPECT_LT(ink, canvas.TextWidth(QStringLiteral("Write a File")) * canvas.TextHeight(QStringLiteral("W")) / 2);
}

TEST(CanvasChanges, EveryDrawingCallReportsItsRectangleClippedToTheSurface) {
    TCanvas canvas(50, 40);
    std::vector<QRect> changes;
    canvas.SetChangeHandler([&changes](const QRect& rect) { changes.push_back(rect); });
    QImage picture(20, 10, QImage::Format_RGB32);
    picture.fill(Qt::red);

    canvas.Draw(40, 35, picture, false);
    canvas.CopyRect(QRect(5, 6, 8, 4), picture, QRect(0, 0, 8, 4));
    canvas.SetBrushColor(Qt::blue);
    canvas.FillRect(QRect(1, 2, 3, 4));
    canvas.Rectangle(QRect(10, 10, 20, 10));
    canvas.TextOut(0, 0, QStringLiteral("A"));
    canvas.Draw(60, 60, picture, false); // wholly outside: nothing changes

    ASSERT_EQ(changes.size(), 5u);
    EXPECT_EQ(changes[0], QRect(40, 35, 10, 5));
    EXPECT_EQ(changes[1], QRect(5, 6, 8, 4));
    EXPECT_EQ(changes[2], QRect(1, 2, 3, 4));
    EXPECT_EQ(changes[3], QRect(10, 10, 20, 10));
    EXPECT_EQ(changes[4], QRect(0, 0, canvas.TextWidth(QStringLiteral("A")), canvas.TextHeight(QStringLiteral("A"))));
}

TEST(CanvasChanges, ASurfaceNotYetSizedTakesNoDrawing) {
    TCanvas canvas(0, 0);
    int changes = 0;
    canvas.SetChangeHandler([&changes](const QRect&) { ++changes; });
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    canvas.Draw(0, 0, picture, true);
    canvas.CopyRect(QRect(0, 0, 4, 4), picture, QRect(0, 0, 4, 4));
    canvas.FillRect(QRect(0, 0, 4, 4));
    canvas.Rectangle(QRect(0, 0, 4, 4));
    canvas.TextOut(0, 0, QStringLiteral("x"));
    EXPECT_EQ(changes, 0);
    canvas.Resize(4, 4);
    canvas.Draw(0, 0, picture, false);
    EXPECT_EQ(canvas.Pixel(3, 3), qRgb(255, 0, 0));
}

TEST(CanvasDraw, TransparentPictureSkipsExactlyTheColourOfItsBottomLeftPixel) {
    QImage picture(4, 3, QImage::Format_RGB32);
    picture.fill(qRgb(10, 20, 30));
    picture.setPixel(0, 2, qRgb(255, 0, 255)); // the key
    picture.setPixel(2, 0, qRgb(255, 0, 255)); // same colour elsewhere: skipped too
    picture.setPixel(3, 1, qRgb(254, 0, 255)); // a near colour is painted
    TCanvas canvas(10, 10);
    skintest::Fill(canvas, QColor(BLUE));

    canvas.Draw(2, 3, picture, true);
    EXPECT_EQ(canvas.Pixel(2, 5), BLUE);
    EXPECT_EQ(canvas.Pixel(4, 3), BLUE);
    EXPECT_EQ(canvas.Pixel(5, 4), qRgb(254, 0, 255));
    EXPECT_EQ(canvas.Pixel(3, 3), qRgb(10, 20, 30));
    EXPECT_EQ(canvas.Pixel(5, 5), qRgb(10, 20, 30));

    canvas.Draw(2, 3, picture, false);
    EXPECT_EQ(canvas.Pixel(2, 5), qRgb(255, 0, 255));
}

TEST(CanvasDraw, PicturesPartlyOutsideAreClipped) {
    QImage picture(6, 6, QImage::Format_RGB32);
    picture.fill(qRgb(200, 100, 0));
    picture.setPixel(0, 5, qRgb(1, 2, 3));
    TCanvas canvas(8, 8);
    skintest::Fill(canvas, QColor(BLUE));
    canvas.Draw(-3, 5, picture, true);
    EXPECT_TRUE(AllPixels(canvas, QRect(0, 5, 3, 3), qRgb(200, 100, 0)));
    EXPECT_TRUE(AllPixels(canvas, QRect(3, 0, 5, 8), BLUE));
    // Cut at the top: the key pixel (picture row 5) lands on canvas row 1 and stays unpainted.
    canvas.Draw(6, -4, picture, true);
    EXPECT_EQ(canvas.Pixel(6, 0), qRgb(200, 100, 0));
    EXPECT_EQ(canvas.Pixel(7, 1), qRgb(200, 100, 0));
    EXPECT_EQ(canvas.Pixel(6, 1), BLUE);
    EXPECT_EQ(canvas.Pixel(6, 2), BLUE);
}

TEST(CanvasShapes, RectangleDrawsItsOutlineInsideWithThePenWidth) {
    TCanvas canvas(30, 30);
    skintest::Fill(canvas, Qt::black);
    canvas.SetPenColor(QColor(255, 255, 0));
    canvas.SetPenWidth(2);
    canvas.SetBrushClear();
    canvas.Rectangle(QRect(5, 5, 10, 8));
    const QRgb yellow = qRgb(255, 255, 0);
    EXPECT_TRUE(AllPixels(canvas, QRect(5, 5, 10, 2), yellow));
    EXPECT_TRUE(AllPixels(canvas, QRect(5, 11, 10, 2), yellow));
    EXPECT_TRUE(AllPixels(canvas, QRect(5, 5, 2, 8), yellow));
    EXPECT_TRUE(AllPixels(canvas, QRect(13, 5, 2, 8), yellow));
    EXPECT_TRUE(AllPixels(canvas, QRect(7, 7, 6, 4), qRgb(0, 0, 0)));
    EXPECT_EQ(canvas.Pixel(15, 5), qRgb(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(5, 13), qRgb(0, 0, 0));

    canvas.SetBrushColor(QColor(GREEN));
    canvas.Rectangle(QRect(5, 5, 10, 8));
    EXPECT_TRUE(AllPixels(canvas, QRect(7, 7, 6, 4), GREEN));
}

TEST(CanvasSize, ResizeKeepsWhatFitsAndReportsTheWholeSurface) {
    TCanvas canvas(4, 4);
    skintest::Fill(canvas, QColor(BLUE));
    QRect changed;
    canvas.SetChangeHandler([&changed](const QRect& rect) { changed = rect; });
    canvas.Resize(6, 5);
    EXPECT_EQ(canvas.Width(), 6);
    EXPECT_EQ(canvas.Height(), 5);
    EXPECT_EQ(changed, QRect(0, 0, 6, 5));
    EXPECT_EQ(canvas.Pixel(3, 3), BLUE);
    EXPECT_EQ(canvas.Pixel(5, 4), qRgb(0, 0, 0));
}

} // namespace
