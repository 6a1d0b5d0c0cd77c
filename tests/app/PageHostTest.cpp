// The main window's skin and page hosting: tabs, pages, frames, the welcome clip and the background.
#include "shell/StatusInfo.h"
#include "app/Unitabout.h"
#include "pages/PageForm.h"
#include "pages/UnitMemory.h"
#include "tests/support/Mouse.h"
#include "tests/support/PanelFixture.h"

#include <QApplication>
#include <QTest>
#include <QWindow>
#include <QTimer>
#include <filesystem>
#include <set>

using testsupport::PanelFixture;

namespace {

std::set<std::string> VisibleFrames(TFormMain& form) {
    const std::pair<const char*, TShape*> frames[] = {
        {"SegDisp", form.ShapeSegDisp}, {"Led", form.ShapeLed},       {"ButtonSw", form.ShapeButtonSw},
        {"Button", form.ShapeButton},   {"SDCARD", form.ShapeSDCARD}, {"SDRAM", form.ShapeSDRAM},
        {"VGA", form.ShapeVGA}};
    std::set<std::string> visible;
    for (const auto& [name, shape] : frames)
        if (shape->isVisible())
            visible.insert(name);
    return visible;
}

QColor TextColour(const QLabel* label) {
    return label->palette().color(QPalette::WindowText);
}

class PageHostTest : public PanelFixture {};

} // namespace

TEST_F(PageHostTest, StartsOnTheWelcomeClipWithAnEmptyRedStatusBar) {
    EXPECT_EQ(form->size(), QSize(620, 600));
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->LabelCaption->text(), "Veldara QX7-MB Control Panel V1.0.1");
    EXPECT_EQ(form->CurrentPage(), TFormMain::WELCOME_PAGE);
    EXPECT_TRUE(form->AnimateWelcome->isVisible());
    EXPECT_TRUE(form->AnimateWelcome->Active());
    EXPECT_EQ(form->AnimateWelcome->geometry(), QRect(204, 288, 387, 296));
    EXPECT_TRUE(form->LabelConnectStatus->text().isEmpty());
    EXPECT_EQ(TextColour(form->LabelConnectStatus), QColor(255, 0, 0));
    EXPECT_FALSE(form->CGaugeConfig->isVisible());
    EXPECT_FALSE(form->LabelInfo->isVisible());
    EXPECT_EQ(form->ButtonConnect->text(), "Connect");
    EXPECT_FALSE(form->ButtonConnect->isVisible());
    EXPECT_EQ(form->TimerRun->interval(), 300);
    EXPECT_TRUE(VisibleFrames(*form).empty());
    for (int i = 0; i < TFormMain::PAGE_COUNT; ++i) {
        EXPECT_FALSE(form->Page(i)->isVisible()) << i;
        EXPECT_FALSE(form->Page(i)->IsActive()) << i;
        EXPECT_EQ(form->Page(i)->pos(), QPoint(204, 288)) << i;
        EXPECT_FALSE(form->TabButtons()->IsChecked(i)) << i;
    }
    EXPECT_TRUE(std::filesystem::exists(program / "system.log")) << "written before the window shows";
    SaveScreenshot("main-welcome");
}

TEST_F(PageHostTest, TabClicksSwitchPagesAndActivateOnlyTheShownOne) {
    ASSERT_TRUE(Connect());
    for (int tab : {1, 2, 3, 4, 5, 0, 4}) {
        ClickTab(tab);
        EXPECT_EQ(form->CurrentPage(), tab);
        for (int i = 0; i < TFormMain::PAGE_COUNT; ++i) {
            EXPECT_EQ(form->Page(i)->isVisible(), i == tab) << "tab " << tab << " page " << i;
            EXPECT_EQ(form->Page(i)->IsActive(), i == tab) << "tab " << tab << " page " << i;
            EXPECT_EQ(form->TabButtons()->IsChecked(i), i == tab) << "tab " << tab << " page " << i;
        }
    }
    EXPECT_FALSE(form->AnimateWelcome->isVisible());
}

