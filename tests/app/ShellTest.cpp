// The shell services the pages build on: the status-information line, the dialog services and the
// override cursor.
#include "app/QtDialogServices.h"
#include "app/StatusInfo.h"
#include "tests/support/DialogRecorder.h"

#include <QApplication>
#include <QCursor>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

TEST(StatusInfoTest, ReachesTheInstalledSinkOnlyWhileItIsInstalled) {
    std::vector<std::pair<QString, QColor>> shown;
    ShowStatusInfo("before any window", statuscolour::RED);
    SetStatusInfoSink([&](const QString& text, const QColor& colour) { shown.emplace_back(text, colour); });
    ShowStatusInfo("Reading SD card...", statuscolour::YELLOW);
    ShowStatusInfo(QString(), statuscolour::GREEN);
    SetStatusInfoSink({});
    ShowStatusInfo("after the window", statuscolour::RED);

    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].first, "Reading SD card...");
    EXPECT_EQ(shown[0].second, QColor(255, 246, 0));
    EXPECT_TRUE(shown[1].first.isEmpty());
    EXPECT_EQ(shown[1].second, QColor(0, 128, 0));
}

TEST(FileFilterTest, PairsBecomeQtFiltersWithEveryFileAndBothCases) {
    EXPECT_EQ(QtFileFilter("All files (*.*)|*.*|Hex files (*.HEX)|*.hex"), "All files (*);;Hex files (*.hex *.HEX)");
    EXPECT_EQ(QtFileFilter("Images|*.bmp;*.Raw"), "Images (*.bmp *.BMP *.Raw *.raw *.RAW)");
    EXPECT_EQ(QtFileFilter("Binary files (*.bin)|*.bin|Dangling description"), "Binary files (*.bin *.BIN)");
    EXPECT_EQ(QtFileFilter(""), "");
}

TEST(DialogServicesTest, AnInstalledRecorderAnswersUntilItIsGone) {
    {
        testsupport::DialogRecorder recorder;
        recorder.QueueSave("/tmp/out.hex");
        recorder.QueueOpenCancel();
        QString path = "unchanged";
        EXPECT_FALSE(Dialogs().OpenFile("All files (*.*)|*.*", "", path));
        EXPECT_EQ(path, "unchanged");
        EXPECT_TRUE(Dialogs().SaveFile("Hex files (*.HEX)|*.hex", "hex", path));
        EXPECT_EQ(path, "/tmp/out.hex");
        EXPECT_FALSE(Dialogs().SaveFile("Hex files (*.HEX)|*.hex", "hex", path)) << "nothing queued: cancelled";
        Dialogs().SetCursor(Qt::WaitCursor);

        ASSERT_EQ(recorder.dialogs.size(), 3u);
        EXPECT_EQ(recorder.dialogs[0].kind, testsupport::FileDialogKind::Open);
        EXPECT_EQ(recorder.dialogs[1].kind, testsupport::FileDialogKind::Save);
        EXPECT_EQ(recorder.dialogs[1].defaultExt, "hex");
        EXPECT_EQ(recorder.Cursor(), Qt::WaitCursor);
    }
    EXPECT_NE(dynamic_cast<TQtDialogServices*>(&Dialogs()), nullptr);
}

TEST(DialogServicesTest, QtCursorChangesWithoutStackingAndTheArrowRestoresIt) {
    TQtDialogServices services;
    services.SetCursor(Qt::WaitCursor);
    services.SetCursor(Qt::WaitCursor);
    services.SetCursor(Qt::PointingHandCursor);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::PointingHandCursor);
    services.SetCursor(Qt::ArrowCursor);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
