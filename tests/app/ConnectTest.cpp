// The connection workflow against a virtual board that runs the panel's firmware already.
#include "pages/PageForm.h"
#include "platform/Notify.h"
#include "tests/support/PanelFixture.h"

#include <QTest>
#include <fstream>

using testsupport::PanelFixture;

namespace {

QColor TextColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

class ConnectTest : public PanelFixture {
protected:
    void ExpectDisconnectedAfterAPress() {
        EXPECT_FALSE(form->Board().IsConnected());
        EXPECT_EQ(BoardState("link"), "closed");
        EXPECT_EQ(form->LabelConnectStatus->text(), "Disconnected");
        EXPECT_EQ(TextColour(form->LabelConnectStatus), QColor(255, 0, 0));
        EXPECT_EQ(form->ButtonConnect->text(), "Connect");
        EXPECT_TRUE(form->ButtonConnect->isEnabled());
        EXPECT_TRUE(form->Device().empty());
        EXPECT_FALSE(form->CGaugeConfig->isVisible());
        EXPECT_EQ(dialogs.Cursor(), Qt::ArrowCursor);
        for (int i = 0; i < TFormMain::PAGE_COUNT; ++i)
            EXPECT_TRUE(form->TabButtons()->FindById(i)->GetEnabled()) << "tab " << i;
        EXPECT_TRUE(form->WindowButtons()->FindById(TFormMain::ID_CLOSE)->GetEnabled());
    }
    void ExpectFailedOnTheWelcomeClip(const QString& infoLine) {
        ExpectDisconnectedAfterAPress();
        EXPECT_EQ(form->LabelInfo->text(), infoLine);
        EXPECT_EQ(TextColour(form->LabelInfo), QColor(255, 0, 0));
        EXPECT_EQ(form->CurrentPage(), TFormMain::WELCOME_PAGE);
        EXPECT_TRUE(form->AnimateWelcome->isVisible());
        EXPECT_FALSE(form->AnimateWelcome->Active()) << "still after a failed attempt";
    }
};

} // namespace

TEST_F(ConnectTest, ARunningFirmwareConnectsOnTheFirstProbeWithoutConfiguring) {
    // Without the download library any configuration attempt would show boxes.
    RemoveFromProgramFolder("VELDARA_DOWNLOAD.DLL");
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(notes.messages.empty());
    EXPECT_EQ(BoardState("link"), "open");
    EXPECT_EQ(form->LabelConnectStatus->text(), "Connected");
    EXPECT_EQ(TextColour(form->LabelConnectStatus), QColor(0, 128, 0));
    EXPECT_EQ(form->ButtonConnect->text(), "Disconnect");
    EXPECT_EQ(form->Device(), "EP3C120/EP4CE115");
    EXPECT_FALSE(form->CGaugeConfig->isVisible());
    EXPECT_FALSE(form->ImageInfo->isVisible());
    EXPECT_EQ(form->CurrentPage(), 0);
    EXPECT_TRUE(form->Page(0)->isVisible());
    EXPECT_TRUE(form->Page(0)->IsActive());
    EXPECT_TRUE(form->TabButtons()->IsChecked(0));
    EXPECT_FALSE(form->AnimateWelcome->isVisible());
    EXPECT_FALSE(form->Connecting());
    EXPECT_EQ(dialogs.cursors.front(), Qt::WaitCursor);
    EXPECT_EQ(dialogs.Cursor(), Qt::ArrowCursor);
    for (int i = 0; i < TFormMain::PAGE_COUNT; ++i)
        EXPECT_TRUE(form->TabButtons()->FindById(i)->GetEnabled()) << "tab " << i;
    SaveScreenshot("main-connected-led");
}

