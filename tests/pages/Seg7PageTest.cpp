#include "shell/StatusInfo.h"
#include "pages/Unitseg7.h"
#include "skin/SkinResources.h"
#include "tests/pages/PageHarness.h"
#include "tests/support/LinkedBoard.h"
#include "tests/support/Mouse.h"


namespace {

using pagetest::ShowsPicture;

constexpr int ARROW_TOP = 170;

int X0(int k) {
    return 330 - 55 * k;
}

class Seg7PageTest : public pagetest::PageHarness {
protected:
    Seg7PageTest() {
        Watch(page);
        host.show();
    }

    void Up(int k, int times = 1) {
        for (int n = 0; n < times; ++n)
            Click(page, X0(k) + 10, ARROW_TOP + 8);
    }
    void Down(int k, int times = 1) {
        for (int n = 0; n < times; ++n)
            Click(page, X0(k) - 22 + 10, ARROW_TOP + 8);
    }
    bool DigitShows(int k, int value) {
        const QImage picture = skin::LoadSkinPicture(QString::asprintf("HEX_%X", value));
        return ShowsPicture(page.Canvas()->Image(), 308 - 55 * k, 105, picture, true);
    }

    TFormSeg7 page{&host};
};

TEST_F(Seg7PageTest, CreatedWithEightsAndSilentUntilAClick) {
    page.RepaintNow();
    for (int k = 0; k < DIGIT_COUNT; ++k) {
        EXPECT_EQ(page.m_nDigit[k], 8);
        EXPECT_EQ(page.m_ptDigit[k], QPoint(300 - 55 * k, 85));
        EXPECT_TRUE(DigitShows(k, 8)) << "HEX" << k;
    }
    Up(0);
    EXPECT_EQ(page.m_nDigit[0], 8) << "arrows are disabled while the page is inactive";

    page.Activate(board);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].text, "");
    EXPECT_EQ(status[0].colour, statuscolour::GREEN);
    EXPECT_EQ(BoardNumber("hex"), 0u);
}

TEST_F(Seg7PageTest, ArrowsStepAndWrapAndSendTheWord) {
    page.Activate(board);
    Up(0);
    EXPECT_EQ(BoardNumber("hex"), 0x888889u);
    EXPECT_TRUE(DigitShows(0, 9));
    Up(0, 6);
    EXPECT_EQ(page.m_nDigit[0], 15);
    Up(0);
    EXPECT_EQ(page.m_nDigit[0], 0);
    EXPECT_EQ(BoardNumber("hex"), 0x888880u);
    Down(0);
    EXPECT_EQ(BoardNumber("hex"), 0x88888Fu);
    EXPECT_TRUE(DigitShows(0, 15));
    Up(0, 9);
    EXPECT_EQ(BoardNumber("hex"), 0x888888u);

    Down(5, 8);
    EXPECT_EQ(page.m_nDigit[5], 0);
    Down(5);
    EXPECT_EQ(BoardNumber("hex"), 0xF88888u);
    EXPECT_TRUE(DigitShows(5, 15));
    EXPECT_EQ(boardErrors, 0);
    SaveScreenshot(page, "seg7");
}

TEST_F(Seg7PageTest, EachArrowChangesOnlyItsDigit) {
    page.Activate(board);
    Down(3);
    EXPECT_EQ(BoardNumber("hex"), 0x887888u);
    Up(1);
    Up(2);
    Down(4);
    EXPECT_EQ(BoardNumber("hex"), 0x877998u);
    EXPECT_EQ(page.DigitWord(), 0x877998u);
}

TEST_F(Seg7PageTest, NotConnectedBoardLeavesArrowsDisabled) {
    board.Disconnect();
    page.Activate(board);
    Up(2);
    EXPECT_EQ(page.m_nDigit[2], 8);
    EXPECT_EQ(boardErrors, 0);
}

TEST_F(Seg7PageTest, DeactivationDisablesAndKeepsTheDigits) {
    page.Activate(board);
    Up(1);
    page.Deactivate();
    Up(1);
    EXPECT_EQ(page.m_nDigit[1], 9);
    page.Activate(board);
    EXPECT_EQ(BoardNumber("hex"), 0x888898u);
    Up(1);
    EXPECT_EQ(BoardNumber("hex"), 0x8888A8u);
}

// After the link is lost each click keeps its new digit and reports the failure again.
TEST_F(Seg7PageTest, DroppedLinkRaisesBoardErrorOnEveryClick) {
    page.Activate(board);
    ASSERT_EQ(Control("fault drop").substr(0, 2), "ok");
    Up(4);
    EXPECT_EQ(boardErrors, 1);
    EXPECT_EQ(errorSender, &page);
    EXPECT_EQ(page.m_nDigit[4], 9);
    ASSERT_FALSE(board.IsConnected());
    Up(4);
    EXPECT_EQ(boardErrors, 2);
    EXPECT_EQ(page.m_nDigit[4], 10);
    EXPECT_TRUE(DigitShows(4, 10));
}

using Seg7PageFrames = testsupport::LinkedBoard;

TEST_F(Seg7PageFrames, WordGoesWithFurtherByteZero) {
    ASSERT_TRUE(connected);
    QWidget host;
    TFormSeg7 page(&host);
    AnswerWith(testsupport::FakeJtagLink::Frame(0x07, {0}));
    page.Activate(board);
    page.m_nDigit = {1, 2, 3, 4, 5, 6};
    // HEX5's up arrow: id 10, at x0 = 55.
    testsupport::MousePress(&page, QPoint(65, 178));
    testsupport::MouseRelease(&page, QPoint(65, 178));
    const std::vector<uint8_t> frame{0xAA, 0x07, 0x05, 0x00, 0x21, 0x43, 0x75, 0x00, 0x00, 0xE5, 0x55};
    ASSERT_EQ(link.writes.size(), 1u);
    EXPECT_EQ(link.writes[0], frame);
}

} // namespace
