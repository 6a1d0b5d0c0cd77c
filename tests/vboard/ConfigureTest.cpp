// Configuring the virtual board through our VELDARA_DOWNLOAD.DLL, as the panel does.
#include "board/Board.h"
#include "config/Download.h"
#include "platform/Files.h"
#include "tests/support/FakeClock.h"
#include "tests/support/Recorders.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/VBoardProcess.h"
#include "vboard/Bitstream.h"

#include <fstream>
#include <gtest/gtest.h>

using testsupport::VBoardProcess;

namespace {

std::string ControlPanelBitstream() {
    return platform::ProgramFolder() + CONTROL_PANEL_BITSTREAM;
}

bool Download(const std::string& path) {
    TDownload download;
    return download.IsLoaded() && download.JtagDownload(path, 20000, 1, 0, 0, 0, 0);
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ConfigureTest, UnconfiguredBoardOpensButStaysSilentUntilConfigured) {
    testsupport::NotifyRecorder notes;
    VBoardProcess server(std::vector<std::string>{});
    EXPECT_EQ(server.Field("configured"), "0");
    TBoard board;
    std::string error;
    ASSERT_TRUE(board.Connect(error, 0));
    std::string name;
    {
        testsupport::FakeClock clock(0, 100);
        EXPECT_FALSE(board.QueryBoardName(name));
    }
    board.Disconnect();

    ASSERT_TRUE(Download(ControlPanelBitstream()));
    EXPECT_EQ(server.Field("configured"), "1");
    EXPECT_EQ(server.Field("design"), "QX7MB_ControlPanel");
    ASSERT_TRUE(board.Connect(error, 0));
    ASSERT_TRUE(board.QueryBoardName(name));
    EXPECT_EQ(name, "TZ8");
    EXPECT_TRUE(notes.messages.empty());
}

TEST(ConfigureTest, MissingCorruptAndForeignFilesAreRefused) {
    VBoardProcess server(std::vector<std::string>{});
    testsupport::TempFolder files;
    EXPECT_FALSE(Download(files / "missing.sof"));

    vboard::Bitstream bitstream;
    bitstream.design = "QX7MB_ControlPanel";
    bitstream.payload.assign(1000, 0x5A);
    std::vector<uint8_t> bytes = bitstream.Encode();
    bytes[100] ^= 1;
    WriteFile(files / "corrupt.sof", bytes);
    EXPECT_FALSE(Download(files / "corrupt.sof"));

    WriteFile(files / "foreign.sof", {0x00, 0x09, 0x0F, 0xF0, 0x0F, 0xF0, 0x0F, 0xF0});
    EXPECT_FALSE(Download(files / "foreign.sof"));
    EXPECT_EQ(server.Field("configured"), "0");
}

TEST(ConfigureTest, AnotherDesignConfiguresButItsLinkIsSilent) {
    VBoardProcess server(std::vector<std::string>{});
    testsupport::TempFolder files;
    vboard::Bitstream other;
    other.design = "Blinky";
    other.payload.assign(64, 1);
    WriteFile(files / "blinky.sof", other.Encode());
    ASSERT_TRUE(Download(files / "blinky.sof"));
    EXPECT_EQ(server.Field("design"), "Blinky");

    TBoard board;
    std::string error;
    ASSERT_TRUE(board.Connect(error, 0));
    testsupport::FakeClock clock(0, 100);
    EXPECT_FALSE(board.Ping());
}

TEST(ConfigureTest, NoBoardServerMeansNoConfiguration) {
    testsupport::TempFolder empty;
    testsupport::ScopedEnv env("QX7MB_VBOARD", empty.Path().c_str());
    EXPECT_FALSE(Download(ControlPanelBitstream()));
}

TEST(ConfigureTest, TheVersionQueryAnswersZero) {
    TDownload download;
    ASSERT_TRUE(download.IsLoaded());
    EXPECT_EQ(download.GetQuatusVersion(), 0.0);
}

TEST(ConfigureTest, ABoardWhoseLinkAnotherProgramHoldsIsLeftAsItIs) {
    VBoardProcess server;
    TBoard holder;
    std::string error;
    ASSERT_TRUE(holder.Connect(error, 0));
    ASSERT_TRUE(holder.SetLeds(0x155));
    testsupport::StderrCapture errors;
    EXPECT_FALSE(Download(ControlPanelBitstream()));
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{"VELDARA_DOWNLOAD.DLL: board 0 is in use: another program "
                                                       "holds its JTAG link; its FPGA is left as it is"});
    EXPECT_EQ(server.Field("leds"), "0x155") << "the design was not reset";
    EXPECT_TRUE(holder.Ping());
    holder.Disconnect();
    EXPECT_TRUE(Download(ControlPanelBitstream()));
    EXPECT_EQ(server.Field("leds"), "0x000");
}

TEST(ConfigureTest, ResetPowerCyclesTheBoard) {
    VBoardProcess server;
    TBoard board;
    std::string error;
    ASSERT_TRUE(board.Connect(error, 0));
    ASSERT_TRUE(board.SetLeds(0x3FF));
    const uint8_t byte = 0x77;
    ASSERT_TRUE(board.MemoryWrite(MEM_TYPE_SDRAM, 0x10, &byte, 1));
    server.Control("switch 3 on");
    server.Control("sd sdsc");
    ASSERT_EQ(server.Control("reset"), "ok reset");
    EXPECT_EQ(server.Field("configured"), "0");
    EXPECT_EQ(server.Field("leds"), "0x000");
    EXPECT_EQ(server.Field("switches"), "0x008");
    EXPECT_EQ(server.Field("sd"), "sdsc");
    EXPECT_EQ(server.Control("mem read 10 1"), "ok 00");
    {
        testsupport::FakeClock clock(0, 100);
        EXPECT_FALSE(board.Ping());
    }
    ASSERT_TRUE(Download(ControlPanelBitstream()));
    EXPECT_TRUE(board.Ping());
}

} // namespace
