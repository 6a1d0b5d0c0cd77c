// How qx7mb connects: as the panel does, configuring a fresh board unless told not to; the configure
// command; several boards at once by device number; one link per board.
#include "board/Board.h"
#include "tests/cli/ToolRunner.h"
#include "tests/support/FastClock.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"
#include "vboard/Bitstream.h"

#include <fstream>
#include <gtest/gtest.h>

using clitest::ToolRun;
using testsupport::VBoardProcess;

namespace {

const std::vector<std::string> FRESH = {};

struct ConnectTest : ::testing::Test, clitest::ToolRunner {
    // A fresh board makes the first probe wait out its name query: the tick counter runs faster here.
    testsupport::FastClock clock{10};
};

TEST_F(ConnectTest, AFreshBoardIsConfiguredBeforeTheCommand) {
    VBoardProcess board(FRESH);
    ToolRun run = Call({"--json", "leds", "0x155"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Json()["configured"], true);
    EXPECT_EQ(board.Field("configured"), "1");
    EXPECT_EQ(board.Field("leds"), "0x155");
    // The panel's warning, as one line: no Quartus is recorded on this machine.
    EXPECT_EQ(run.err, "qx7mb: Please make sure Quartus has been installed properly!\n");
    // A board whose firmware answers is not configured again.
    EXPECT_EQ(Call({"--json", "leds", "1"}).Json()["configured"], false);
}

TEST_F(ConnectTest, NoConfigureLeavesAFreshBoardAlone) {
    VBoardProcess board(FRESH);
    ToolRun run = Call({"--no-configure", "leds", "1"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "qx7mb: Failed to query board name.\n");
    EXPECT_EQ(board.Field("configured"), "0");
    EXPECT_EQ(board.Field("link"), "closed");
}

TEST_F(ConnectTest, WithoutABoardEveryStepSaysWhyItFailed) {
    testsupport::TempFolder nowhere;
    testsupport::ScopedEnv env("QX7MB_VBOARD", nowhere.Path().c_str());
    ToolRun run = Call({"--json", "inputs"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.Json()["error"], "Fail to connect FPGA borad. Configure FPGA fail: download SOPC file "
                                   "(QX7MB_ControlPanel.sof) fail!");
}

TEST_F(ConnectTest, ConfigureLoadsTheBitstreamAndSaysWhetherTheFirmwareAnswers) {
    VBoardProcess board(FRESH);
    ToolRun run = Call({"--json", "configure"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Json()["firmware"], "TZ8");
    EXPECT_EQ(board.Field("design"), "QX7MB_ControlPanel");

    testsupport::TempFolder files;
    vboard::Bitstream other;
    other.design = "Blinky";
    other.payload.assign(64, 1);
    const std::vector<uint8_t> bytes = other.Encode();
    std::ofstream(files / "blinky.sof", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    run = Call({"--json", "configure", files / "blinky.sof"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_TRUE(run.Json()["firmware"].is_null());
    EXPECT_EQ(board.Field("design"), "Blinky");

    std::ofstream(files / "junk.sof") << "not a bitstream";
    run = Call({"configure", files / "junk.sof"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err.substr(run.err.rfind("qx7mb: ")), "qx7mb: download SOPC file (junk.sof) fail!\n");
}

TEST_F(ConnectTest, TwoBoardsAtOnceEachByItsDeviceNumber) {
    VBoardProcess board0;
    VBoardProcess board1(1, FRESH);
    ToolRun run = Call({"--device", "1", "--json", "hex", "00000F"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Json()["device"], 1);
    EXPECT_EQ(run.Json()["configured"], true);
    EXPECT_EQ(board1.Field("hex"), "0x00000F");
    EXPECT_EQ(board0.Field("hex"), "0x000000");

    // While a link holds board 0, board 1 is free; the option may also follow the command.
    TBoard holder;
    std::string error;
    ASSERT_TRUE(holder.Connect(error, 0));
    EXPECT_EQ(Call({"leds", "0x3", "--device", "1"}).code, 0);
    EXPECT_EQ(board1.Field("leds"), "0x003");
    EXPECT_EQ(board0.Field("leds"), "0x000");
}

TEST_F(ConnectTest, ASecondLinkIsRefusedWhileOneIsOpen) {
    VBoardProcess board;
    TBoard holder;
    std::string error;
    ASSERT_TRUE(holder.Connect(error, 0));
    ASSERT_TRUE(holder.SetLeds(0x2AA));
    testing::internal::CaptureStderr();
    ToolRun run = Call({"--no-configure", "leds", "1"});
    std::string library = testing::internal::GetCapturedStderr();
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.err, "qx7mb: Fail to connect FPGA borad.\n");
    EXPECT_NE(library.find("board 0 is in use"), std::string::npos) << library;
    EXPECT_EQ(board.Field("leds"), "0x2AA");
    // Nor is the held board configured afresh under its holder.
    testing::internal::CaptureStderr();
    run = Call({"leds", "1"});
    library = testing::internal::GetCapturedStderr();
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("download SOPC file (QX7MB_ControlPanel.sof) fail!"), std::string::npos) << run.err;
    EXPECT_NE(library.find("its FPGA is left as it is"), std::string::npos) << library;
    EXPECT_EQ(board.Field("leds"), "0x2AA");
    // The holder goes on undisturbed; once it lets go, the tool gets the board.
    EXPECT_TRUE(holder.Ping());
    holder.Disconnect();
    EXPECT_EQ(Call({"--no-configure", "leds", "1"}).code, 0);
    EXPECT_EQ(board.Field("leds"), "0x001");
}

} // namespace
