#include "shell/StatusInfo.h"
#include "pages/UnitVGA.h"
#include "skin/SkinResources.h"
#include "tests/pages/PageHarness.h"
#include "tests/support/LinkedBoard.h"

#include <QStringList>

namespace {

using pagetest::PixelColour;

const QColor FRAME{150, 150, 150};

class VgaPageTest : public pagetest::PageHarness {
protected:
    VgaPageTest() {
        Watch(page);
        host.show();
    }

    const QImage& Preview() { return page.ImageVGA->Picture().Image(); }
    bool PreviewIsSolid(const QColor& colour) {
        const QImage& image = Preview();
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (PixelColour(image, x, y) != colour)
                    return false;
            }
        }
        return true;
    }

    TFormVGA page{&host};
};

TEST_F(VgaPageTest, ListHoldsTheNinePatternsWithColorScaleSelected) {
    QStringList items;
    for (int i = 0; i < page.ComboBoxVGA->count(); ++i)
        items << page.ComboBoxVGA->itemText(i);
    EXPECT_EQ(items, QStringList({"Color Scale", "Red", "Green", "Blue", "White", "Black", "Red Scale", "Green Scale",
                                  "Blue Scale"}));
    EXPECT_EQ(page.ComboBoxVGA->currentIndex(), 0);
    EXPECT_FALSE(page.ComboBoxVGA->isEditable());
    EXPECT_EQ(page.ImageVGA->geometry(), QRect(32, 88, 329, 169));
    EXPECT_EQ(PixelColour(Preview(), 125, 10), QColor(240, 0, 0));
}

TEST_F(VgaPageTest, ScalePreviewRowsAndColumns) {
    const QImage& image = Preview();
    // Rows start at 0, 42, 84 and 126: red, green, blue and grey in column 15 (level 240).
    const int x = 125;
    EXPECT_EQ(PixelColour(image, x, 0), QColor(240, 0, 0));
    EXPECT_EQ(PixelColour(image, x, 41), QColor(240, 0, 0));
    EXPECT_EQ(PixelColour(image, x, 42), QColor(0, 240, 0));
    EXPECT_EQ(PixelColour(image, x, 83), QColor(0, 240, 0));
    EXPECT_EQ(PixelColour(image, x, 84), QColor(0, 0, 240));
    EXPECT_EQ(PixelColour(image, x, 125), QColor(0, 0, 240));
    EXPECT_EQ(PixelColour(image, x, 126), QColor(240, 240, 240));
    EXPECT_EQ(PixelColour(image, x, 168), QColor(240, 240, 240));

    // Along a row, each run of one colour is a column: 40 of them, 8 or 9 wide, level 16 j mod 256.
    for (int row = 0; row < 4; ++row) {
        const int y = 20 + 42 * row;
        std::vector<std::pair<int, int>> runs; // (level, width)
        for (int px = 0; px < image.width(); ++px) {
            const QColor colour = PixelColour(image, px, y);
            const int level = row == 1 ? colour.green() : row == 2 ? colour.blue() : colour.red();
            if (runs.empty() || runs.back().first != level)
                runs.push_back({level, 0});
            ++runs.back().second;
        }
        ASSERT_EQ(runs.size(), 40u) << "row " << row;
        for (int j = 0; j < 40; ++j) {
            EXPECT_EQ(runs[j].first, (16 * j) % 256) << "row " << row << " column " << j;
            EXPECT_TRUE(runs[j].second == 8 || runs[j].second == 9) << "column " << j << " " << runs[j].second;
        }
        for (int column : {0, 16, 32})
            EXPECT_EQ(PixelColour(image, 329 * column / 40, y), QColor(0, 0, 0)) << "column " << column;
    }
}

TEST_F(VgaPageTest, SingleColourScalesAndSolidFills) {
    page.ComboBoxVGA->setCurrentIndex(7);
    for (int y : {0, 42, 84, 168})
        EXPECT_EQ(PixelColour(Preview(), 123, y), QColor(0, 240, 0));
    page.ComboBoxVGA->setCurrentIndex(6);
    EXPECT_EQ(PixelColour(Preview(), 140, 130), QColor(16, 0, 0));
    page.ComboBoxVGA->setCurrentIndex(8);
    EXPECT_EQ(PixelColour(Preview(), 328, 168), QColor(0, 0, 112));

    const std::vector<std::pair<int, QColor>> solids{{1, QColor(255, 0, 0)},
                                                     {2, QColor(0, 128, 0)},
                                                     {3, QColor(0, 0, 255)},
                                                     {4, QColor(255, 255, 255)},
                                                     {5, QColor(0, 0, 0)}};
    for (const auto& [index, colour] : solids) {
        page.ComboBoxVGA->setCurrentIndex(index);
        EXPECT_TRUE(PreviewIsSolid(colour)) << "pattern " << index;
    }
}

TEST_F(VgaPageTest, NoSelectionShowsTheComposite) {
    page.ComboBoxVGA->setCurrentIndex(-1);
    const QImage composite = skin::LoadSkinPicture("COMPOSITE");
    EXPECT_TRUE(pagetest::ShowsPicture(Preview(), 0, 0, composite, false));
}

TEST_F(VgaPageTest, OnePixelFrameAroundThePreview) {
    page.RepaintNow();
    const QImage& canvas = page.Canvas()->Image();
    const QImage background = skin::LoadSkinPicture("TAB_DLG_BK");
    for (const QPoint& p : {QPoint(31, 87), QPoint(361, 87), QPoint(31, 257), QPoint(361, 257), QPoint(200, 87),
                            QPoint(200, 257), QPoint(31, 170), QPoint(361, 170)})
        EXPECT_EQ(PixelColour(canvas, p.x(), p.y()), FRAME) << p.x() << "," << p.y();
    for (const QPoint& p : {QPoint(30, 170), QPoint(362, 170), QPoint(200, 86), QPoint(200, 258)})
        EXPECT_EQ(PixelColour(canvas, p.x(), p.y()), PixelColour(background, p.x(), p.y())) << p.x() << "," << p.y();
    SaveScreenshot(page, "vga");
}