TEST_F(PageHostTest, AClickOnTheShownTabDoesNotActivateItAgain) {
    ASSERT_TRUE(Connect());
    form->Page(0)->Deactivate();
    ClickTab(0);
    EXPECT_FALSE(form->Page(0)->IsActive());
    EXPECT_TRUE(form->Page(0)->isVisible());
    EXPECT_TRUE(form->TabButtons()->IsChecked(0));
}

TEST_F(PageHostTest, ATabWhileDisconnectedShowsItsPageActiveWithAClosedLink) {
    ClickTab(2);
    EXPECT_EQ(form->CurrentPage(), 2);
    EXPECT_TRUE(form->Page(2)->isVisible());
    EXPECT_TRUE(form->Page(2)->IsActive());
    EXPECT_FALSE(form->Board().IsConnected());
    EXPECT_FALSE(form->AnimateWelcome->isVisible());
}

TEST_F(PageHostTest, EachPageLightsItsFrames) {
    const std::set<std::string> expected[TFormMain::PAGE_COUNT] = {{"Led"},   {"SegDisp"}, {"ButtonSw", "Button"},
                                                                   {"SDRAM"}, {"SDCARD"},  {"VGA"}};
    for (int tab : {0, 1, 2, 3, 4, 5}) {
        ClickTab(tab);
        EXPECT_EQ(VisibleFrames(*form), expected[tab]) << "tab " << tab;
    }
    EXPECT_EQ(form->ShapeVGA->geometry(), QRect(280, 34, 73, 52));
    // The frames stay when the welcome clip returns.
    form->SwitchPage(TFormMain::WELCOME_PAGE);
    EXPECT_EQ(VisibleFrames(*form), expected[5]);
}

TEST_F(PageHostTest, TheMemoryPageFrameFollowsItsMemoryTypeList) {
    ClickTab(3);
    auto* memory = static_cast<TFormMemory*>(form->Page(3));
    ASSERT_TRUE(memory->OnUpdateTestArea);
    memory->ComboBoxMemType->setCurrentIndex(-1);
    memory->OnUpdateTestArea();
    EXPECT_TRUE(VisibleFrames(*form).empty());
    memory->ComboBoxMemType->setCurrentIndex(0);
    memory->OnUpdateTestArea();
    EXPECT_EQ(VisibleFrames(*form), std::set<std::string>{"SDRAM"});
}

TEST_F(PageHostTest, DisabledButtonsCountAsBackground) {
    const QPoint tab0(8 + 46, 310 + 19);
    const QPoint connect(124 + 39, 492 + 38);
    const QPoint about(481 + 18, 19 + 6);
    EXPECT_FALSE(form->IsOnBackground(tab0.x(), tab0.y()));
    EXPECT_FALSE(form->IsOnBackground(connect.x(), connect.y()));
    EXPECT_TRUE(form->IsOnBackground(300, 150));
    EXPECT_TRUE(form->IsOnBackground(8 + 93 + 2, 310 + 19)) << "between the tab columns";

    form->EnableControls(false);
    EXPECT_TRUE(form->IsOnBackground(tab0.x(), tab0.y()));
    EXPECT_TRUE(form->IsOnBackground(connect.x(), connect.y()));
    EXPECT_FALSE(form->IsOnBackground(about.x(), about.y())) << "about is never disabled";

    // A press on a disabled tab drags instead of clicking it.
    ClickTab(1);
    EXPECT_EQ(form->CurrentPage(), TFormMain::WELCOME_PAGE);
    EXPECT_FALSE(form->TabButtons()->IsChecked(1));
}

TEST_F(PageHostTest, TheAboutButtonShowsTheAboutBoxModally) {
    bool shown = false;
    QTimer::singleShot(0, form.get(), [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* about = dynamic_cast<TFormAbout*>(window); about != nullptr && about->isVisible()) {
                shown = about->isModal();
                about->ButtonExitClick();
            }
        }
    });
    ClickAt(481 + 18, 19 + 6);
    EXPECT_TRUE(shown);
    for (QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(dynamic_cast<TFormAbout*>(window), nullptr) << "destroyed when closed";
}