TEST_F(ConnectTest, AnotherBoardNameIsRefusedAfterConfiguringWithOneBox) {
    board->Control("fault name TZ9");
    EXPECT_FALSE(Connect());
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(notes.messages[0].text, "Invalid Board Name");
    EXPECT_EQ(BoardState("configured"), "1");
    ExpectFailedOnTheWelcomeClip("Invalid Board Name");
    // The line shows over the welcome clip.
    const QImage shot = form->grab().toImage();
    int red = 0;
    for (int x = 245; x < 245 + 329; ++x)
        for (int y = 562; y < 562 + 16; ++y)
            red += shot.pixelColor(x, y).red() > 150 && shot.pixelColor(x, y).green() < 90 ? 1 : 0;
    EXPECT_GT(red, 20);
    SaveScreenshot("main-invalid-board");
}

TEST_F(ConnectTest, AMissingBitstreamIsNamedAndNothingIsDownloaded) {
    board->Control("fault name TZ9");
    RemoveFromProgramFolder("QX7MB_ControlPanel.sof");
    EXPECT_FALSE(Connect());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Can not find the file: QX7MB_ControlPanel.sof"});
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
    ExpectFailedOnTheWelcomeClip("Configure FPGA fail");
}

TEST_F(ConnectTest, NoDownloadLibraryAndNoQuartusShowThreeBoxesInOrder) {
    board->Control("fault name TZ9");
    RemoveFromProgramFolder("VELDARA_DOWNLOAD.DLL");
    RemoveFromProgramFolder("QX7MB_ControlPanel.sof");
    RemoveRegistry();
    EXPECT_FALSE(Connect());
    const std::vector<std::string> texts = MessageTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
    EXPECT_NE(texts[0].find("VELDARA_DOWNLOAD.DLL"), std::string::npos) << texts[0];
    EXPECT_EQ(notes.messages[1].kind, platform::MessageKind::Warning);
    EXPECT_EQ(texts[1], "Please make sure Quartus has been installed properly!");
    EXPECT_EQ(notes.messages[2].kind, platform::MessageKind::Error);
    EXPECT_EQ(texts[2], "Download tool not found.") << "and no file check";
    ExpectFailedOnTheWelcomeClip("Configure FPGA fail");
}

TEST_F(ConnectTest, ARefusedBitstreamFailsTheDownload) {
    board->Control("fault name TZ9");
    RemoveFromProgramFolder("QX7MB_ControlPanel.sof");
    std::ofstream(program / "QX7MB_ControlPanel.sof") << "not a bitstream";
    EXPECT_FALSE(Connect());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"download SOPC file (QX7MB_ControlPanel.sof) fail!"});
    ExpectFailedOnTheWelcomeClip("Configure FPGA fail");
}

TEST_F(ConnectTest, APressWhileConnectedDisconnectsAndLeavesThePageDeactivated) {
    ASSERT_TRUE(Connect());
    ClickTab(2);
    EXPECT_FALSE(Connect());
    ExpectDisconnectedAfterAPress();
    EXPECT_TRUE(form->LabelInfo->text().isEmpty());
    EXPECT_EQ(form->CurrentPage(), 2);
    EXPECT_TRUE(form->Page(2)->isVisible());
    EXPECT_FALSE(form->Page(2)->IsActive());
    EXPECT_TRUE(notes.messages.empty());

    // The next press connects again and returns to the LED page.
    ASSERT_TRUE(Connect());
    EXPECT_EQ(form->CurrentPage(), 0);
    EXPECT_TRUE(form->Page(0)->IsActive());
    EXPECT_FALSE(form->Page(2)->isVisible());
    EXPECT_TRUE(form->TabButtons()->IsChecked(0));
    EXPECT_FALSE(form->TabButtons()->IsChecked(2));
}

