#include "skin/SkinResources.h"

#include "skin/SkinSheet.h"

#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <array>
#include <gtest/gtest.h>

using skin::LoadSkinPicture;

namespace {

struct Expected {
    const char* name;
    int width;
    int height;
    bool faces;       // four faces stacked top to bottom
    bool transparent; // drawn with its bottom-left colour left out
};

const Expected RESOURCE_SET[] = {
    {"MAIN_UI", 620, 600, false, false},        {"TAB_DLG_BK", 387, 296, false, false},
    {"BT_DLG_BK", 387, 296, false, false},      {"MEMORY_DLG_BK", 387, 296, false, false},
    {"SDCARD_DLG_BK", 387, 296, false, false},  {"ABOUT_BK", 380, 380, false, false},
    {"NORMAL_BTN", 64, 68, true, false},        {"MIDDLE_BTN", 122, 68, true, false},
    {"LONG_BTN", 189, 68, true, false},         {"LEFT_BTN", 20, 68, true, false},
    {"RIGHT_BTN", 20, 68, true, false},         {"TAB_BUTTON", 93, 152, true, false},
    {"CONNECT_BTN", 79, 308, true, false},      {"DISCONNECT_BTN", 79, 308, true, false},
    {"CLOSE_BTN", 37, 48, true, false},         {"MINI_BTN", 37, 48, true, false},
    {"ABOUT_BTN", 37, 48, true, false},         {"LEDR_LIGHT_BTN", 22, 144, true, false},
    {"LEDR_UNLIGHT_BTN", 22, 144, true, false}, {"SW_UP", 19, 63, false, true},
    {"SW_DOWN", 19, 63, false, true},           {"BUTTON_UP", 44, 44, false, true},
    {"BUTTON_DOWN", 44, 44, false, true},       {"COMPOSITE", 329, 169, false, false},
    {"INFO_MARK", 15, 13, false, true},         {"FLASH_NOTE", 16, 16, false, false},
};

QString HexName(int value) {
    return QStringLiteral("HEX_%1").arg(value, 0, 16).toUpper();
}

QImage Face(const QImage& picture, int face) {
    const int f = picture.height() / 4;
    return picture.copy(0, face * f, picture.width(), f);
}

bool Reddish(QRgb pixel) {
    return qRed(pixel) > 200 && qGreen(pixel) < 120 && qBlue(pixel) < 120;
}

TEST(SkinResources, EveryPictureHasItsSizeAndFaceHeight) {
    for (const Expected& e : RESOURCE_SET) {
        const QImage picture = LoadSkinPicture(QString::fromLatin1(e.name));
        EXPECT_EQ(picture.size(), QSize(e.width, e.height)) << e.name;
        EXPECT_EQ(picture.format(), QImage::Format_RGB32) << e.name;
        if (e.faces) {
            EXPECT_EQ(e.height % 4, 0) << e.name;
        }
    }
    for (int value = 0; value < 16; ++value) {
        EXPECT_EQ(LoadSkinPicture(HexName(value)).size(), QSize(40, 59)) << HexName(value).toStdString();
    }
    // The named list holds the resource set and nothing else.
    EXPECT_EQ(skin::SkinPictureNames().size(), std::size(RESOURCE_SET) + 16);
}

TEST(SkinResources, ButtonFacesDifferFromEachOther) {
    for (const Expected& e : RESOURCE_SET) {
        if (!e.faces) {
            continue;
        }
        const QImage picture = LoadSkinPicture(QString::fromLatin1(e.name));
        for (int a = 0; a < 4; ++a) {
            for (int b = a + 1; b < 4; ++b) {
                if (QString::fromLatin1(e.name).startsWith(QStringLiteral("LEDR")) && a == 0 && b == 2) {
                    continue; // a lamp's hot face may only differ by its rim
                }
                EXPECT_NE(Face(picture, a), Face(picture, b)) << e.name << " faces " << a << ", " << b;
            }
        }
    }
    EXPECT_NE(LoadSkinPicture(QStringLiteral("CONNECT_BTN")), LoadSkinPicture(QStringLiteral("DISCONNECT_BTN")));
}

TEST(SkinResources, TransparentPicturesUseTheirKeyColourInOnlyAFewPixels) {
    std::vector<QString> names;
    for (const Expected& e : RESOURCE_SET) {
        if (e.transparent) {
            names.push_back(QString::fromLatin1(e.name));
        }
    }
    for (int value = 0; value < 16; ++value) {
        names.push_back(HexName(value));
    }
    for (const QString& name : names) {
        const QImage picture = LoadSkinPicture(name);
        const QRgb key = picture.pixel(0, picture.height() - 1);
        int count = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                count += picture.pixel(x, y) == key;
            }
        }
        EXPECT_GE(count, 1) << name.toStdString();
        EXPECT_LE(count, 4) << name.toStdString();
    }
}

