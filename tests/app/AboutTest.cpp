// The about box: its skin, and that only a whole click on its button closes it.
#include "app/Unitabout.h"
#include "tests/support/Mouse.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// The skinned close button lies at 306, 342 with faces of 64 x 17.
const QPoint ON_BUTTON(306 + 32, 342 + 8);
const QPoint OFF_BUTTON(40, 40);

void Press(QWidget* widget, const QPoint& at) {
    testsupport::MouseMove(widget, at);
    testsupport::MousePress(widget, at);
}

void Release(QWidget* widget, const QPoint& at) {
    testsupport::MouseMove(widget, at, Qt::LeftButton);
    testsupport::MouseRelease(widget, at);
}

} // namespace

TEST(AboutBoxTest, IsTheSizeOfItsPictureWithNameVersionAndCloseButton) {
    QWidget owner;
    TFormAbout about(&owner);
    EXPECT_EQ(about.size(), QSize(380, 380));
    EXPECT_EQ(about.windowTitle(), "About Control Panel");
    EXPECT_EQ(about.Label1->text(), "QX7-MB Control Panel");
    EXPECT_EQ(about.Label1->pos(), QPoint(148, 276));
    EXPECT_EQ(about.Label2->text(), "Software Version V 1.0.1");
    EXPECT_FALSE(about.Label3->text().isEmpty());
    EXPECT_FALSE(about.Label4->text().isEmpty());
    EXPECT_EQ(about.Label4->pos(), QPoint(148, 341));
    EXPECT_FALSE(about.ButtonExit->isVisible());
    const skin::TCustomButton* close = about.Buttons()->FindById(0);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->GetCaption(), "Close");
    EXPECT_EQ(QPoint(close->GetLeft(), close->GetTop()), QPoint(306, 342));
}

TEST(AboutBoxTest, OnlyAPressAndReleaseOnTheButtonClosesIt) {
    QWidget owner;
    TFormAbout about(&owner);
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));

    Press(&about, OFF_BUTTON);
    Release(&about, OFF_BUTTON);
    EXPECT_TRUE(about.isVisible()) << "a click beside the button";

    Press(&about, ON_BUTTON);
    Release(&about, OFF_BUTTON);
    EXPECT_TRUE(about.isVisible()) << "a press on the button, released elsewhere";

    Press(&about, ON_BUTTON);
    Release(&about, ON_BUTTON);
    EXPECT_FALSE(about.isVisible());
}

TEST(AboutBoxTest, ShowModalReturnsWhenItsButtonIsClicked) {
    QWidget owner;
    TFormAbout about(&owner);
    bool clicked = false;
    bool forced = false;
    QTimer::singleShot(0, &about, [&] {
        clicked = about.isVisible() && about.isModal();
        Press(&about, ON_BUTTON);
        Release(&about, ON_BUTTON);
    });
    // Ends a box that would not close, so that a fault fails the test instead of hanging it.
    QTimer::singleShot(5000, &about, [&] {
        forced = true;
        about.close();
    });
    about.ShowModal();
    EXPECT_TRUE(clicked);
    EXPECT_FALSE(forced);
    EXPECT_FALSE(about.isVisible());
}