TEST_F(VgaPageTest, ChangeWhileInactiveOnlyPreviews) {
    page.ComboBoxVGA->setCurrentIndex(1);
    EXPECT_TRUE(PreviewIsSolid(QColor(255, 0, 0)));
    EXPECT_TRUE(status.empty());
    EXPECT_EQ(vboard.Field("vga"), "-");
}

TEST_F(VgaPageTest, ActivationSendsTheSelectedPatternWhenTheProbePasses) {
    page.ComboBoxVGA->setCurrentIndex(4);
    page.Activate(board);
    EXPECT_EQ(vboard.Field("vga"), "4");
    ASSERT_EQ(status.size(), 3u);
    EXPECT_EQ(status[0].text, "");
    EXPECT_EQ(status[0].colour, statuscolour::GREEN);
    EXPECT_EQ(status[1].text, "VGA-OUT Setting...");
    EXPECT_EQ(status[1].colour, statuscolour::YELLOW);
    EXPECT_EQ(status[2].text, "Set VGA-OUT Success");
    EXPECT_EQ(status[2].colour, statuscolour::GREEN);

    page.ComboBoxVGA->setCurrentIndex(3);
    EXPECT_EQ(vboard.Field("vga"), "3");
    EXPECT_TRUE(PreviewIsSolid(QColor(0, 0, 255)));
    page.ComboBoxVGA->setCurrentIndex(0);
    EXPECT_EQ(vboard.Field("vga"), "0");
    EXPECT_EQ(boardErrors, 0);

    page.Deactivate();
    page.ComboBoxVGA->setCurrentIndex(5);
    EXPECT_EQ(vboard.Field("vga"), "0");
    EXPECT_TRUE(PreviewIsSolid(QColor(0, 0, 0)));
}

TEST_F(VgaPageTest, RefusedProbeSendsNothingAndRaisesNothing) {
    ASSERT_EQ(Control("fault vgaprobe on").substr(0, 2), "ok");
    page.Activate(board);
    EXPECT_EQ(vboard.Field("vga"), "-");
    EXPECT_EQ(boardErrors, 0);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_TRUE(board.IsConnected());

    // The probe is asked on activation only: a choice afterwards is sent.
    page.ComboBoxVGA->setCurrentIndex(2);
    EXPECT_EQ(vboard.Field("vga"), "2");
}

TEST_F(VgaPageTest, NoProbeWithoutTheLink) {
    board.Disconnect();
    page.Activate(board);
    page.ComboBoxVGA->setCurrentIndex(6);
    EXPECT_EQ(boardErrors, 0);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(PixelColour(Preview(), 125, 100), QColor(240, 0, 0));
}

TEST_F(VgaPageTest, DroppedLinkDuringPatternWriteRaisesBoardError) {
    page.Activate(board);
    ASSERT_EQ(Control("fault drop").substr(0, 2), "ok");
    page.ComboBoxVGA->setCurrentIndex(1);
    EXPECT_EQ(boardErrors, 1);
    EXPECT_EQ(errorSender, &page);
    EXPECT_EQ(status.back().text, "VGA-OUT Setting...");
    EXPECT_TRUE(PreviewIsSolid(QColor(255, 0, 0)));

    page.ComboBoxVGA->setCurrentIndex(2);
    EXPECT_EQ(boardErrors, 1);
    EXPECT_TRUE(PreviewIsSolid(QColor(0, 128, 0)));
}

class VgaPageFrames : public testsupport::LinkedBoard {
protected:
    // The board answers every control request with this status.
    void AnswerStatus(uint8_t status) { AnswerWith(testsupport::FakeJtagLink::Frame(0x15, {status})); }
    static std::vector<uint8_t> Control(uint8_t target, uint8_t operation, uint8_t value) {
        const auto sum = static_cast<uint8_t>(0x15 + 3 + target + operation + value);
        return {0xAA, 0x15, 0x03, 0x00, target, operation, value, sum, 0x55};
    }
};

TEST_F(VgaPageFrames, ProbeThenPatternBytes) {
    ASSERT_TRUE(connected);
    QWidget host;
    TFormVGA page(&host);
    AnswerStatus(0);
    page.Activate(board);
    page.ComboBoxVGA->setCurrentIndex(3);
    ASSERT_EQ(link.writes.size(), 3u);
    EXPECT_EQ(link.writes[0], Control(5, 1, 0));
    EXPECT_EQ(link.writes[1], Control(4, 2, 0));
    EXPECT_EQ(link.writes[2], Control(4, 2, 3));
}

TEST_F(VgaPageFrames, RefusedPatternRaisesBoardError) {
    QWidget host;
    TFormVGA page(&host);
    int errors = 0;
    page.OnBoardError = [&](TPageForm* sender) {
        ++errors;
        EXPECT_EQ(sender, &page);
    };
    AnswerStatus(1);
    page.Activate(board);
    EXPECT_EQ(errors, 0) << "a refused probe is silent";
    ASSERT_EQ(link.writes.size(), 1u);
    page.ComboBoxVGA->setCurrentIndex(8);
    EXPECT_EQ(errors, 1);
    ASSERT_EQ(link.writes.size(), 2u);
    EXPECT_EQ(link.writes[1], Control(4, 2, 8));
}

} // namespace
