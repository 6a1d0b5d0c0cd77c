#include "pages/Unitbutton.h"
#include "shell/StatusInfo.h"
#include "skin/SkinResources.h"
#include "tests/pages/PageHarness.h"

#include <QTest>

namespace {

using pagetest::ShowsPicture;

class ButtonPageTest : public pagetest::PageHarness {
protected:
    ButtonPageTest() {
        Watch(page);
        host.show();
    }

    bool KeyShows(int i, const char* picture) {
        return ShowsPicture(page.Canvas()->Image(), 223 - 48 * i, 50, skin::LoadSkinPicture(picture), true);
    }
    bool SwitchShows(int j, const char* picture) {
        return ShowsPicture(page.Canvas()->Image(), 332 - 32 * j, 190, skin::LoadSkinPicture(picture), true);
    }
    // Every key and switch drawn as the bits of value say.
    void ExpectDrawn(uint32_t value) {
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(KeyShows(i, (value >> i) & 1 ? "BUTTON_DOWN" : "BUTTON_UP")) << "KEY" << i;
        for (int j = 0; j < 10; ++j)
            EXPECT_TRUE(SwitchShows(j, (value >> (4 + j)) & 1 ? "SW_DOWN" : "SW_UP")) << "SW" << j;
    }

    TFormButton page{&host};
};

TEST_F(ButtonPageTest, ActivationStartsPollingAndSaysSo) {
    page.Activate(board);
    EXPECT_TRUE(page.TimerPolling->isActive());
    EXPECT_EQ(page.TimerPolling->interval(), 100);
    ASSERT_EQ(status.size(), 2u);
    EXPECT_EQ(status[0].text, "");
    EXPECT_EQ(status[0].colour, statuscolour::GREEN);
    EXPECT_EQ(status[1].text, "Monitor Switches and Pushbuttons...");
    EXPECT_EQ(status[1].colour, statuscolour::YELLOW);

    page.Deactivate();
    EXPECT_FALSE(page.TimerPolling->isActive());
    ASSERT_EQ(status.size(), 3u);
    EXPECT_EQ(status[2].text, "");
    EXPECT_EQ(status[2].colour, statuscolour::YELLOW);
    EXPECT_FALSE(page.PollInputs());
    page.TimerPollingTimer();
    EXPECT_FALSE(page.TimerPolling->isActive());
    EXPECT_EQ(boardErrors, 0);
}

TEST_F(ButtonPageTest, ActivationWithoutLinkStartsNoPolling) {
    board.Disconnect();
    page.Activate(board);
    EXPECT_FALSE(page.TimerPolling->isActive());
    ASSERT_EQ(status.size(), 1u);
    EXPECT_EQ(status[0].text, "");
}

TEST_F(ButtonPageTest, KeysAndSwitchesDrawnAsTheirPictures) {
    page.Activate(board);
    page.RepaintNow();
    ExpectDrawn(0);

    Control("key 0 down");
    Control("switch 0 on");
    page.TimerPollingTimer();
    EXPECT_EQ(page.m_nInputs, 0x0011u);
    ExpectDrawn(0x0011);
    EXPECT_TRUE(page.TimerPolling->isActive());

    Control("key 0 up");
    for (int j = 0; j < 10; ++j)
        Control("switch " + std::to_string(j) + " on");
    page.TimerPollingTimer();
    EXPECT_EQ(page.m_nInputs, 0x3FF0u);
    EXPECT_EQ(page.m_nDrawnInputs, 0x3FF0u);
    ExpectDrawn(0x3FF0);
    page.RepaintNow();
    ExpectDrawn(0x3FF0);
    SaveScreenshot(page, "switches");
}

TEST_F(ButtonPageTest, PollOfTheDrawnValueDoesNotRedraw) {
    page.Activate(board);
    Control("switch 3 on");
    page.TimerPollingTimer();
    ASSERT_TRUE(SwitchShows(3, "SW_DOWN"));

    // A mark over KEY1: only a redraw would paint the key over it.
    const QRect mark(223 - 48, 50, 44, 44);
    page.Canvas()->SetBrushColor(QColor(255, 0, 255));
    page.Canvas()->FillRect(mark);
    page.TimerPollingTimer();
    EXPECT_EQ(pagetest::PixelColour(page.Canvas()->Image(), mark.center().x(), mark.center().y()), QColor(255, 0, 255));
    EXPECT_FALSE(KeyShows(1, "BUTTON_UP"));

    Control("key 2 down");
    page.TimerPollingTimer();
    EXPECT_EQ(page.m_nInputs, 0x0084u);
    EXPECT_TRUE(KeyShows(1, "BUTTON_UP"));
    EXPECT_TRUE(KeyShows(2, "BUTTON_DOWN"));
}

TEST_F(ButtonPageTest, TimerKeepsPollingWhileActive) {
    page.Activate(board);
    Control("switch 9 on");
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.m_nInputs == 0x2000u; }, 3000));
    Control("key 3 down");
    EXPECT_TRUE(QTest::qWaitFor([&] { return page.m_nInputs == 0x2008u; }, 3000));
    EXPECT_TRUE(SwitchShows(9, "SW_DOWN"));
    EXPECT_TRUE(KeyShows(3, "BUTTON_DOWN"));
    page.Deactivate();
}

TEST_F(ButtonPageTest, FailedPollStopsPollingForGood) {
    page.Activate(board);
    ASSERT_EQ(Control("fault drop").substr(0, 2), "ok");
    Control("switch 1 on");
    page.TimerPollingTimer();
    EXPECT_EQ(boardErrors, 1);
    EXPECT_EQ(errorSender, &page);
    EXPECT_FALSE(page.TimerPolling->isActive());
    EXPECT_EQ(page.m_nInputs, 0u);

    // Still bound, the link closed: a poll fails without reaching the board.
    EXPECT_FALSE(page.PollInputs());
}

TEST_F(ButtonPageTest, ReactivationShowsTheLastValueRead) {
    page.Activate(board);
    Control("switch 2 on");
    page.TimerPollingTimer();
    page.Deactivate();
    Control("switch 2 off");
    page.Activate(board);
    page.RepaintNow();
    EXPECT_TRUE(SwitchShows(2, "SW_DOWN"));
    page.TimerPollingTimer();
    EXPECT_TRUE(SwitchShows(2, "SW_UP"));
    page.Deactivate();
}

} // namespace
