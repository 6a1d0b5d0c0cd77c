#include "shell/StatusInfo.h"
#include "pages/UnitLED.h"
#include "tests/pages/PageHarness.h"
#include "tests/support/LinkedBoard.h"

namespace {

using pagetest::Face;
using pagetest::ShowsPicture;

constexpr int LAMP_TOP = 115;
constexpr QPoint LIGHT_ALL{138, 251};
constexpr QPoint UNLIGHT_ALL{250, 251};

int LampLeft(int i) {
    return 332 - 33 * i;
}

class LedPageTest : public pagetest::PageHarness {
protected:
    LedPageTest() {
        Watch(page);
        host.show();
    }

    void ClickLamp(int i) { Click(page, LampLeft(i) + 11, LAMP_TOP + 18); }
    void ClickAt(QPoint p) { Click(page, p.x(), p.y()); }
    bool LampShows(int i, const char* picture, int face) {
        page.RepaintNow();
        return ShowsPicture(page.Canvas()->Image(), LampLeft(i), LAMP_TOP, Face(picture, face), false);
    }

    TFormLED page{&host};
};

TEST_F(LedPageTest, BeforeActivationLampsAreDarkAndDeaf) {
    ASSERT_TRUE(connected);
    for (int i = 0; i < LED_COUNT; ++i)
        EXPECT_TRUE(LampShows(i, "LEDR_LIGHT_BTN", 1)) << "lamp " << i;
    ClickLamp(4);
    ClickAt(UNLIGHT_ALL);
    EXPECT_EQ(page.LedMask(), 0x3FFu);
    EXPECT_FALSE(page.ButtonLedLightAll->isEnabled());
    EXPECT_EQ(BoardNumber("leds"), 0u);
    EXPECT_TRUE(status.empty());
}

TEST_F(LedPageTest, ActivationShowsAllLitAndSendsNothing) {
    page.Activate(board);
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].text, "");
    EXPECT_EQ(status[0].colour, statuscolour::GREEN);
    for (int i = 0; i < LED_COUNT; ++i)
        EXPECT_TRUE(LampShows(i, "LEDR_LIGHT_BTN", 0)) << "lamp " << i;
    EXPECT_TRUE(page.ButtonLedLightAll->isEnabled());
    EXPECT_TRUE(page.ButtonLedLightAll->isHidden());
    EXPECT_EQ(BoardNumber("leds"), 0u);
}

TEST_F(LedPageTest, ClicksSendTheWholeMask) {
    page.Activate(board);
    ClickAt(UNLIGHT_ALL);
    EXPECT_EQ(BoardNumber("leds"), 0x000u);
    ClickLamp(0);
    EXPECT_EQ(BoardNumber("leds"), 0x001u);
    ClickLamp(9);
    EXPECT_EQ(BoardNumber("leds"), 0x201u);
    EXPECT_TRUE(LampShows(0, "LEDR_LIGHT_BTN", 0));
    EXPECT_TRUE(LampShows(9, "LEDR_LIGHT_BTN", 0));
    EXPECT_TRUE(LampShows(5, "LEDR_UNLIGHT_BTN", 0));

    ClickAt(LIGHT_ALL);
    EXPECT_EQ(BoardNumber("leds"), 0x3FFu);
    ClickLamp(3);
    EXPECT_EQ(BoardNumber("leds"), 0x3F7u);
    EXPECT_TRUE(LampShows(3, "LEDR_UNLIGHT_BTN", 0));
    EXPECT_TRUE(LampShows(2, "LEDR_LIGHT_BTN", 0));
    EXPECT_EQ(boardErrors, 0);
    SaveScreenshot(page, "led");
}

TEST_F(LedPageTest, HeldLampShowsItsComingState) {
    page.Activate(board);
    Move(page, LampLeft(6) + 11, LAMP_TOP + 18);
    Press(page, LampLeft(6) + 11, LAMP_TOP + 18);
    EXPECT_TRUE(ShowsPicture(page.Canvas()->Image(), LampLeft(6), LAMP_TOP, Face("LEDR_LIGHT_BTN", 3), false));
    Release(page, LampLeft(6) + 11, LAMP_TOP + 18);
    EXPECT_EQ(BoardNumber("leds"), 0x3BFu);
}

