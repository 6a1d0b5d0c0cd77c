// The progress dialog of the memory transfers.
#include "shell/Unitprogress.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/Mouse.h"

#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

namespace {

void MoveOver(QWidget* widget) {
    testsupport::MouseMove(widget, QPoint(widget->width() / 2, widget->height() / 2));
}

// Whether any pixel in the columns [from, to) of the label differs from its background.
bool InkInColumns(QLabel* label, int from, int to) {
    const QImage image = label->grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    for (int x = from; x < to; ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixel(x, y) != background)
                return true;
    return false;
}

class ProgressTest : public ::testing::Test {
protected:
    ProgressTest() : owner(nullptr, Qt::Window), progress(&owner) { owner.setGeometry(100, 100, 620, 600); }

    testsupport::DialogRecorder dialogs;
    QWidget owner;
    TFormProgress progress;
};

} // namespace

TEST_F(ProgressTest, ShowingClearsTextAndBarOnTopOfItsOwner) {
    progress.SetStatusText("left over");
    progress.SetPercent(40);
    progress.show();
    EXPECT_TRUE(progress.LabelStatus->text().isEmpty());
    EXPECT_EQ(progress.ProgressBar->value(), 0);
    EXPECT_EQ(progress.windowTitle(), "Progress");
    EXPECT_TRUE(progress.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(progress.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(progress.size(), QSize(348, 152));
    EXPECT_FALSE(progress.isModal());

    progress.SetPercent(37);
    progress.SetStatusText("Finish Percentage: 37%");
    EXPECT_EQ(progress.ProgressBar->value(), 37);
    EXPECT_EQ(progress.LabelStatus->text(), "Finish Percentage: 37%");
}

TEST_F(ProgressTest, AbortLatchesAndLeavesTheDialogOpen) {
    progress.show();
    EXPECT_FALSE(progress.IsAborted());
    QTest::mouseClick(progress.ButtonAbort, Qt::LeftButton);
    EXPECT_TRUE(progress.IsAborted());
    QTest::mouseClick(progress.ButtonAbort, Qt::LeftButton);
    progress.SetPercent(80);
    EXPECT_TRUE(progress.IsAborted());
    EXPECT_TRUE(progress.isVisible());
}

TEST_F(ProgressTest, EscapeAndACloseRequestCountAsAbortAndTheDialogStays) {
    const Qt::WindowFlags titleButtons = Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint |
                                         Qt::WindowMaximizeButtonHint | Qt::WindowSystemMenuHint |
                                         Qt::WindowContextHelpButtonHint;
    EXPECT_FALSE(progress.windowFlags() & titleButtons) << "no title-bar buttons are asked for";
    EXPECT_TRUE(progress.windowFlags() & Qt::CustomizeWindowHint) << "else the window manager adds its own";

    progress.show();
    QTest::keyClick(&progress, Qt::Key_Escape);
    EXPECT_TRUE(progress.IsAborted());
    EXPECT_TRUE(progress.isVisible()) << "the transfer goes on until the caller sees the abort";

    TFormProgress closed(&owner);
    closed.show();
    EXPECT_FALSE(closed.close()) << "the window manager's close request is refused";
    EXPECT_TRUE(closed.IsAborted());
    EXPECT_TRUE(closed.isVisible());
}

TEST_F(ProgressTest, HandOverAbortHourglassElsewhere) {
    progress.show();
    MoveOver(progress.ButtonAbort);
    EXPECT_EQ(dialogs.Cursor(), Qt::PointingHandCursor);
    MoveOver(progress.LabelStatus);
    EXPECT_EQ(dialogs.Cursor(), Qt::WaitCursor);
    MoveOver(progress.ButtonAbort);
    MoveOver(&progress);
    EXPECT_EQ(dialogs.Cursor(), Qt::WaitCursor);
    MoveOver(progress.ProgressBar);
    EXPECT_EQ(dialogs.Cursor(), Qt::WaitCursor);
}

TEST_F(ProgressTest, ALongTextShowsItsBeginningOnOneLine) {
    progress.show();
    progress.SetStatusText(QString("W").repeated(200));
    EXPECT_EQ(progress.LabelStatus->size(), QSize(305, 49));
    EXPECT_TRUE(InkInColumns(progress.LabelStatus, 0, 12)) << "the text starts at the label's left edge";
    EXPECT_TRUE(InkInColumns(progress.LabelStatus, 290, 305)) << "and runs to the right edge, cut there";
    // One line: nothing below the first line of text.
    const QImage image = progress.LabelStatus->grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    for (int x = 0; x < image.width(); ++x)
        ASSERT_EQ(image.pixel(x, 40), background) << "column " << x;
}
