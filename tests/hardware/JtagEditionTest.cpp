// The hardware edition of VELDARA_JTAG.DLL, called through its exports as the panel calls it, against
// the relay stand-in of libjtag_atlantic.so and a virtual board.
#include "board/JtagApi.h"
#include "hardware/AtlanticLink.h"
#include "hardware/JtagAtlanticSymbols.h"
#include "platform/DynamicLibrary.h"
#include "tests/hardware/StandinQuartus.h"
#include "tests/support/FakeClock.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/VBoardProcess.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>

using hardwaretest::Record;
using testsupport::ScopedEnv;
using testsupport::VBoardProcess;

namespace {

const uint8_t PING[] = {0xAA, 0x01, 0x00, 0x00, 0x01, 0x55};
const std::string PING_REPLY("\xAA\x01\x01\x00\x00\x02\x55", 7);
const std::vector<std::string> OPEN_CABLE_1 = {"open", "1", "-1", "-1", "QX7-MB"};

class JtagEditionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.Load(std::string(QX7MB_HARDWARE_DIR) + "/" + JTAG_LIBRARY_NAME));
        ASSERT_TRUE(LookUpJtagApi(library, api));
    }

    // Reads until count bytes came or the attempts run out.
    std::string ReadUpTo(uint32_t handle, uint32_t count, uint32_t perCall = 64) {
        std::string got;
        for (int attempt = 0; attempt < 20000 && got.size() < count; ++attempt) {
            char buffer[64];
            const uint32_t wanted = std::min<uint32_t>(perCall, count - static_cast<uint32_t>(got.size()));
            const int32_t n = api.read(handle, reinterpret_cast<uint8_t*>(buffer), wanted);
            EXPECT_LE(n, static_cast<int32_t>(wanted));
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    std::string InfoText(uint32_t handle) {
        uint8_t info[JTAG_INFO_SIZE + 8];
        std::memset(info, 0xCC, sizeof info);
        if (api.getInfo(handle, info) == 0)
            return "(none)";
        EXPECT_EQ(info[JTAG_INFO_SIZE], 0xCC) << "nothing is written past the record";
        const char* text = reinterpret_cast<const char*>(info + JTAG_INFO_TEXT_OFFSET);
        return std::string(text, strnlen(text, JTAG_INFO_SIZE - JTAG_INFO_TEXT_OFFSET));
    }

    hardwaretest::StandinQuartus quartus;
    testsupport::StderrCapture errors;
    platform::DynamicLibrary library;
    TJtagApi api;
};

TEST_F(JtagEditionTest, BoardZeroIsTheOnlyJtagUartOnCableOne) {
    VBoardProcess board;
    const uint32_t handle = api.open(0, "");
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(quartus.Recorded(), Record{OPEN_CABLE_1});
    EXPECT_EQ(board.Field("link"), "open");
    EXPECT_EQ(InfoText(handle), "USB-Blaster [1], device 1, JTAG UART 0");

    ASSERT_NE(api.write(handle, PING, sizeof PING), 0);
    EXPECT_EQ(ReadUpTo(handle, 7), PING_REPLY);
    api.close(handle);
    EXPECT_EQ(quartus.Recorded().back(), std::vector<std::string>{"close"});
    EXPECT_EQ(api.write(handle, PING, sizeof PING), 0) << "a closed handle is refused";
    EXPECT_TRUE(errors.Lines().empty());
}

TEST_F(JtagEditionTest, BoardNIsOnCableNPlusOneUnlessItsOwnSettingNamesAnother) {
    VBoardProcess board;
    // QX7MB_CABLE is board 0's cable alone; another board keeps its own.
    ScopedEnv named("QX7MB_CABLE", "USB-Blaster [1-1.4]");
    const uint32_t handle = api.open(0, "");
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(InfoText(handle), "USB-Blaster [1-1.4], device 1, JTAG UART 0");
    api.close(handle);
    const uint32_t third = api.open(2, "");
    ASSERT_NE(third, 0u);
    api.close(third);
    {
        ScopedEnv own("QX7MB_CABLE_2", "USB-Blaster [1-1.5]");
        const uint32_t handle = api.open(2, "");
        ASSERT_NE(handle, 0u);
        api.close(handle);
    }
    EXPECT_EQ(api.open(-1, ""), 0u);
    EXPECT_EQ(quartus.Recorded(), (Record{{"open", "USB-Blaster [1-1.4]", "-1", "-1", "QX7-MB"},
                                          {"close"},
                                          {"open", "3", "-1", "-1", "QX7-MB"},
                                          {"close"},
                                          {"open", "USB-Blaster [1-1.5]", "-1", "-1", "QX7-MB"},
                                          {"close"}}));
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{"VELDARA_JTAG.DLL: no board has the device number -1"});
}

