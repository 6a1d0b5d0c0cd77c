// The hardware edition of VELDARA_DOWNLOAD.DLL, called through its exports, and the programmer runner
// behind it, against the stand-in quartus_pgm and a virtual board.
#include "board/DownloadApi.h"
#include "hardware/QuartusProgrammer.h"
#include "platform/DynamicLibrary.h"
#include "tests/hardware/StandinQuartus.h"
#include "tests/support/ProcessEnd.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/VBoardProcess.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>

using hardwaretest::Record;
using testsupport::ScopedEnv;
using testsupport::VBoardProcess;

namespace {

const std::vector<std::string> OPEN_CABLE_1 = {"open", "1", "-1", "-1", "QX7-MB"};
// The options of a freshly powered board: not configured.
const std::vector<std::string> FRESH;
const std::string BITSTREAM = std::string(QX7MB_BIN_DIR) + "/" + CONTROL_PANEL_BITSTREAM;

class DownloadEditionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.Load(std::string(QX7MB_HARDWARE_DIR) + "/" + DOWNLOAD_LIBRARY_NAME));
        download = reinterpret_cast<VELDARA_JtagDownload_t>(library.Symbol("VELDARA_JtagDownload"));
        version = reinterpret_cast<VELDARA_GetQuatusVersion_t>(library.Symbol("VELDARA_GetQuatusVersion"));
        ASSERT_TRUE(download && version);
    }

    uint8_t Download(const char* path) { return download(path, 20000, 1, 0, 0, 0, 0); }

    // The quartus_pgm runs recorded, without the opens of the JTAG UART that come before them.
    Record ProgrammerRuns() const {
        Record runs;
        for (const auto& line : quartus.Recorded()) {
            if (line.at(0) == "quartus_pgm")
                runs.push_back(line);
        }
        return runs;
    }

    hardwaretest::StandinQuartus quartus;
    testsupport::StderrCapture errors;
    platform::DynamicLibrary library;
    VELDARA_JtagDownload_t download = nullptr;
    VELDARA_GetQuatusVersion_t version = nullptr;
};

