#include "tests/support/PanelFixture.h"

#include "platform/Files.h"
#include "tests/support/Mouse.h"
#include "tests/support/Screenshots.h"

#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <filesystem>
#include <fstream>

namespace testsupport {

namespace {

const char* const LIBRARIES[] = {"VELDARA_JTAG.DLL", "VELDARA_DOWNLOAD.DLL"};
const char* const PROGRAM_FILES[] = {"QX7MB_ControlPanel.sof", "qx7mb-vboard"};

} // namespace

std::string EditionsName(const ::testing::TestParamInfo<Editions>& info) {
    return info.param == Editions::Hardware ? "Hardware" : "Virtual";
}

PanelFixture::PanelFixture(Editions editions)
    : quartusRoot("QUARTUS_ROOTDIR", editions == Editions::Hardware ? QX7MB_FAKE_QUARTUS_DIR : nullptr),
      workingFolder(platform::GetWorkingFolder()) {
    const std::string libraries = editions == Editions::Hardware ? QX7MB_HARDWARE_DIR : QX7MB_BIN_DIR;
    for (const char* name : LIBRARIES)
        std::filesystem::create_symlink(libraries + "/" + name, program / name);
    for (const char* name : PROGRAM_FILES)
        std::filesystem::create_symlink(std::string(QX7MB_BIN_DIR) + "/" + name, program / name);
    platform::SetProgramFolder(program.Path());
    WriteRegistry("13.1");
}

PanelFixture::~PanelFixture() {
    platform::SetProgramFolder("");
    platform::SetWorkingFolder(workingFolder);
}

void PanelFixture::SetUp() {
    board = std::make_unique<VBoardProcess>(BoardOptions());
    form = std::make_unique<TFormMain>();
    form->TimerRun->stop();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
}

void PanelFixture::TearDown() {
    form.reset();
    board.reset();
}

bool PanelFixture::Connect() {
    ClickAt(124 + 39, 492 + 38);
    return form->Board().IsConnected();
}

void PanelFixture::MoveTo(int x, int y) {
    MouseMove(form.get(), QPoint(x, y));
}

void PanelFixture::ClickAt(int x, int y) {
    ClickAt(form.get(), x, y);
}

void PanelFixture::ClickAt(QWidget* widget, int x, int y) {
    MouseClick(widget, QPoint(x, y));
}

void PanelFixture::ClickTab(int index) {
    // Tabs of 93 x 38 in two columns 98 apart and three rows 63 apart.
    ClickAt(8 + 98 * (index / 3) + 46, 310 + 63 * (index % 3) + 19);
}

std::string PanelFixture::SaveScreenshot(const std::string& name) {
    const QString path = ScreenshotPath(QString::fromStdString(name));
    EXPECT_TRUE(form->grab().save(path)) << path.toStdString();
    return path.toStdString();
}

void PanelFixture::WriteRegistry(const std::string& quartusVersion) {
    std::ofstream(registryFile) << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Altera Corporation\\Quartus]\n"
                                << "Quartus Version=" << quartusVersion << "\n";
}

void PanelFixture::RemoveRegistry() {
    std::filesystem::remove(registryFile);
}

void PanelFixture::RemoveFromProgramFolder(const std::string& name) {
    std::filesystem::remove(program / name);
}

void PanelFixture::ReplaceInProgramFolder(const std::string& name, const std::string& target) {
    RemoveFromProgramFolder(name);
    std::filesystem::create_symlink(target, program / name);
}

std::vector<std::string> PanelFixture::MessageTexts() const {
    std::vector<std::string> texts;
    for (const RecordedMessage& message : notes.messages)
        texts.push_back(message.text);
    return texts;
}

} // namespace testsupport