TEST_F(JtagEditionTest, ABoardIsNeverSentToTheCableOfAnother) {
    VBoardProcess board;
    // Cable 2 is board 1's by its number; named for board 0 it is no longer board 1's to take.
    ScopedEnv named("QX7MB_CABLE", "2");
    EXPECT_EQ(api.open(1, ""), 0u);
    ScopedEnv sameAsZero("QX7MB_CABLE_3", "2");
    EXPECT_EQ(api.open(3, ""), 0u);
    EXPECT_TRUE(quartus.Recorded().empty()) << "nothing is opened";
    const std::vector<std::string> lines = errors.Lines();
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& [line, setting] : {std::pair{lines[0], "QX7MB_CABLE_1"}, std::pair{lines[1], "QX7MB_CABLE_3"}}) {
        EXPECT_NE(line.find("board 0"), std::string::npos) << line;
        EXPECT_NE(line.find(setting), std::string::npos) << line;
    }
}

TEST_F(JtagEditionTest, TheJtagUartOfAChainWithSeveralIsPickedByDeviceAndInstance) {
    ScopedEnv chain(standin::UARTS, "1:0,2:0,2:1");
    VBoardProcess board;
    EXPECT_EQ(api.open(0, ""), 0u) << "the library cannot choose";
    ScopedEnv device("QX7MB_JTAG_DEVICE", "2");
    EXPECT_EQ(api.open(0, ""), 0u) << "nor within the device";
    ScopedEnv instance("QX7MB_JTAG_INSTANCE", "1");
    const uint32_t handle = api.open(0, "");
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(InfoText(handle), "USB-Blaster [1], device 2, JTAG UART 1");
    api.close(handle);
    EXPECT_EQ(quartus.Recorded(), (Record{{"open", "1", "-1", "-1", "QX7-MB"},
                                          {"open", "1", "2", "-1", "QX7-MB"},
                                          {"open", "1", "2", "1", "QX7-MB"},
                                          {"close"}}));
    const std::vector<std::string> lines = errors.Lines();
    ASSERT_EQ(lines.size(), 2u);
    for (const std::string& line : lines)
        EXPECT_NE(line.find("QX7MB_JTAG_INSTANCE"), std::string::npos) << line;

    ScopedEnv wrong("QX7MB_JTAG_DEVICE", "first");
    EXPECT_EQ(api.open(0, ""), 0u);
    EXPECT_EQ(quartus.Recorded().size(), 4u) << "a setting that is no number opens nothing";
    ASSERT_EQ(errors.Lines().size(), 3u);
    EXPECT_NE(errors.Lines()[2].find("QX7MB_JTAG_DEVICE=first"), std::string::npos) << errors.Lines()[2];
}

TEST_F(JtagEditionTest, ALinkTheJtagServerStillHoldsForItsCloserIsWaitedOut) {
    ScopedEnv linger(standin::LINGER, "3");
    VBoardProcess board;
    const uint32_t first = api.open(0, "");
    ASSERT_NE(first, 0u);
    api.close(first);
    const uint32_t again = api.open(0, "");
    ASSERT_NE(again, 0u);
    ASSERT_NE(api.write(again, PING, sizeof PING), 0);
    EXPECT_EQ(ReadUpTo(again, 7), PING_REPLY);
    api.close(again);
    EXPECT_TRUE(errors.Lines().empty());
}

