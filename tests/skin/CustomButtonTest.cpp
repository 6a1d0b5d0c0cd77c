#include "skin/CustomButton.h"

#include "SkinTestUtil.h"
#include "skin/SkinResources.h"

#include <gtest/gtest.h>
#include <set>
#include <stdexcept>

using skin::TCanvas;
using skin::TCustomButton;

namespace {

const QRgb GROUND = qRgb(5, 6, 7);
const QRgb ACTIVE = qRgb(0, 234, 255);
const QRgb NORMAL = qRgb(255, 255, 255);
const QRgb DISABLED = qRgb(150, 150, 150);

class CustomButtonTest : public ::testing::Test {
protected:
    CustomButtonTest() : canvas(400, 300) { skintest::Fill(canvas, QColor(GROUND)); }

    // The colours of the pixels that the caption changed: the button painted with its caption against
    // the same face painted without one.
    std::set<QRgb> CaptionColours(TCustomButton& button, int face) {
        TCanvas bare(canvas.Width(), canvas.Height());
        TCustomButton plain(button.GetId(), QString(), QStringLiteral("NORMAL_BTN"), button.GetLeft(), button.GetTop(),
                            true);
        plain.SetEnabled(button.GetEnabled());
        plain.PaintFace(bare, face);
        button.PaintFace(canvas, face);
        std::set<QRgb> colours;
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                if (canvas.Pixel(x, y) != bare.Pixel(x, y) && canvas.Pixel(x, y) != GROUND) {
                    colours.insert(canvas.Pixel(x, y));
                }
            }
        }
        return colours;
    }

    TCanvas canvas;
    const QImage normalBtn = skin::LoadSkinPicture(QStringLiteral("NORMAL_BTN"));
};

TEST_F(CustomButtonTest, AFaceIsCopiedToTheButtonsRectangleAndNowhereElse) {
    ASSERT_EQ(normalBtn.size(), QSize(64, 68));
    TCustomButton button(0, QString(), QStringLiteral("NORMAL_BTN"), 106, 243, true);
    button.PaintFace(canvas, skin::faceHot);
    // Picture rows 34 to 50 land on surface rows 243 to 259, columns 106 to 169.
    EXPECT_TRUE(skintest::ShowsFace(canvas, normalBtn, skin::faceHot, 106, 243));
    EXPECT_EQ(canvas.Pixel(106, 243), normalBtn.pixel(0, 34));
    EXPECT_EQ(canvas.Pixel(169, 259), normalBtn.pixel(63, 50));
    EXPECT_TRUE(skintest::AllPixels(canvas, QRect(105, 243, 1, 17), GROUND));
    EXPECT_TRUE(skintest::AllPixels(canvas, QRect(170, 243, 1, 17), GROUND));
    EXPECT_TRUE(skintest::AllPixels(canvas, QRect(106, 242, 64, 1), GROUND));
    EXPECT_TRUE(skintest::AllPixels(canvas, QRect(106, 260, 64, 1), GROUND));
    EXPECT_EQ(button.GetWidth(), 64);
    EXPECT_EQ(button.GetHeight(), 17);
}

TEST_F(CustomButtonTest, PaintShowsTheNormalOrTheDisabledFace) {
    TCustomButton button(1, QString(), QStringLiteral("NORMAL_BTN"), 10, 10, true);
    button.Paint(canvas);
    EXPECT_TRUE(skintest::ShowsFace(canvas, normalBtn, skin::faceNormal, 10, 10));
    button.SetEnabled(false);
    button.Paint(canvas);
    EXPECT_TRUE(skintest::ShowsFace(canvas, normalBtn, skin::faceDisabled, 10, 10));
}

TEST_F(CustomButtonTest, HitTestTakesTheLeftAndTopEdgesButNotTheRightAndBottom) {
    TCustomButton button(0, QStringLiteral("Read"), QStringLiteral("NORMAL_BTN"), 106, 243, true);
    EXPECT_TRUE(button.HitTest(106, 243));
    EXPECT_TRUE(button.HitTest(169, 259));
    EXPECT_FALSE(button.HitTest(170, 243));
    EXPECT_FALSE(button.HitTest(106, 260));
    EXPECT_FALSE(button.HitTest(105, 250));
    EXPECT_FALSE(button.HitTest(120, 242));
    button.SetEnabled(false);
    EXPECT_TRUE(button.HitTest(106, 243)) << "the enabled flag is the manager's business";
}

TEST_F(CustomButtonTest, AButtonWithoutPictureIsNeverHitAndPaintsNothing) {
    TCustomButton button(0, QStringLiteral("Caption"), QString(), 0, 0, true);
    EXPECT_FALSE(button.HitTest(0, 0));
    int changes = 0;
    canvas.SetChangeHandler([&changes](const QRect&) { ++changes; });
    button.PaintFace(canvas, skin::facePressed);
    button.Paint(canvas);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(button.GetWidth(), 0);
    EXPECT_EQ(button.GetHeight(), 0);
}

TEST_F(CustomButtonTest, CaptionColoursFollowFaceCheckedAndEnabled) {
    TCustomButton button(0, QStringLiteral("Write"), QStringLiteral("NORMAL_BTN"), 50, 50, true);
    EXPECT_EQ(CaptionColours(button, skin::faceNormal), std::set<QRgb>{NORMAL});
    EXPECT_EQ(CaptionColours(button, skin::faceHot), std::set<QRgb>{NORMAL});
    EXPECT_EQ(CaptionColours(button, skin::facePressed), std::set<QRgb>{ACTIVE});
    button.SetChecked(true);
    EXPECT_EQ(CaptionColours(button, skin::faceNormal), std::set<QRgb>{ACTIVE});
    button.SetEnabled(false);
    EXPECT_EQ(CaptionColours(button, skin::facePressed), std::set<QRgb>{DISABLED});
    EXPECT_EQ(CaptionColours(button, skin::faceDisabled), std::set<QRgb>{DISABLED});
}