TEST_F(PageHostTest, TheCloseButtonClosesTheWindowAlsoWhileConnected) {
    ASSERT_TRUE(Connect());
    ClickAt(559 + 18, 19 + 6);
    EXPECT_FALSE(form->isVisible());
}

TEST_F(PageHostTest, PagesReportOnTheStatusLineUntilTheWindowGoes) {
    ShowStatusInfo("Reading SD card...", statuscolour::YELLOW);
    EXPECT_TRUE(form->LabelInfo->isVisible());
    EXPECT_TRUE(form->ImageInfo->isVisible());
    EXPECT_EQ(form->LabelInfo->text(), "Reading SD card...");
    EXPECT_EQ(TextColour(form->LabelInfo), QColor(255, 246, 0));
    EXPECT_EQ(form->LabelInfo->font().family(), "Arial");
    EXPECT_EQ(form->LabelInfo->geometry(), QRect(245, 562, 329, 16));

    ShowStatusInfo(QString(), statuscolour::GREEN);
    EXPECT_TRUE(form->LabelInfo->isVisible());
    EXPECT_FALSE(form->ImageInfo->isVisible()) << "the mark shows only beside a text";
    EXPECT_EQ(TextColour(form->LabelInfo), QColor(0, 128, 0));

    form.reset();
    ShowStatusInfo("after the window", statuscolour::RED);
}

TEST_F(PageHostTest, MovesReachTheTabsFirstThenTheWindowButtons) {
    MoveTo(8 + 46, 310 + 19);
    EXPECT_EQ(form->TabButtons()->HotId(), 0);
    EXPECT_EQ(form->WindowButtons()->HotId(), -1);
    EXPECT_EQ(testsupport::ShownCursor(), Qt::PointingHandCursor);

    MoveTo(124 + 39, 492 + 38);
    EXPECT_EQ(form->TabButtons()->HotId(), -1);
    EXPECT_EQ(form->WindowButtons()->HotId(), TFormMain::ID_CONNECT);

    MoveTo(300, 150);
    EXPECT_EQ(form->TabButtons()->HotId(), -1);
    EXPECT_EQ(form->WindowButtons()->HotId(), -1);
    EXPECT_EQ(testsupport::ShownCursor(), Qt::ArrowCursor) << "off the buttons, each widget shows its own";
    EXPECT_EQ(form->cursor().shape(), Qt::PointingHandCursor) << "the background can be dragged";
    for (int i = 0; i < TFormMain::PAGE_COUNT; ++i)
        EXPECT_EQ(form->Page(i)->cursor().shape(), Qt::ArrowCursor) << "page " << i << " takes no hand from it";
}

TEST_F(PageHostTest, AHotTabRestsWhenThePointerMovesOntoThePage) {
    form->SwitchPage(3);
    QWindow* window = form->windowHandle();
    // Through the window system, so that the page gets the move and its enter, and the window neither.
    QTest::mouseMove(window, QPoint(106 + 88, 310 + 19));
    ASSERT_EQ(form->TabButtons()->HotId(), 3);
    QTest::mouseMove(window, QPoint(204 + 20, 288 + 150));
    EXPECT_EQ(form->TabButtons()->HotId(), -1);
    EXPECT_EQ(testsupport::ShownCursor(), Qt::ArrowCursor);

    // On the page, from its Read button onto the edit beside it.
    auto* memory = static_cast<TFormMemory*>(form->Page(3));
    memory->Buttons()->SetEnabled(0, true);
    QTest::mouseMove(window, QPoint(204 + 306 + 30, 288 + 89 + 8));
    ASSERT_EQ(memory->Buttons()->HotId(), 0);
    QTest::mouseMove(window, QPoint(204 + 305 + 30, 288 + 59 + 12));
    EXPECT_EQ(memory->Buttons()->HotId(), -1);
}

TEST_F(PageHostTest, TheMinimiseButtonMinimisesTheWindow) {
    ClickAt(520 + 18, 19 + 6);
    EXPECT_TRUE(form->windowState() & Qt::WindowMinimized);
}