TEST(SkinResources, EachDigitLightsExactlyItsSegments) {
    // Sample points of segments a to g and of the decimal point in every digit picture.
    const std::array<QPoint, 7> segment = {QPoint(18, 6), QPoint(30, 17), QPoint(30, 40), QPoint(18, 52),
                                           QPoint(6, 40), QPoint(6, 17),  QPoint(18, 29)};
    const QPoint point(35, 52);
    const char* lit[16] = {"abcdef",  "bc",     "abdeg",  "abcdg", "bcfg", "acdfg", "acdefg", "abc",
                           "abcdefg", "abcdfg", "abcefg", "cdefg", "adef", "bcdeg", "adefg",  "aefg"};
    for (int value = 0; value < 16; ++value) {
        const QImage digit = LoadSkinPicture(HexName(value));
        for (int s = 0; s < 7; ++s) {
            const bool expected = std::string(lit[value]).find(static_cast<char>('a' + s)) != std::string::npos;
            const QRgb pixel = digit.pixel(segment[static_cast<size_t>(s)]);
            EXPECT_EQ(Reddish(pixel), expected) << "digit " << value << " segment " << static_cast<char>('a' + s);
            EXPECT_GT(qRed(pixel), qGreen(pixel) + 20) << "an unlit segment is still dark red";
        }
        EXPECT_FALSE(Reddish(digit.pixel(point))) << "decimal point of digit " << value;
        EXPECT_GT(qRed(digit.pixel(point)), qGreen(digit.pixel(point)));
        EXPECT_LT(qGray(digit.pixel(1, 1)), 40) << "dark ground";
    }
}

TEST(SkinResources, LampsShowTheirComingStateWhileHeld) {
    const QImage light = LoadSkinPicture(QStringLiteral("LEDR_LIGHT_BTN"));
    const QImage unlight = LoadSkinPicture(QStringLiteral("LEDR_UNLIGHT_BTN"));
    const QPoint lens(11, 15);
    const auto at = [&lens](const QImage& picture, int face) { return picture.pixel(lens.x(), lens.y() + face * 36); };
    EXPECT_TRUE(Reddish(at(light, 0)));
    EXPECT_TRUE(Reddish(at(light, 2)));
    EXPECT_FALSE(Reddish(at(light, 3)));
    EXPECT_FALSE(Reddish(at(unlight, 0)));
    EXPECT_FALSE(Reddish(at(unlight, 2)));
    EXPECT_TRUE(Reddish(at(unlight, 3)));
    // Dark, unlit and lit are three different brightnesses of the lens.
    EXPECT_LT(qRed(at(light, 1)), qRed(at(light, 3)));
    EXPECT_LT(qRed(at(light, 3)), qRed(at(light, 0)));
    EXPECT_EQ(Face(light, 1), Face(unlight, 1));
}

TEST(SkinResources, TabIndicatorIsDimAtRestAndYellowWhenHotOrHeld) {
    const QImage tab = LoadSkinPicture(QStringLiteral("TAB_BUTTON"));
    for (int face = 0; face < 4; ++face) {
        const QRgb bar = tab.pixel(83, face * 38 + 19);
        const bool yellow = qRed(bar) > 220 && qGreen(bar) > 200 && qBlue(bar) < 80;
        EXPECT_EQ(yellow, face >= 2) << "face " << face;
        EXPECT_GT(qRed(bar), qBlue(bar)) << "face " << face;
    }
}

