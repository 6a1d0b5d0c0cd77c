// qx7mb doctor in a hardware program folder, run as a person runs it, against the Quartus stand-ins, a
// virtual board and a system of the test's own (QX7MB_SYSTEM_ROOT, HOME): which checks pass, what a
// failing one tells to do, and that doing it makes the check pass.
#include "cli/SystemDevices.h"
#include "platform/ProgramRun.h"
#include "tests/hardware/StandinQuartus.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/VBoardProcess.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sys/stat.h>

namespace fs = std::filesystem;
using testsupport::ScopedEnv;

namespace {

const std::vector<std::string> CHECKS = {"quartus", "libraries", "jtagd", "server",    "usb",
                                         "udev",    "cables",    "uart",  "bitstream", "firmware"};

void Write(const std::string& path, const std::string& text) {
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

// A USB-Blaster (09fb:6001) on bus 1 as device 4, its node with this mode.
void PlugBlaster(const std::string& system, mode_t mode) {
    const std::pair<const char*, const char*> attributes[] = {
        {"idVendor", "09fb"}, {"idProduct", "6001"}, {"busnum", "1"}, {"devnum", "4"}};
    for (const auto& [name, value] : attributes)
        Write(system + "/sys/bus/usb/devices/1-1.4/" + name, std::string(value) + "\n");
    Write(system + "/dev/bus/usb/001/004", "");
    chmod((system + "/dev/bus/usb/001/004").c_str(), mode);
}

class DoctorTest : public ::testing::Test {
protected:
    DoctorTest() {
        // The tool is copied: its program folder is the folder of its file with links resolved.
        fs::create_directories(program);
        fs::copy_file(std::string(QX7MB_HARDWARE_DIR) + "/qx7mb", program + "/qx7mb");
        for (const char* library : {"VELDARA_JTAG.DLL", "VELDARA_DOWNLOAD.DLL"})
            fs::create_symlink(std::string(QX7MB_HARDWARE_DIR) + "/" + library, program + "/" + library);
        // Quartus Prime Lite 20.1 in the user's home; an older, incomplete installation in /opt.
        for (const char* file : {"bin/quartus_pgm", "bin/jtagconfig", "bin/jtagd", "linux64/libjtag_atlantic.so",
                                 "linux64/libjtag_client.so"}) {
            fs::create_directories(fs::path(quartus + "/" + file).parent_path());
            fs::create_symlink(std::string(QX7MB_FAKE_QUARTUS_DIR) + "/" + file, quartus + "/" + file);
        }
        fs::create_directories(system + "/opt/altera/13.0sp1/quartus/bin");
        // The system's libudev, under its new name.
        fs::create_directories(system + "/usr/lib/x86_64-linux-gnu");
        fs::create_symlink(QX7MB_UDEV_LIBRARY, system + "/usr/lib/x86_64-linux-gnu/libudev.so.1");
    }

    // The doctor's exit code and its output (standard output and error as one).
    platform::ProgramOutcome Doctor(std::vector<std::string> options) {
        options.insert(options.begin(), "doctor");
        platform::ProgramOutcome outcome;
        std::string failure;
        EXPECT_TRUE(platform::RunProgram(program + "/qx7mb", options, 60000, outcome, failure)) << failure;
        return outcome;
    }

    // The checks of a --json run: their results in order, and their texts by name.
    std::vector<std::string> Results(const platform::ProgramOutcome& outcome,
                                     std::map<std::string, std::string>& texts) {
        const std::size_t start = outcome.output.find('{');
        const nlohmann::json report =
            nlohmann::json::parse(outcome.output.substr(start, outcome.output.find('\n', start) - start));
        std::vector<std::string> results;
        for (const auto& check : report["checks"]) {
            results.push_back(check["result"]);
            texts[check["check"]] = check["text"];
        }
        std::vector<std::string> ids;
        for (const auto& check : report["checks"])
            ids.push_back(check["check"]);
        EXPECT_EQ(ids, CHECKS);
        return results;
    }

    hardwaretest::StandinQuartus standins;
    testsupport::TempFolder root;
    std::string program = root / "program";
    std::string home = root / "home";
    std::string system = root / "system";
    std::string quartus = home + "/intelFPGA_lite/20.1/quartus";
    ScopedEnv named{"QUARTUS_ROOTDIR", nullptr};
    ScopedEnv homeEnv{"HOME", home.c_str()};
    ScopedEnv systemEnv{"QX7MB_SYSTEM_ROOT", system.c_str()};
    ScopedEnv version{standin::VERSION, "20.1.1"};
};

TEST_F(DoctorTest, FromAFreshMachineToAConnectedBoardByWhatTheDoctorSays) {
    testsupport::VBoardProcess board(std::vector<std::string>{});
    std::map<std::string, std::string> texts;
    platform::ProgramOutcome fresh = Doctor({"--json"});
    EXPECT_EQ(fresh.exitCode, 4);
    EXPECT_EQ(Results(fresh, texts),
              (std::vector<std::string>{"ok", "ok", "fail", "ok", "fail", "fail", "ok", "ok", "fail", "skip"}));
    EXPECT_NE(texts["quartus"].find(quartus + " (found without QUARTUS_ROOTDIR), version 20.1"), std::string::npos)
        << texts["quartus"];
    EXPECT_NE(texts["cables"].find("1) USB-Blaster [1-1.4] (020F30DD   EP4CE22)"), std::string::npos)
        << texts["cables"];
    EXPECT_NE(texts["uart"].find("no JTAG UART yet"), std::string::npos) << texts["uart"];
    EXPECT_NE(texts["firmware"].find("--configure"), std::string::npos) << texts["firmware"];
    EXPECT_NE(texts["udev"].find("09fb"), std::string::npos) << texts["udev"];
    EXPECT_NE(texts["bitstream"].find("no QX7MB_ControlPanel.sof in " + program), std::string::npos)
        << texts["bitstream"];
    for (const auto& call : standins.Recorded())
        EXPECT_NE(call.size() > 1 ? call[1] : "", "-c") << "nothing is configured unless asked";

    // What the jtagd line says to do, done: the old name of libudev beside Quartus's libraries.
    const std::string& jtagd = texts["jtagd"];
    ASSERT_NE(jtagd.find("libudev.so.0"), std::string::npos) << jtagd;
    const std::size_t link = jtagd.find("ln -s ");
    ASSERT_NE(link, std::string::npos) << jtagd;
    std::istringstream command(jtagd.substr(link + 6));
    std::string target, name;
    command >> target >> name;
    EXPECT_EQ(name, quartus + "/linux64/libudev.so.0");
    fs::create_symlink(target, name);
    // The cable plugged in, a udev rule, the maker's bitstream, a board running the control-panel design.
    PlugBlaster(system, 0666);
    Write(system + "/etc/udev/rules.d/51-usbblaster.rules",
          "# USB-Blaster\nSUBSYSTEM==\"usb\", ATTR{idVendor}==\"09FB\", ATTR{idProduct}==\"6001\", TAG+=\"uaccess\"\n");
    Write(program + "/QX7MB_ControlPanel.sof", std::string("\x00\x09\x0f\xf0", 4) + std::string(4096, '\x5a'));
    ASSERT_EQ(board.Control("configure " + std::string(QX7MB_BIN_DIR) + "/QX7MB_ControlPanel.sof"),
              "ok configured QX7MB_ControlPanel");
    texts.clear();
    platform::ProgramOutcome ready = Doctor({"--json"});
    EXPECT_EQ(ready.exitCode, 0) << ready.output;
    EXPECT_EQ(Results(ready, texts), std::vector<std::string>(CHECKS.size(), "ok"));
    EXPECT_NE(texts["usb"].find("09fb:6001 at /dev/bus/usb/001/004"), std::string::npos) << texts["usb"];
    EXPECT_NE(texts["udev"].find("/etc/udev/rules.d/51-usbblaster.rules"), std::string::npos) << texts["udev"];
    EXPECT_NE(texts["firmware"].find("board \"TZ8\" answers"), std::string::npos) << texts["firmware"];
    EXPECT_EQ(texts["firmware"].find("configured"), std::string::npos) << texts["firmware"];
}

TEST_F(DoctorTest, TheVirtualBoardsBitstreamIsRefusedAndConfiguringIsAskedFor) {
    testsupport::VBoardProcess board(std::vector<std::string>{});
    fs::copy_file(std::string(QX7MB_BIN_DIR) + "/QX7MB_ControlPanel.sof", program + "/QX7MB_ControlPanel.sof");
    const platform::ProgramOutcome outcome = Doctor({"--configure"});
    EXPECT_EQ(outcome.exitCode, 4);
    EXPECT_NE(outcome.output.find("\nfail  the bitstream: " + program +
                                  "/QX7MB_ControlPanel.sof is the virtual board's bitstream"),
              std::string::npos)
        << outcome.output;
    // The stand-in's board takes only our format, so here configuring works where a board's FPGA would refuse.
    EXPECT_NE(outcome.output.find("\nok    the firmware: board \"TZ8\" answers on USB-Blaster [1], device 1, "
                                  "JTAG UART 0, after its FPGA was configured\n"),
              std::string::npos)
        << outcome.output;
}

TEST_F(DoctorTest, QuartusRootdirWinsAndAJtagServerThatDoesNotAnswerIsNamed) {
    testsupport::VBoardProcess board;
    std::map<std::string, std::string> texts;
    {
        ScopedEnv older("QUARTUS_ROOTDIR", (system + "/opt/altera/13.0sp1/quartus").c_str());
        EXPECT_EQ(
            Results(Doctor({"--json"}), texts),
            (std::vector<std::string>{"fail", "skip", "skip", "skip", "fail", "fail", "skip", "skip", "fail", "skip"}));
        EXPECT_NE(texts["quartus"].find("no libjtag_atlantic.so in " + system + "/opt/altera/13.0sp1/quartus/linux64"),
                  std::string::npos)
            << texts["quartus"];
    }
    ScopedEnv noServer(standin::OPEN_ERROR, "-1");
    EXPECT_EQ(Results(Doctor({"--json"}), texts)[3], "fail");
    EXPECT_NE(texts["server"].find("run jtagconfig"), std::string::npos) << texts["server"];
    EXPECT_NE(texts["uart"].find("jtagd"), std::string::npos) << texts["uart"];
}

TEST(UsbBlasterTest, ADeviceNodeThisUserMayNotOpenIsToldWithItsAccess) {
    testsupport::TempFolder system;
    ScopedEnv systemEnv("QX7MB_SYSTEM_ROOT", system.Path().c_str());
    // Root's node as root sees it, opened by nobody; the user's own node without rights, otherwise.
    const bool root = testsupport::OrdinaryUser::IsRoot();
    PlugBlaster(system.Path(), root ? 0600 : 0);
    testsupport::OrdinaryUser::HandOver(system.Path());
    std::vector<cli::UsbBlaster> blasters;
    {
        testsupport::OrdinaryUser user;
        blasters = cli::FindUsbBlasters();
    }
    ASSERT_EQ(blasters.size(), 1u);
    EXPECT_EQ(blasters[0].node, "/dev/bus/usb/001/004");
    EXPECT_TRUE(blasters[0].nodeExists);
    EXPECT_FALSE(blasters[0].mayOpen) << blasters[0].access;
    EXPECT_EQ(blasters[0].access.substr(0, 10), root ? "-rw-------" : "----------");
}

} // namespace