TEST_F(ConnectTest, APagesBoardErrorDropsTheLinkAndLocksTheTabs) {
    ASSERT_TRUE(Connect());
    TPageForm* page = form->Page(0);
    ASSERT_TRUE(page->OnBoardError);
    page->OnBoardError(page);
    EXPECT_FALSE(form->Board().IsConnected());
    EXPECT_EQ(BoardState("link"), "closed");
    EXPECT_EQ(form->LabelConnectStatus->text(), "Disconnected");
    EXPECT_EQ(TextColour(form->LabelConnectStatus), QColor(255, 0, 0));
    EXPECT_EQ(form->ButtonConnect->text(), "Connect");
    EXPECT_TRUE(form->ButtonConnect->isEnabled());
    EXPECT_TRUE(form->WindowButtons()->FindById(TFormMain::ID_CONNECT)->GetEnabled());
    EXPECT_TRUE(form->WindowButtons()->FindById(TFormMain::ID_CLOSE)->GetEnabled());
    for (int i = 0; i < TFormMain::PAGE_COUNT; ++i)
        EXPECT_FALSE(form->TabButtons()->FindById(i)->GetEnabled()) << "tab " << i;
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(page->IsActive()) << "the page is not told to deactivate";
    EXPECT_TRUE(form->TabButtons()->IsChecked(0));

    // A tab press does nothing now; the connect button works.
    ClickTab(1);
    EXPECT_EQ(form->CurrentPage(), 0);
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(form->TabButtons()->FindById(1)->GetEnabled());
}

TEST_F(ConnectTest, TheStartTimerConnectsOnceThroughTheEventQueue) {
    form->TimerRun->start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->Board().IsConnected(); }, 5000));
    EXPECT_FALSE(form->TimerRun->isActive()) << "stopped for good";
    EXPECT_EQ(form->CurrentPage(), 0);

    form->TimerRunTimer();
    EXPECT_TRUE(form->Board().IsConnected()) << "the request is only posted, not run at once";
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->Board().IsConnected(); }, 5000))
        << "handled like a press: it disconnects a connected board";
}

TEST_F(ConnectTest, AConnectRequestDuringAnAttemptsBoxIsIgnored) {
    board->Control("fault name TZ9");
    int boxes = 0;
    platform::SetMessageHandler([&](platform::MessageKind, const std::string&) {
        // The box's own event loop would deliver a queued connect request here.
        if (++boxes < 5)
            form->ButtonConnectClick();
    });
    EXPECT_FALSE(Connect());
    platform::SetMessageHandler({});
    EXPECT_EQ(boxes, 1);
    EXPECT_FALSE(form->Board().IsConnected());
}

TEST_F(ConnectTest, TheWelcomeClipPlaysOnlyWhileAnAttemptRuns) {
    ASSERT_TRUE(Connect());
    ClickTab(1);
    ASSERT_FALSE(Connect());
    board->Control("fault name TZ9");
    bool shownDuringAttempt = false;
    bool playingDuringAttempt = false;
    bool tabUnchecked = false;
    platform::SetMessageHandler([&](platform::MessageKind, const std::string&) {
        shownDuringAttempt = form->AnimateWelcome->isVisible();
        playingDuringAttempt = form->AnimateWelcome->Active();
        tabUnchecked = !form->TabButtons()->IsChecked(1);
    });
    EXPECT_FALSE(Connect());
    platform::SetMessageHandler({});
    EXPECT_TRUE(shownDuringAttempt);
    EXPECT_TRUE(playingDuringAttempt);
    EXPECT_TRUE(tabUnchecked);
    EXPECT_FALSE(form->Page(1)->isVisible());
    EXPECT_FALSE(form->Page(1)->IsActive());
    EXPECT_TRUE(form->AnimateWelcome->isVisible());
    EXPECT_FALSE(form->AnimateWelcome->Active());
}

TEST_F(ConnectTest, ANameQueryThatFailsOnceIsRepeatedWithinItsTimeLimit) {
    // Without the download library any configuration attempt would show boxes.
    RemoveFromProgramFolder("VELDARA_DOWNLOAD.DLL");
    board->Control("fault checksum");
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(notes.messages.empty());
    EXPECT_EQ(form->CurrentPage(), 0);
}
