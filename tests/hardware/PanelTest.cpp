// The panel in the hardware program folder's arrangement: the hardware editions against the Quartus
// stand-ins, which reach a virtual board. What the panel shows is checked alike for both editions by
// the connect and page tests; here, what reaches Quartus and what the editions say.
#include "pages/PageForm.h"
#include "tests/hardware/StandinQuartus.h"
#include "tests/support/PanelFixture.h"
#include "tests/support/StderrCapture.h"

#include <fstream>
#include <sstream>

using hardwaretest::Record;
using testsupport::Editions;
using testsupport::ScopedEnv;

namespace {

const std::vector<std::string> OPEN_CABLE_1 = {"open", "1", "-1", "-1", "QX7-MB"};
const std::vector<std::string> VERSION_QUERY = {"quartus_pgm", "--version"};
const std::string NO_UART = "VELDARA_JTAG.DLL: the FPGA on cable 1 has no JTAG UART: it does not run the "
                            "control-panel design (as before it is configured); on a chain of several, set "
                            "QX7MB_JTAG_DEVICE (1 is the first device jtagconfig lists on the cable) and "
                            "QX7MB_JTAG_INSTANCE (0 is the device's first JTAG UART)";

class HardwarePanelTest : public testsupport::PanelFixture {
protected:
    HardwarePanelTest() : PanelFixture(Editions::Hardware) {}

    // A freshly powered board.
    std::vector<std::string> BoardOptions() const override { return {}; }

    std::string SystemLog() const {
        std::ifstream file(program / "system.log");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    hardwaretest::StandinQuartus quartus;
    ScopedEnv version{standin::VERSION, "13.1.0"};
    testsupport::StderrCapture errors;
};

TEST_F(HardwarePanelTest, AFreshBoardIsConfiguredByQuartusPgmAndReachedOnCableOne) {
    EXPECT_NE(SystemLog().find("Quartus Version(VELDARA_DOWNLOAD.DLL)=13.1\n"), std::string::npos) << SystemLog();
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(notes.messages.empty());
    // The first probe finds no JTAG UART in the unconfigured FPGA; the download edition finds nobody
    // holding one either, quartus_pgm configures it, and the edition waits for the new JTAG UART; the
    // second probe's link is closed and the link opened afresh.
    EXPECT_EQ(quartus.Recorded(),
              (Record{VERSION_QUERY,
                      OPEN_CABLE_1,
                      OPEN_CABLE_1,
                      {"quartus_pgm", "-c", "1", "-m", "JTAG", "-o", "p;" + program / "QX7MB_ControlPanel.sof"},
                      OPEN_CABLE_1,
                      {"close"},
                      OPEN_CABLE_1,
                      {"close"},
                      OPEN_CABLE_1}));
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{NO_UART});
    EXPECT_EQ(form->Board().LinkDescription(), "USB-Blaster [1], device 1, JTAG UART 0");
    EXPECT_EQ(BoardState("link"), "open");
}

TEST_F(HardwarePanelTest, AFreshBoardConnectsAtTheFirstAttemptWhileTheJtagServerCatchesUp) {
    // The JTAG server sees the new design's UART only at the third open after the configuration, and
    // lets go of each closed link a moment late.
    ScopedEnv late(standin::UART_LATE, "2");
    ScopedEnv linger(standin::LINGER, "2");
    ASSERT_TRUE(Connect());
    EXPECT_TRUE(notes.messages.empty());
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{NO_UART});
    EXPECT_EQ(BoardState("link"), "open");
}

TEST_F(HardwarePanelTest, WithoutACableBothEditionsSayWhyTheConfigurationFailed) {
    ScopedEnv noCable(standin::CABLE, "none");
    EXPECT_FALSE(Connect());
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"download SOPC file (QX7MB_ControlPanel.sof) fail!"});
    EXPECT_EQ(errors.Lines(),
              (std::vector<std::string>{"VELDARA_JTAG.DLL: no JTAG cable 1: plug the USB-Blaster in; check that the "
                                        "udev rule lets this user open the USB-Blaster, that jtagconfig lists the "
                                        "cable and that the board's power is on",
                                        "VELDARA_DOWNLOAD.DLL: quartus_pgm could not configure the FPGA on cable 1: " +
                                            std::string(standin::NO_CABLE_LINE)}));
    EXPECT_EQ(BoardState("configured"), "0");
}

TEST_F(HardwarePanelTest, ALinkThatBreaksDuringAPageExchangeIsExplainedAndDisconnects) {
    ASSERT_TRUE(Connect());
    board->Control("fault drop");
    ClickAt(form->Page(0), 343, 133); // lamp 0
    EXPECT_EQ(form->LabelConnectStatus->text(), "Disconnected");
    EXPECT_EQ(errors.Lines(), (std::vector<std::string>{NO_UART, "VELDARA_JTAG.DLL: the JTAG link on cable 1 broke "
                                                                 "while receiving (cable pulled out or board switched "
                                                                 "off?): connect again"}));
    EXPECT_EQ(quartus.Recorded().back(), std::vector<std::string>{"close"}) << "the broken link is closed";
}

} // namespace
