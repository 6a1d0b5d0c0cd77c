#include "skin/BitmapManager.h"

#include "SkinTestUtil.h"
#include "skin/SkinResources.h"

#include <gtest/gtest.h>
#include <stdexcept>

using skin::TBitmapManager;
using skin::TCanvas;

namespace {

const QRgb GROUND = qRgb(1, 2, 3);

// Whether the canvas shows the picture at (left, top), leaving the ground where the picture has its
// transparent colour.
bool ShowsPicture(const TCanvas& canvas, const QImage& picture, int left, int top, bool transparent) {
    const QRgb key = picture.pixel(0, picture.height() - 1);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb expected = transparent && picture.pixel(x, y) == key ? GROUND : picture.pixel(x, y);
            if (canvas.Pixel(left + x, top + y) != expected) {
                return false;
            }
        }
    }
    return true;
}

class BitmapManagerTest : public ::testing::Test {
protected:
    BitmapManagerTest() : canvas(400, 300) { skintest::Fill(canvas, QColor(GROUND)); }

    TCanvas canvas;
    TBitmapManager manager{&canvas};
};

TEST_F(BitmapManagerTest, LookupUsesTheFirstItemWithAnId) {
    manager.AddBitmap(3, QStringLiteral("HEX_1"), false);
    manager.AddBitmap(3, QStringLiteral("COMPOSITE"), false);
    EXPECT_EQ(manager.GetBitmapSize(3), QSize(40, 59));
    manager.DrawBitmap(3, 10, 20);
    EXPECT_TRUE(ShowsPicture(canvas, skin::LoadSkinPicture(QStringLiteral("HEX_1")), 10, 20, false));
    // Outside the first picture the surface is untouched.
    EXPECT_TRUE(skintest::AllPixels(canvas, QRect(50, 20, 300, 169), GROUND));
}

TEST_F(BitmapManagerTest, UnknownIdsHaveNoSizeAndDrawNothing) {
    manager.AddBitmap(0, QStringLiteral("TAB_DLG_BK"), false);
    EXPECT_EQ(manager.GetBitmapSize(1), QSize(0, 0));
    EXPECT_EQ(manager.GetBitmapSize(-1), QSize(0, 0));
    int changes = 0;
    canvas.SetChangeHandler([&changes](const QRect&) { ++changes; });
    manager.DrawBitmap(1, 0, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(skintest::AllPixels(canvas, QRect(0, 0, 400, 300), GROUND));
    EXPECT_EQ(TBitmapManager(&canvas).GetBitmapSize(0), QSize(0, 0));
}

TEST_F(BitmapManagerTest, AnExplicitTargetIsDrawnAndTheDefaultSurfaceIsLeftAlone) {
    manager.AddBitmap(1, QStringLiteral("COMPOSITE"), false);
    TCanvas preview(329, 169);
    skintest::Fill(preview, Qt::black);
    manager.DrawBitmap(1, 0, 0, &preview);
    EXPECT_TRUE(ShowsPicture(preview, skin::LoadSkinPicture(QStringLiteral("COMPOSITE")), 0, 0, false));
    EXPECT_TRUE(skintest::AllPixels(canvas, QRect(0, 0, 400, 300), GROUND));
}

TEST_F(BitmapManagerTest, ATransparentPictureLeavesOnlyItsKeyColourUnpainted) {
    manager.AddBitmap(5, QStringLiteral("hex_a"), true);
    manager.AddBitmap(6, QStringLiteral("HEX_A"), false);
    const QImage picture = skin::LoadSkinPicture(QStringLiteral("HEX_A"));
    manager.DrawBitmap(5, 100, 100);
    EXPECT_TRUE(ShowsPicture(canvas, picture, 100, 100, true));
    int unpainted = 0;
    for (int y = 0; y < 59; ++y) {
        for (int x = 0; x < 40; ++x) {
            unpainted += canvas.Pixel(100 + x, 100 + y) == GROUND;
        }
    }
    // The key colour marks only a few pixels of the picture, its bottom-left one among them.
    EXPECT_GE(unpainted, 1);
    EXPECT_LE(unpainted, 4);
    EXPECT_EQ(canvas.Pixel(100, 158), GROUND);

    manager.DrawBitmap(6, 200, 100);
    EXPECT_TRUE(ShowsPicture(canvas, picture, 200, 100, false));
}

TEST_F(BitmapManagerTest, NamesIgnoreCaseAsTheDigitNamesNeed) {
    for (int value = 10; value < 16; ++value) {
        const QString formed = QStringLiteral("HEX_%1").arg(value, 0, 16);
        ASSERT_TRUE(formed.back().isLower());
        manager.AddBitmap(value, formed, true);
        EXPECT_EQ(manager.GetBitmapSize(value), QSize(40, 59)) << formed.toStdString();
        EXPECT_EQ(skin::LoadSkinPicture(formed), skin::LoadSkinPicture(formed.toUpper()));
    }
}

TEST_F(BitmapManagerTest, AMissingResourceFailsWithItsName) {
    try {
        manager.AddBitmap(0, QStringLiteral("NO_SUCH_PICTURE"), false);
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("NO_SUCH_PICTURE"), std::string::npos) << error.what();
    }
    EXPECT_EQ(manager.GetBitmapSize(0), QSize(0, 0));
    // Names are never paths into the resource tree.
    EXPECT_THROW(skin::LoadSkinPicture(QStringLiteral("../skin/MAIN_UI")), std::runtime_error);
    EXPECT_THROW(skin::LoadSkinPicture(QString()), std::runtime_error);
    EXPECT_THROW(skin::LoadSkinPicture(QStringLiteral("WELCOME_AVI")), std::runtime_error);
}

} // namespace