TEST(SkinResources, ArrowsPointTheirWay) {
    // The arrow's tip side of the face has fewer light pixels than its base side.
    const auto lightColumns = [](const QImage& picture, int x0, int x1) {
        int count = 0;
        for (int y = 0; y < 17; ++y) {
            for (int x = x0; x < x1; ++x) {
                count += qGray(picture.pixel(x, y)) > 180;
            }
        }
        return count;
    };
    const QImage left = LoadSkinPicture(QStringLiteral("LEFT_BTN"));
    const QImage right = LoadSkinPicture(QStringLiteral("RIGHT_BTN"));
    EXPECT_GT(lightColumns(left, 10, 14), lightColumns(left, 6, 10));
    EXPECT_GT(lightColumns(right, 6, 10), lightColumns(right, 10, 14));
}

// The brightest pixel of a rectangle of a picture, by grey value.
int Brightest(const QImage& picture, const QRect& rect) {
    int most = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            most = std::max(most, qGray(picture.pixel(x, y)));
        }
    }
    return most;
}

TEST(SkinResources, BackgroundsLeaveDarkRoomWhereTheWindowsWriteText) {
    // Labels are drawn with a transparent background, in green, white, cyan and yellow.
    const QImage main = LoadSkinPicture(QStringLiteral("MAIN_UI"));
    EXPECT_LT(Brightest(main, QRect(164, 8, 292, 16)), 40) << "caption";
    EXPECT_LT(Brightest(main, QRect(30, 522, 92, 22)), 40) << "status bar";
    EXPECT_LT(Brightest(main, QRect(245, 566, 329, 12)), 40) << "status-information line";
    const QImage about = LoadSkinPicture(QStringLiteral("ABOUT_BK"));
    EXPECT_LT(Brightest(about, QRect(148, 276, 150, 80)), 60) << "about box labels";
    for (const char* page : {"TAB_DLG_BK", "BT_DLG_BK", "MEMORY_DLG_BK", "SDCARD_DLG_BK"}) {
        const QImage picture = LoadSkinPicture(QString::fromLatin1(page));
        EXPECT_LT(Brightest(picture, QRect(20, 60, 280, 40)), 90) << page;
        EXPECT_LT(Brightest(picture, QRect(20, 200, 260, 20)), 90) << page;
    }
}

TEST(SkinResources, TheWelcomeClipHasTwentySevenMovingFrames) {
    const std::vector<QImage> frames = skin::LoadWelcomeClip();
    ASSERT_EQ(frames.size(), 27u);
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].size(), QSize(387, 296));
        EXPECT_NE(frames[i], frames[(i + 1) % frames.size()]) << "frame " << i;
    }
}

TEST(SkinResources, TheProgramIconComesInBothDesktopSizesWithTransparentCorners) {
    const QIcon icon = skin::ProgramIcon();
    for (const int size : {48, 256}) {
        const QImage picture = icon.pixmap(size, size).toImage();
        ASSERT_EQ(picture.size(), QSize(size, size)) << size;
        EXPECT_TRUE(picture.hasAlphaChannel()) << size;
        EXPECT_EQ(qAlpha(picture.pixel(0, 0)), 0) << size;
        EXPECT_EQ(qAlpha(picture.pixel(size / 2, size / 2)), 255) << size;
    }
}

TEST(SkinResources, TheReviewSheetShowsEveryPicture) {
    const QImage sheet = skin::DrawSkinSheet();
    ASSERT_FALSE(sheet.isNull());
    // At least the area of all pictures, the clip at half size.
    qint64 area = 0;
    for (const QString& name : skin::SkinPictureNames()) {
        const QImage picture = LoadSkinPicture(name);
        area += static_cast<qint64>(picture.width()) * picture.height();
    }
    area += 27 * (387 / 2) * (296 / 2);
    EXPECT_GE(static_cast<qint64>(sheet.width()) * sheet.height(), area);
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("skin-sheet.png"));
    EXPECT_TRUE(sheet.save(path, "PNG")) << path.toStdString();
    std::printf("review sheet: %s\n", qPrintable(path));
}

} // namespace