TEST_F(DownloadEditionTest, ExportsAllTwentyOneAndTheUncalledOnesFail) {
    int unused = 0;
#define QX7MB_EXPECT_CALLED(name) EXPECT_NE(library.Symbol(#name), nullptr);
#define QX7MB_EXPECT_UNUSED(name)                                                                                      \
    ++unused;                                                                                                          \
    ASSERT_NE(library.Symbol(#name), nullptr);                                                                         \
    EXPECT_EQ(reinterpret_cast<VELDARA_Unused_t>(library.Symbol(#name))(), 0) << #name;
    VELDARA_DOWNLOAD_EXPORTS(QX7MB_EXPECT_CALLED, QX7MB_EXPECT_UNUSED)
    EXPECT_EQ(unused, 19);
    EXPECT_TRUE(quartus.Recorded().empty()) << "none of them runs anything";
}

TEST_F(DownloadEditionTest, ConfiguresTheBoardWithQuartusPgmOnCableOne) {
    VBoardProcess board(FRESH);
    EXPECT_EQ(Download(BITSTREAM.c_str()), 1);
    EXPECT_EQ(board.Field("configured"), "1");
    // Whether another program holds the board is asked first, quietly; after the configuration, the
    // new design's JTAG UART is awaited.
    const std::vector<std::string> run = {"quartus_pgm", "-c", "1", "-m", "JTAG", "-o", "p;" + BITSTREAM};
    EXPECT_EQ(quartus.Recorded(), (Record{OPEN_CABLE_1, run, OPEN_CABLE_1, {"close"}}));
    EXPECT_TRUE(errors.Lines().empty());
    // Configured and free, the board is configured again: the link opened to ask is closed first.
    quartus.ClearRecord();
    EXPECT_EQ(Download(BITSTREAM.c_str()), 1);
    EXPECT_EQ(quartus.Recorded(), (Record{OPEN_CABLE_1, {"close"}, run, OPEN_CABLE_1, {"close"}}));
    EXPECT_TRUE(errors.Lines().empty());
}

TEST_F(DownloadEditionTest, TheCallersOwnLinkClosedMomentsAgoDoesNotKeepTheBoardUnconfigured) {
    // The panel closes its link just before it configures; the JTAG server lets go of it a moment later.
    ScopedEnv linger(standin::LINGER, "3");
    VBoardProcess board;
    ASSERT_TRUE(quartus.OpenLink());
    EXPECT_EQ(Download(BITSTREAM.c_str()), 1);
    EXPECT_EQ(ProgrammerRuns().size(), 1u);
    EXPECT_TRUE(errors.Lines().empty());
}

TEST_F(DownloadEditionTest, ABoardWhoseJtagUartAnotherProgramHoldsIsLeftAsItIs) {
    VBoardProcess board;
    ScopedEnv busy(standin::CABLE, "busy");
    EXPECT_EQ(Download(BITSTREAM.c_str()), 0);
    EXPECT_TRUE(ProgrammerRuns().empty());
    EXPECT_EQ(errors.Lines(),
              std::vector<std::string>{"VELDARA_DOWNLOAD.DLL: the board's JTAG UART on cable 1 is in use by "
                                       "nios2-terminal: its FPGA is left as it is; close that program and configure "
                                       "again"});
}

TEST_F(DownloadEditionTest, BoardNIsProgrammedOnCableNPlusOneAsItsLinkIsOpened) {
    VBoardProcess board(FRESH);
    // QX7MB_CABLE names board 0's cable, not board 2's. The stand-in programs whichever board the cable
    // names; the cable is what is checked here.
    ScopedEnv named("QX7MB_CABLE", "USB-Blaster [1-1.4]");
    EXPECT_EQ(download(BITSTREAM.c_str(), 20000, 1, 2, 0, 0, 0), 1);
    EXPECT_EQ(ProgrammerRuns(), (Record{{"quartus_pgm", "-c", "3", "-m", "JTAG", "-o", "p;" + BITSTREAM}}));
    quartus.ClearRecord();
    EXPECT_EQ(download(BITSTREAM.c_str(), 20000, 1, -1, 0, 0, 0), 0);
    ScopedEnv zeros("QX7MB_CABLE_2", "USB-Blaster [1-1.4]");
    EXPECT_EQ(download(BITSTREAM.c_str(), 20000, 1, 2, 0, 0, 0), 0);
    EXPECT_TRUE(quartus.Recorded().empty()) << "nothing opened or run without a board, or its own cable";
    ASSERT_EQ(errors.Lines().size(), 2u);
    EXPECT_EQ(errors.Lines()[0], "VELDARA_DOWNLOAD.DLL: no board has the device number -1");
    EXPECT_NE(errors.Lines()[1].find("QX7MB_CABLE_2"), std::string::npos) << errors.Lines()[1];
}

TEST_F(DownloadEditionTest, TheCableNamedByQX7MB_CABLEIsTheOneProgrammed) {
    ScopedEnv named("QX7MB_CABLE", "USB-Blaster [1-1.4]");
    VBoardProcess board(FRESH);
    EXPECT_EQ(Download(BITSTREAM.c_str()), 1);
    ASSERT_EQ(ProgrammerRuns().size(), 1u);
    EXPECT_EQ(ProgrammerRuns()[0][2], "USB-Blaster [1-1.4]");
}

TEST_F(DownloadEditionTest, TheDeviceOfTheChosenJtagUartIsTheOneProgrammed) {
    ScopedEnv chain(standin::UARTS, "1:0,2:0");
    ScopedEnv device("QX7MB_JTAG_DEVICE", "2");
    VBoardProcess board(FRESH);
    EXPECT_EQ(Download(BITSTREAM.c_str()), 1);
    EXPECT_EQ(board.Field("configured"), "1");
    EXPECT_EQ(ProgrammerRuns(), (Record{{"quartus_pgm", "-c", "1", "-m", "JTAG", "-o", "p;" + BITSTREAM + "@2"}}));
    EXPECT_EQ(quartus.Recorded().at(0), (std::vector<std::string>{"open", "1", "2", "-1", "QX7-MB"}));
}

TEST_F(DownloadEditionTest, AFailedRunQuotesTheErrorThatExplainsIt) {
    ScopedEnv fail(standin::PROGRAMMER, "fail");
    VBoardProcess board(FRESH);
    EXPECT_EQ(Download(BITSTREAM.c_str()), 0);
    EXPECT_EQ(board.Field("configured"), "0");
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{"VELDARA_DOWNLOAD.DLL: quartus_pgm could not configure the "
                                                       "FPGA on cable 1: " +
                                                       std::string(standin::NO_CABLE_LINE)});
}

TEST_F(DownloadEditionTest, ABitstreamQuartusPgmCannotTakeIsRefusedBeforeItRuns) {
    const std::string odd = quartus.folder / "design;1.sof";
    const std::string at = quartus.folder / "design@2.sof";
    std::filesystem::copy_file(BITSTREAM, odd);
    std::filesystem::copy_file(BITSTREAM, at);
    EXPECT_EQ(Download(odd.c_str()), 0);
    EXPECT_EQ(Download(at.c_str()), 0);
    EXPECT_EQ(Download((quartus.folder / "missing.sof").c_str()), 0);
    EXPECT_EQ(Download(nullptr), 0);
    EXPECT_TRUE(quartus.Recorded().empty());
    EXPECT_EQ(errors.Lines(),
              (std::vector<std::string>{
                  "VELDARA_DOWNLOAD.DLL: quartus_pgm cannot take a bitstream whose path has a ';': \"" + odd + "\"",
                  "VELDARA_DOWNLOAD.DLL: quartus_pgm cannot take a bitstream whose path has a '@': \"" + at + "\"",
                  "VELDARA_DOWNLOAD.DLL: no bitstream file at \"" + quartus.folder / "missing.sof" + "\"",
                  "VELDARA_DOWNLOAD.DLL: no bitstream file at \"\""}));
}

TEST_F(DownloadEditionTest, TheVersionIsTheOneQuartusPgmPrints) {
    {
        ScopedEnv printed(standin::VERSION, "20.1.1");
        EXPECT_DOUBLE_EQ(version(), 20.1);
    }
    EXPECT_DOUBLE_EQ(version(), 0.0);
    EXPECT_EQ(quartus.Recorded(), (Record{{"quartus_pgm", "--version"}, {"quartus_pgm", "--version"}}));
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{"VELDARA_DOWNLOAD.DLL: quartus_pgm --version printed no "
                                                       "version: Copyright (C) 2024 Stand-in. All rights reserved."});
}

TEST(QuartusProgrammerTest, ARunStillGoingAtTheLimitIsStoppedWithWhatItStarted) {
    hardwaretest::StandinQuartus quartus;
    ScopedEnv hang(standin::PROGRAMMER, "hang");
    testsupport::StderrCapture errors;
    hardware::QuartusProgrammer programmer(300);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(programmer.Configure(BITSTREAM, hardware::JtagTarget{"1"}));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(300));
    EXPECT_LT(took, std::chrono::seconds(5));

    const Record record = quartus.Recorded();
    ASSERT_EQ(record.size(), 2u);
    ASSERT_EQ(record[1].size(), 3u);
    EXPECT_EQ(record[1][0], "hanging");
    EXPECT_TRUE(testsupport::EndsSoon(std::stoi(record[1][1]))) << "quartus_pgm";
    EXPECT_TRUE(testsupport::EndsSoon(std::stoi(record[1][2]))) << "the process it started";
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{"VELDARA_DOWNLOAD.DLL: quartus_pgm did not finish within 0.3 s "
                                                       "and was stopped; its last line: Info: Started Programmer "
                                                       "operation"});
}

} // namespace