TEST_F(CustomButtonTest, TheCaptionIsCentredInArial8AndLeavesItsStateOnTheSurface) {
    TCustomButton button(0, QStringLiteral("Light All"), QStringLiteral("NORMAL_BTN"), 106, 243, true);
    canvas.SetBrushColor(Qt::red);
    button.PaintFace(canvas, skin::faceNormal);
    EXPECT_TRUE(canvas.BrushClear());
    EXPECT_EQ(canvas.Font().family(), QStringLiteral("Arial"));
    EXPECT_EQ(canvas.Font().pixelSize(), 11);
    EXPECT_EQ(canvas.TextColor(), QColor(NORMAL));

    TCanvas expected(canvas.Width(), canvas.Height());
    skintest::Fill(expected, QColor(GROUND));
    TCustomButton(0, QString(), QStringLiteral("NORMAL_BTN"), 106, 243, true).PaintFace(expected, skin::faceNormal);
    expected.SetFontSize(8);
    expected.SetFontName(QStringLiteral("Arial"));
    expected.SetBrushClear();
    expected.SetTextColor(QColor(NORMAL));
    const int tw = expected.TextWidth(QStringLiteral("Light All"));
    const int th = expected.TextHeight(QStringLiteral("Light All"));
    expected.TextOut(106 + (64 - tw) / 2, 243 + (17 - th) / 2, QStringLiteral("Light All"));
    EXPECT_EQ(canvas.Image(), expected.Image());
}

TEST_F(CustomButtonTest, ACaptionWiderThanTheFaceOverflowsEquallyTruncatingTowardZero) {
    // LEFT_BTN is 20 pixels wide; find a caption 25 pixels wide (W - tw = -5).
    TCanvas probe(1, 1);
    probe.SetFontSize(8);
    probe.SetFontName(QStringLiteral("Arial"));
    QString caption;
    for (const QChar wide : {QChar('W'), QChar('m'), QChar('x')}) {
        for (const QChar narrow : {QChar('i'), QChar('l'), QChar('1')}) {
            for (int n = 1; n <= 4 && caption.isEmpty(); ++n) {
                for (int k = 0; k <= 8 && caption.isEmpty(); ++k) {
                    const QString text = QString(n, wide) + QString(k, narrow);
                    if (probe.TextWidth(text) == 25) {
                        caption = text;
                    }
                }
            }
        }
    }
    ASSERT_FALSE(caption.isEmpty());

    TCustomButton button(0, caption, QStringLiteral("LEFT_BTN"), 100, 40, true);
    button.PaintFace(canvas, skin::faceNormal);
    const auto textAt = [&](int x) {
        TCanvas expected(canvas.Width(), canvas.Height());
        skintest::Fill(expected, QColor(GROUND));
        TCustomButton(0, QString(), QStringLiteral("LEFT_BTN"), 100, 40, true).PaintFace(expected, skin::faceNormal);
        expected.SetFontSize(8);
        expected.SetFontName(QStringLiteral("Arial"));
        expected.SetBrushClear();
        expected.SetTextColor(Qt::white);
        expected.TextOut(x, 40 + (17 - expected.TextHeight(caption)) / 2, caption);
        return expected.Image();
    };
    EXPECT_EQ(canvas.Image(), textAt(98)) << "starts 2 pixels left of the button";
    EXPECT_NE(canvas.Image(), textAt(97));
}

TEST_F(CustomButtonTest, LoadBitmapSwapsThePictureAndIgnoresAnEmptyName) {
    TCustomButton button(3, QString(), QStringLiteral("LEDR_LIGHT_BTN"), 0, 0, true);
    const QImage lit = skin::LoadSkinPicture(QStringLiteral("LEDR_LIGHT_BTN"));
    const QImage unlit = skin::LoadSkinPicture(QStringLiteral("LEDR_UNLIGHT_BTN"));
    button.LoadBitmap(QString());
    button.Paint(canvas);
    EXPECT_TRUE(skintest::ShowsFace(canvas, lit, skin::faceNormal, 0, 0));
    button.LoadBitmap(QStringLiteral("ledr_unlight_btn"));
    button.Paint(canvas);
    EXPECT_TRUE(skintest::ShowsFace(canvas, unlit, skin::faceNormal, 0, 0));
    // A failed load keeps the picture the button had.
    EXPECT_THROW(button.LoadBitmap(QStringLiteral("MISSING_BTN")), std::runtime_error);
    EXPECT_EQ(button.GetHeight(), 36);
}

TEST_F(CustomButtonTest, ConstructionFailsForAMissingPicture) {
    EXPECT_THROW(TCustomButton(0, QString(), QStringLiteral("NO_SUCH_BTN"), 0, 0, true), std::runtime_error);
}

TEST(CustomButtonDeathTest, LoadBitmapOnAButtonBuiltWithoutPictureIsAProgrammingFault) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TCustomButton button(0, QString(), QString(), 0, 0, true);
    EXPECT_DEATH(button.LoadBitmap(QStringLiteral("NORMAL_BTN")), "m_pBitmap.*CustomButton");
}

} // namespace
