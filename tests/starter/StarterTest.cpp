// qx7mb-hardware-start: the doctor first; the panel at once when it passes, else the person's choice in
// a window that shows the doctor's lines.
#include "starter/DoctorWindow.h"
#include "starter/HardwareStart.h"
#include "tests/support/Recorders.h"
#include "tests/support/Screenshots.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using testsupport::ScopedEnv;

namespace {

// The start of a program folder, with the person's answer scripted and the panel's start recorded.
struct ScriptedStart {
    explicit ScriptedStart(const std::string& folder, bool startAnyway) {
        start.folder = folder;
        start.ask = [this, startAnyway](const std::vector<std::string>& lines) {
            shown = lines;
            asked = true;
            return startAnyway;
        };
        start.startPanel = [this](const std::string& panel) {
            started = panel;
            return 0;
        };
    }

    starter::HardwareStart start;
    bool asked = false;
    std::vector<std::string> shown;
    std::string started;
};

TEST(StarterTest, AFailingCheckIsShownAndThePersonChoosesWhetherThePanelStarts) {
    testsupport::TempFolder root;
    ScopedEnv quartus("QUARTUS_ROOTDIR", (root / "nowhere").c_str());
    ScopedEnv system("QX7MB_SYSTEM_ROOT", root.Path().c_str());
    const std::string folder = std::string(QX7MB_HARDWARE_DIR) + "/";
    for (const bool startAnyway : {false, true}) {
        ScriptedStart quit(folder, startAnyway);
        EXPECT_EQ(quit.start.Run(), startAnyway ? 0 : 1);
        ASSERT_TRUE(quit.asked);
        EXPECT_EQ(quit.started, startAnyway ? folder + "qx7mb-panel" : "");
        ASSERT_GE(quit.shown.size(), 2u);
        EXPECT_EQ(quit.shown[1].rfind("fail  Quartus: Quartus not found: QUARTUS_ROOTDIR names " + root / "nowhere", 0),
                  0u)
            << quit.shown[1];
    }
}

TEST(StarterTest, ADoctorThatFindsEverythingInOrderStartsThePanelAtOnce) {
    testsupport::TempFolder folder;
    std::ofstream(folder / "qx7mb") << "#!/bin/sh\n[ \"$*\" = \"doctor --configure\" ] && exit 0\nexit 2\n";
    std::filesystem::permissions(folder / "qx7mb", std::filesystem::perms::owner_all);
    ScriptedStart start(folder.Path() + "/", false);
    EXPECT_EQ(start.start.Run(), 0);
    EXPECT_FALSE(start.asked);
    EXPECT_EQ(start.started, folder / "qx7mb-panel");
}

TEST(StarterTest, TheWindowMarksTheFailingLinesAndOffersStartAnywayAndQuit) {
    const std::vector<std::string> lines = {
        "ok    Quartus: /opt/intelFPGA_lite/20.1/quartus (found without QUARTUS_ROOTDIR), version 20.1",
        "fail  the udev rule: no rule for the USB-Blaster (vendor 09fb): add one", "skip  the firmware: no link"};
    for (const bool startAnyway : {true, false}) {
        starter::DoctorWindow window(lines);
        EXPECT_EQ(window.StartAnyway()->text(), "Start anyway");
        EXPECT_EQ(window.Quit()->text(), "Quit");
        EXPECT_EQ(window.Lines()->toPlainText().toStdString(), lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n");
        for (int line = 0; line < 3; ++line) {
            const QTextCharFormat format =
                window.Lines()->document()->findBlockByNumber(line).begin().fragment().charFormat();
            EXPECT_EQ(format.fontWeight() == QFont::Bold, line == 1) << line;
        }
        QTimer::singleShot(0, &window, [&window, startAnyway] {
            window.grab().save(testsupport::ScreenshotPath("starter-doctor-window"));
            (startAnyway ? window.StartAnyway() : window.Quit())->click();
        });
        EXPECT_EQ(window.exec(), startAnyway ? QDialog::Accepted : QDialog::Rejected);
    }
}

} // namespace
