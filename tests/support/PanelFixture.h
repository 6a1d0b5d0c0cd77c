#pragma once

#include "app/UnitMain.h"
#include "tests/support/DialogRecorder.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace testsupport {

// The editions of the maker's libraries in the panel's folder: ours for the virtual board, or the
// hardware editions with QUARTUS_ROOTDIR naming the build's Quartus stand-ins, which reach the same
// virtual board through a relay JTAG library and a programmer of their own.
enum class Editions { Virtual, Hardware };

// "Virtual" or "Hardware", for the names of tests run with each.
std::string EditionsName(const ::testing::TestParamInfo<Editions>& info);

// The panel's main window against a headless virtual board, for one test. The program's folder is a
// private one holding links to the built libraries, the bitstream and the board server (a test may
// take any of them away), with "system.log" written there; a registry file records Quartus 13.1,
// QUARTUS_ROOTDIR is set only for the hardware editions and the other Quartus variables never, every
// box is recorded and the dialogs are scripted. The window is created and shown with TimerRun stopped,
// so that nothing connects by itself.
class PanelFixture : public ::testing::Test {
protected:
    explicit PanelFixture(Editions editions = Editions::Virtual);
    ~PanelFixture() override;

    void SetUp() override;
    void TearDown() override;

    // The virtual board's start options; a configured board by default.
    virtual std::vector<std::string> BoardOptions() const { return {"--configured"}; }

    // Presses the skinned connect button; true when the board is connected afterwards.
    bool Connect();
    // A press and release (after a move there) at client coordinates of the window or of a child.
    void ClickAt(int x, int y);
    void ClickAt(QWidget* widget, int x, int y);
    // A move to client coordinates of the window.
    void MoveTo(int x, int y);
    void ClickTab(int index);
    // A field of the board's state dump ("leds", "link", "configured", ...).
    std::string BoardState(const std::string& field) { return board->Field(field); }
    // Saves the window as build/screenshots/NAME.png; returns the path.
    std::string SaveScreenshot(const std::string& name);

    void WriteRegistry(const std::string& quartusVersion);
    void RemoveRegistry();
    // Takes a file (library, bitstream) away from the program's folder.
    void RemoveFromProgramFolder(const std::string& name);
    // Puts another file in its place (a stand-in library, say), as a link to target.
    void ReplaceInProgramFolder(const std::string& name, const std::string& target);
    // The texts of the recorded boxes, in order.
    std::vector<std::string> MessageTexts() const;

    TempFolder program;
    std::string registryFile = program / "registry.ini";
    ScopedEnv registry{"QX7MB_REGISTRY", registryFile.c_str()};
    ScopedEnv quartusRoot{"QUARTUS_ROOTDIR", nullptr};
    ScopedEnv niosKit{"SOPC_KIT_NIOS2", nullptr};
    ScopedEnv qsysRoot{"QSYS_ROOTDIR", nullptr};
    NotifyRecorder notes;
    DialogRecorder dialogs;
    std::unique_ptr<VBoardProcess> board;
    std::unique_ptr<TFormMain> form;

private:
    std::string workingFolder;
};

} // namespace testsupport
