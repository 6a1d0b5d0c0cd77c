// The board commands of qx7mb against a headless virtual board: each one's effect read back through
// the control socket, its text and its JSON.
#include "cli/ExitCodes.h"
#include "tests/cli/ToolRunner.h"
#include "tests/support/FakeJtagLink.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

using clitest::ToolRun;
using testsupport::VBoardProcess;

namespace {

struct CommandsTest : ::testing::Test, clitest::ToolRunner {
    VBoardProcess board;
};

TEST_F(CommandsTest, LedsDigitsAndPatternsReachTheBoard) {
    ToolRun run = Call({"leds", "0x201"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "LEDs 0x201\n");
    EXPECT_EQ(board.Field("leds"), "0x201");
    EXPECT_EQ(Call({"leds", "1023"}).code, 0);
    EXPECT_EQ(board.Field("leds"), "0x3FF");

    run = Call({"hex", "0123ab"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "HEX5..HEX0 0123AB\n");
    EXPECT_EQ(board.Field("hex"), "0x0123AB");

    EXPECT_EQ(Call({"vga", "blue"}).code, 0);
    EXPECT_EQ(board.Field("vga"), "3");
    run = Call({"vga", "8"});
    EXPECT_EQ(run.out, "Set VGA-OUT Success: 8 Blue Scale\n");
    EXPECT_EQ(board.Field("vga"), "8");
    EXPECT_EQ(Call({"vga", "COLOR SCALE"}).code, 0);
    EXPECT_EQ(board.Field("vga"), "0");
    // Every command leaves the link closed behind it.
    EXPECT_EQ(board.Field("link"), "closed");
}

TEST_F(CommandsTest, JsonIsOneObjectWithTheResults) {
    nlohmann::json json = Call({"--json", "leds", "5"}).Json();
    EXPECT_EQ(json, nlohmann::json::parse(R"({"ok":true,"command":"leds","device":0,"configured":false,"leds":5})"));

    board.Control("switch 3 on");
    board.Control("switch 9 on");
    board.Control("key 0 down");
    ToolRun run = Call({"inputs", "--json"});
    ASSERT_EQ(run.code, 0);
    json = run.Json();
    EXPECT_EQ(json["keys"], 1);
    EXPECT_EQ(json["switches"], 0x208);
    EXPECT_EQ(json["keys_down"], nlohmann::json::parse("[0]"));
    EXPECT_EQ(json["switches_on"], nlohmann::json::parse("[3, 9]"));
    EXPECT_EQ(Call({"inputs"}).out, "keys 0x1 (KEY0 down)  switches 0x208 (SW3 SW9 on)\n");

    json = Call({"--json", "sd"}).Json();
    EXPECT_EQ(json["card"], true);
    EXPECT_EQ(json["file_system"], "FAT32");
    ASSERT_EQ(json["cid"].size(), 6u);
    EXPECT_EQ(json["cid"][2], "-Product Name:SD08G");
    EXPECT_EQ(json["csd"].back(), "-Memory Capacity:8192MB");

    json = Call({"--json", "info"}).Json();
    EXPECT_EQ(json["board"], "TZ8");
    EXPECT_EQ(json["link"], "QX7-MB virtual board (JTAG over Unix socket)");
    EXPECT_EQ(json["quartus"]["registry"], 0.0);
}

TEST_F(CommandsTest, TheSdCardPagesLinesAndItsWarningWithoutACard) {
    ToolRun run = Call({"sd"});
    EXPECT_EQ(run.out.rfind("Card Identification\n-Manufacturer ID:", 0), 0u) << run.out;
    EXPECT_NE(run.out.find("\nCard Specific Data\n-CSD Version 2.0\n"), std::string::npos);
    EXPECT_NE(run.out.find("\nFile System:\nFAT32\n"), std::string::npos);

    board.Control("sd none");
    run = Call({"--json", "sd"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.Json()["card"], false);
    EXPECT_EQ(run.err, "qx7mb: Failed to access the SDCARD. Please make sure a SDCARD is pluged into the Cyclone V "
                       "Vantrel Board.\n");
}

TEST_F(CommandsTest, ARefusedVgaProbeSendsNoPatternAndFails) {
    board.Control("fault vgaprobe on");
    ToolRun run = Call({"--json", "vga", "Red"});
    EXPECT_EQ(run.code, 1);
    EXPECT_EQ(run.Json()["ok"], false);
    EXPECT_FALSE(run.Json()["error"].get<std::string>().empty());
    EXPECT_EQ(board.Field("vga"), "-");
}

TEST_F(CommandsTest, WatchReportsEachChangeUntilItsCount) {
    int pauses = 0;
    sleep = [&](uint32_t ms) {
        EXPECT_EQ(ms, 100u);
        // Between polls: one change, a poll that finds nothing new, another change.
        if (++pauses == 1)
            board.Control("switch 3 on");
        if (pauses == 3)
            board.Control("key 2 down");
    };
    ToolRun run = Call({"--json", "watch", "--count", "2"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(pauses, 3);
    const nlohmann::json json = run.Json();
    EXPECT_EQ(json["initial"]["switches"], 0);
    ASSERT_EQ(json["changes"].size(), 2u);
    EXPECT_EQ(json["changes"][0]["switches"], 8);
    EXPECT_EQ(json["changes"][0]["keys"], 0);
    EXPECT_EQ(json["changes"][1]["keys"], 4);
    EXPECT_EQ(json["changes"][1]["switches"], 8);
}

TEST_F(CommandsTest, CtrlCEndsAWatch) {
    clitest::InterruptionAfter ctrlC(2);
    interruption = &ctrlC;
    sleep = [&](uint32_t) { board.Control("switch 0 on"); };
    ToolRun run = Call({"watch"});
    EXPECT_EQ(run.code, 0) << run.err;
    // The state at the start, then the one change seen before Ctrl-C, each after its time.
    const std::string change = " s  keys 0x0 (none down)  switches 0x001 (SW0 on)\n";
    const std::size_t end = run.out.find('\n') + 1;
    EXPECT_EQ(run.out.substr(0, end), "  0.0 s  keys 0x0 (none down)  switches 0x000 (none on)\n");
    ASSERT_EQ(run.out.size(), end + 5 + change.size()) << run.out;
    EXPECT_EQ(run.out.substr(end + 5), change);
    clitest::InterruptionAfter early(1);
    interruption = &early;
    run = Call({"watch", "--count", "3"});
    EXPECT_EQ(run.code, 130);
    EXPECT_EQ(run.err, "qx7mb: interrupted after 0 of 3 changes\n");
}

TEST(ToolUsageTest, BadInputIsRefusedWithNothingSent) {
    testsupport::TempFolder files;
    std::ofstream(files / "bad.hex") << "00AB\n";
    std::ofstream(files / "big.bin") << std::string(32, 'x');
    const std::vector<std::vector<std::string>> refused = {
        {},
        {"blink"},
        {"leds"},
        {"leds", "0x400"},
        {"leds", "12x"},
        {"leds", "-1"},
        {"hex", "12345"},
        {"hex", "12345G"},
        {"hex", "0x1234"},
        {"vga", "9"},
        {"vga", "purple"},
        {"--device", "-1", "leds", "1"},
        {"watch", "--count", "0"},
        {"--no-configure", "configure"},
        {"configure", files / "missing.sof"},
        {"mem", "read", "0", "0", files / "out.bin"},
        {"mem", "read", "64M", "1", files / "out.bin"},
        {"mem", "read", "0x3FFFFFF", "2", files / "out.bin"},
        {"mem", "read", "1", "18446744073709551615", files / "out.bin"},
        {"mem", "read", "0", "1", files / "no/such/folder.bin"},
        {"mem", "read", "0", "1", files.Path()},
        {"mem", "write", "0", files / "missing.bin"},
        {"mem", "write", "0", files / "bad.hex"},
        {"mem", "write", "0x3FFFFF0", files / "big.bin"},
        {"mem", "write", "1K", files / "big.bin", "--verify", "extra"},
        {"mem", "verify", "0x4000000", files / "big.bin"},
    };
    testsupport::FakeJtagLink link;
    clitest::ToolRunner runner;
    runner.jtagApi = testsupport::FakeJtagLink::Api();
    for (const auto& args : refused) {
        const ToolRun run = runner.Call(args);
        const std::string call = ::testing::PrintToString(args);
        EXPECT_EQ(run.code, 2) << call;
        EXPECT_EQ(run.err.rfind("qx7mb: ", 0), 0u) << call;
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << call << run.err;
    }
    // A script that asked for JSON gets it for a command line it got wrong too.
    const ToolRun json = runner.Call({"--json", "leds"});
    EXPECT_EQ(json.code, 2);
    EXPECT_EQ(json.Json()["ok"], false);
    EXPECT_EQ(link.openCalls, 0);
    EXPECT_TRUE(link.written.empty());
}

TEST(ToolUsageTest, HelpDescribesTheToolAndEachCommand) {
    clitest::ToolRunner runner;
    ToolRun run = runner.Call({"--help"});
    EXPECT_EQ(run.code, 0);
    // Each command and global option on a line of its own, and each exit code with its meaning.
    for (const char* name : {"info", "configure", "leds", "hex", "inputs", "watch", "sd", "vga", "mem", "selftest",
                             "--device N", "--json", "--no-configure"})
        EXPECT_NE(run.out.find(std::string("\n  ") + name + " "), std::string::npos) << name;
    const std::size_t codes = run.out.find("Exit codes: ");
    ASSERT_NE(codes, std::string::npos);
    std::string paragraph = run.out.substr(codes, run.out.find("\n\n", codes) - codes);
    std::replace(paragraph.begin(), paragraph.end(), '\n', ' ');
    for (const int code : {cli::EXIT_OK, cli::EXIT_BOARD, cli::EXIT_USAGE, cli::EXIT_DIFFERS, cli::EXIT_UNHEALTHY,
                           cli::EXIT_INTERRUPTED})
        EXPECT_NE(paragraph.find(" " + std::to_string(code) + " "), std::string::npos) << code << " in " << paragraph;
    const std::vector<std::vector<std::string>> commands = {
        {"info"}, {"configure"}, {"leds"}, {"hex"},         {"inputs"},       {"watch"},
        {"sd"},   {"vga"},       {"mem"},  {"mem", "read"}, {"mem", "write"}, {"mem", "verify"}};
    for (auto args : commands) {
        std::string usage = "Usage: qx7mb";
        for (const auto& word : args)
            usage += " " + word;
        args.push_back("--help");
        run = runner.Call(args);
        EXPECT_EQ(run.code, 0) << usage;
        EXPECT_NE(run.out.find(usage), std::string::npos) << run.out;
        // The options every command takes, and the exit codes, are in each command's help.
        EXPECT_NE(run.out.find("--device N"), std::string::npos) << usage;
        EXPECT_NE(run.out.find("Exit codes"), std::string::npos) << usage;
    }
}

} // namespace