TEST_F(JtagEditionTest, AWriteToABoardThatReadsNothingFailsAtTheStallLimit) {
    ScopedEnv stall(standin::STALL, "1");
    VBoardProcess board;
    hardware::QuartusInstall install;
    hardware::JtagAtlanticLibrary atlantic;
    std::string problem;
    ASSERT_TRUE(install.Find(hardware::QuartusInstall::JTAG_LIBRARIES, problem) && atlantic.Load(install, problem)) << problem;
    std::unique_ptr<hardware::AtlanticLink> link = hardware::AtlanticLink::Open(atlantic, hardware::JtagTarget{"1"});
    ASSERT_TRUE(link);
    testsupport::FakeClock clock(0, 100);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(link->Write(PING, sizeof PING));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    ASSERT_EQ(errors.Lines().size(), 1u);
    EXPECT_NE(errors.Lines()[0].find("takes no more bytes"), std::string::npos) << errors.Lines()[0];
}

TEST_F(JtagEditionTest, AReadReturnsWhatIsThereAndComesBackSoonWithNothing) {
    VBoardProcess board;
    const uint32_t handle = api.open(0, "");
    ASSERT_NE(handle, 0u);
    // Two frames in one write; their replies are read as they come, in small pieces.
    const uint8_t two[] = {0xAA, 0x01, 0x00, 0x00, 0x01, 0x55, 0xAA, 0x01, 0x00, 0x00, 0x01, 0x55};
    ASSERT_NE(api.write(handle, two, sizeof two), 0);
    EXPECT_EQ(ReadUpTo(handle, 14, 5), PING_REPLY + PING_REPLY);

    uint8_t buffer[100];
    EXPECT_EQ(api.read(handle, buffer, 0), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(api.read(handle, buffer, sizeof buffer), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    api.close(handle);
}

TEST_F(JtagEditionTest, ReadsOfOneByteAndWritesTakenInPiecesStillCarryWholeFrames) {
    ScopedEnv bytewise(standin::BYTEWISE, "1");
    ScopedEnv take(standin::WRITE_TAKE, "4");
    VBoardProcess board;
    const uint32_t handle = api.open(0, "");
    ASSERT_NE(handle, 0u);
    // A ping and a read of the keys and switches: 12 bytes taken four at a time.
    const uint8_t two[] = {0xAA, 0x01, 0x00, 0x00, 0x01, 0x55, 0xAA, 0x06, 0x00, 0x00, 0x06, 0x55};
    ASSERT_NE(api.write(handle, two, sizeof two), 0);
    const std::string got = ReadUpTo(handle, 7 + 19);
    ASSERT_EQ(got.size(), 26u);
    EXPECT_EQ(got.substr(0, 7), PING_REPLY);
    EXPECT_EQ(static_cast<uint8_t>(got[8]), 0x06);
    api.close(handle);
}

TEST_F(JtagEditionTest, ABrokenLinkIsReportedOnceAndFailsEveryLaterCall) {
    // The ping goes out and its reply comes back, 13 bytes; then the link breaks.
    ScopedEnv breakAfter(standin::BREAK_AFTER, "13");
    VBoardProcess board;
    const uint32_t handle = api.open(0, "");
    ASSERT_NE(handle, 0u);
    ASSERT_NE(api.write(handle, PING, sizeof PING), 0);
    EXPECT_EQ(ReadUpTo(handle, 7), PING_REPLY);
    EXPECT_EQ(api.write(handle, PING, sizeof PING), 0);
    uint8_t buffer[8];
    EXPECT_EQ(api.read(handle, buffer, sizeof buffer), 0);
    EXPECT_EQ(InfoText(handle), "(none)");
    EXPECT_EQ(api.write(handle, PING, sizeof PING), 0);
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{"VELDARA_JTAG.DLL: the JTAG link on cable 1 broke while sending "
                                                       "(cable pulled out or board switched off?): connect again"});
    api.close(handle);
    EXPECT_EQ(quartus.Recorded().back(), std::vector<std::string>{"close"}) << "a broken link is still closed";
}

// Each code the library refuses an open with, and what the one line it gives must tell the user.
struct OpenFailure {
    const char* code;
    std::vector<std::string> told;
};

class JtagOpenFailureTest : public JtagEditionTest, public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(JtagOpenFailureTest, IsExplainedInOneLineWithWhatToDo) {
    ScopedEnv code(standin::OPEN_ERROR, GetParam().code);
    VBoardProcess board;
    EXPECT_EQ(api.open(0, ""), 0u);
    EXPECT_EQ(quartus.Recorded(), Record{OPEN_CABLE_1});
    ASSERT_EQ(errors.Lines().size(), 1u);
    const std::string& line = errors.Lines()[0];
    EXPECT_EQ(line.rfind("VELDARA_JTAG.DLL: ", 0), 0u) << line;
    for (const std::string& told : GetParam().told)
        EXPECT_NE(line.find(told), std::string::npos) << told << " in: " << line;
}

const std::vector<std::string> CABLE_CHECKS = {"cable 1", "udev", "jtagconfig", "power"};
const std::vector<std::string> UART_SETTINGS = {"QX7MB_JTAG_DEVICE", "QX7MB_JTAG_INSTANCE"};

INSTANTIATE_TEST_SUITE_P(
    Codes, JtagOpenFailureTest,
    ::testing::Values(OpenFailure{"-1", {"jtagd", "jtagconfig"}}, OpenFailure{"-2", {"QX7MB_CABLE", "jtagconfig"}},
                      OpenFailure{"-3", CABLE_CHECKS}, OpenFailure{"-4", CABLE_CHECKS}, OpenFailure{"-5", CABLE_CHECKS},
                      OpenFailure{"-6:System Console", {"System Console", "cable 1"}}, OpenFailure{"-7", UART_SETTINGS},
                      OpenFailure{"-8", UART_SETTINGS}, OpenFailure{"-9", {"libjtag_atlantic", "Quartus"}},
                      OpenFailure{"-42", {"-42", "cable 1"}}));

// The names the compiler gives the header's declarations are those of Quartus's published library.
TEST(JtagAtlanticSymbolsTest, AreTheMangledNamesOfThePublishedPrototypes) {
    EXPECT_STREQ(JTAGATLANTIC_SYMBOL_jtagatlantic_open, "_Z17jtagatlantic_openPKciiS0_");
    EXPECT_STREQ(JTAGATLANTIC_SYMBOL_jtagatlantic_get_error, "_Z22jtagatlantic_get_errorPPKc");
    EXPECT_STREQ(JTAGATLANTIC_SYMBOL_jtagatlantic_close, "_Z18jtagatlantic_closeP12JTAGATLANTIC");
    EXPECT_STREQ(JTAGATLANTIC_SYMBOL_jtagatlantic_write, "_Z18jtagatlantic_writeP12JTAGATLANTICPKcj");
    EXPECT_STREQ(JTAGATLANTIC_SYMBOL_jtagatlantic_flush, "_Z18jtagatlantic_flushP12JTAGATLANTIC");
    EXPECT_STREQ(JTAGATLANTIC_SYMBOL_jtagatlantic_read, "_Z17jtagatlantic_readP12JTAGATLANTICPcj");
    EXPECT_STREQ(JTAGATLANTIC_SYMBOL_jtagatlantic_bytes_available, "_Z28jtagatlantic_bytes_availableP12JTAGATLANTIC");
    EXPECT_STREQ(JTAGATLANTIC_SYMBOL_jtagatlantic_get_info, "_Z21jtagatlantic_get_infoP12JTAGATLANTICPPKcPiS4_");
}

} // namespace