TEST_F(LedPageTest, DeactivationDisablesAndKeepsTheLamps) {
    page.Activate(board);
    ClickLamp(1);
    page.Deactivate();
    EXPECT_TRUE(LampShows(1, "LEDR_UNLIGHT_BTN", 1));
    EXPECT_FALSE(page.ButtonLedUnlightAll->isEnabled());
    ClickAt(LIGHT_ALL);
    ClickLamp(1);
    EXPECT_EQ(page.LedMask(), 0x3FDu);
    EXPECT_EQ(BoardNumber("leds"), 0x3FDu);

    page.Activate(board);
    EXPECT_TRUE(LampShows(1, "LEDR_UNLIGHT_BTN", 0));
    EXPECT_EQ(BoardNumber("leds"), 0x3FDu);
}

TEST_F(LedPageTest, DroppedLinkRaisesBoardErrorAndKeepsTheLamp) {
    page.Activate(board);
    ASSERT_EQ(Control("fault drop").substr(0, 2), "ok");
    ClickLamp(2);
    EXPECT_EQ(boardErrors, 1);
    EXPECT_EQ(errorSender, &page);
    EXPECT_EQ(page.LedMask(), 0x3FBu);
    EXPECT_TRUE(LampShows(2, "LEDR_UNLIGHT_BTN", 0));
}

// After the link is lost the page stays bound with its lamps enabled: presses and moves are ignored,
// a release still toggles the lamp, and the write that cannot be made is reported, not passed over.
TEST_F(LedPageTest, ReleaseAfterLinkLossTogglesAndReportsAgain) {
    page.Activate(board);
    Control("fault drop");
    ClickLamp(2);
    ASSERT_EQ(boardErrors, 1);
    ASSERT_FALSE(board.IsConnected());

    Move(page, LampLeft(7) + 11, LAMP_TOP + 18);
    Press(page, LampLeft(7) + 11, LAMP_TOP + 18);
    EXPECT_TRUE(ShowsPicture(page.Canvas()->Image(), LampLeft(7), LAMP_TOP, Face("LEDR_LIGHT_BTN", 0), false));
    Release(page, LampLeft(7) + 11, LAMP_TOP + 18);
    EXPECT_EQ(page.LedMask(), 0x37Bu);
    EXPECT_EQ(boardErrors, 2);
}

// Exchanges over a scripted link, where every frame the page sends can be counted.
using LedPageFrames = testsupport::LinkedBoard;

TEST_F(LedPageFrames, LightAllSendsTheMaskEvenWhenUnchanged) {
    ASSERT_TRUE(connected);
    QWidget host;
    TFormLED page(&host);
    AnswerWith(testsupport::FakeJtagLink::Frame(0x05, {0}));
    page.Activate(board);
    EXPECT_TRUE(link.writes.empty());
    page.ButtonLedLightAllClick();
    page.ButtonLedLightAllClick();
    const std::vector<uint8_t> frame{0xAA, 0x05, 0x04, 0x00, 0xFF, 0x03, 0x00, 0x00, 0x0B, 0x55};
    ASSERT_EQ(link.writes.size(), 2u);
    EXPECT_EQ(link.writes[0], frame);
    EXPECT_EQ(link.writes[1], frame);
}

TEST_F(LedPageFrames, RefusedWriteRaisesBoardError) {
    QWidget host;
    TFormLED page(&host);
    AnswerWith(testsupport::FakeJtagLink::Frame(0x05, {1}));
    int errors = 0;
    page.OnBoardError = [&](TPageForm* sender) {
        ++errors;
        EXPECT_EQ(sender, &page);
    };
    page.Activate(board);
    page.ButtonLedUnlightAllClick();
    EXPECT_EQ(errors, 1);
    EXPECT_EQ(page.LedMask(), 0u);
}

} // namespace
