// The shell services the pages build on: the status-information line, the dialog services and the
// override cursor.
#include "shell/QtDialogServices.h"
#include "skin/Buttonmanager.h"
#include "shell/StatusInfo.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/Mouse.h"
#include "tests/support/Recorders.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileDialog>
#include <QTimer>
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

TEST(DialogServicesTest, TheHourglassWinsOverTheHandOfAButtonUntilTheDefaultReturns) {
    QWidget window;
    skin::TCanvas canvas(100, 40);
    skin::TButtonManager group(&window, &canvas, skin::gmPush);
    group.AddButton(0, "Read", "NORMAL_BTN", 10, 10);
    TQtDialogServices services;

    services.SetCursor(Qt::WaitCursor);
    group.MouseMove(20, 15, true);
    EXPECT_EQ(testsupport::ShownCursor(), Qt::WaitCursor) << "a button under the pointer does not end the wait";
    services.SetCursor(Qt::ArrowCursor);
    EXPECT_EQ(testsupport::ShownCursor(), Qt::PointingHandCursor) << "the button's hand shows once the wait ends";
    group.MouseMove(90, 35, true);
    EXPECT_EQ(testsupport::ShownCursor(), Qt::ArrowCursor);
}

namespace {

// Answers the file dialog that is open next: records what it offers, then picks `name` in `folder`.
struct FileDialogAnswer {
    QStringList filters;
    QString suffix;
    bool confirmsOverwrite = true;
    bool sawDialog = false;

    void PickWhenOpen(const QString& folder, const QString& name) {
        QTimer::singleShot(0, [this, folder, name] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (dialog == nullptr)
                return;
            sawDialog = true;
            filters = dialog->nameFilters();
            suffix = dialog->defaultSuffix();
            confirmsOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
            dialog->setDirectory(folder);
            dialog->selectFile(name);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    }
};

} // namespace

TEST(QtFileDialogTest, SaveOffersTheConvertedFilterAddsTheSuffixAndReplacesWithoutAsking) {
    testsupport::TempFolder folder;
    TQtDialogServices services;
    FileDialogAnswer answer;
    answer.PickWhenOpen(QString::fromStdString(folder.Path()), "image");
    QString path;
    ASSERT_TRUE(services.SaveFile("All files (*.*)|*.*|Hex files (*.HEX)|*.hex", "hex", path));
    EXPECT_TRUE(answer.sawDialog);
    EXPECT_EQ(answer.filters, QStringList({"All files (*)", "Hex files (*.hex *.HEX)"}));
    EXPECT_EQ(answer.suffix, "hex");
    EXPECT_FALSE(answer.confirmsOverwrite);
    EXPECT_EQ(QDir::cleanPath(path), QDir::cleanPath(QString::fromStdString(folder / "image.hex")));
}
