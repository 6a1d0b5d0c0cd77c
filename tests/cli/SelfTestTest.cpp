// qx7mb selftest against headless virtual boards: a healthy board passes, and each broken SDRAM line
// the board can be given is found and named; the interactive key and switch test is driven through
// standard input and the control socket.
#include "cli/SdramCheck.h"
#include "platform/Clock.h"
#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "tests/cli/ToolRunner.h"
#include "tests/support/VBoardProcess.h"

#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <map>
#include <sstream>
#include <unistd.h>

using clitest::ToolRun;
using testsupport::VBoardProcess;

namespace {

struct SelfTestTest : ::testing::Test, clitest::ToolRunner {
    nlohmann::json Step(const nlohmann::json& run, const std::string& id) {
        for (const auto& step : run["steps"]) {
            if (step["step"] == id)
                return step;
        }
        ADD_FAILURE() << "no step " << id;
        return {};
    }
    // The SDRAM step of a quick test with these control lines given first.
    nlohmann::json SdramWith(const std::vector<std::string>& lines, int& code) {
        board.Control("fault sdram off");
        for (const std::string& line : lines)
            EXPECT_EQ(board.Control(line).rfind("ok", 0), 0u) << line;
        const ToolRun run = Call({"--json", "selftest", "--quick"});
        code = run.code;
        return Step(run.Json(), "sdram");
    }

    VBoardProcess board;
};

TEST_F(SelfTestTest, AHealthyBoardPassesEveryStep) {
    const ToolRun run = Call({"selftest", "--quick"});
    EXPECT_EQ(run.code, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("[passed]  1 Link: board \"TZ8\"\n            200 pings, 0 failed; round trip min"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("watch the board"), std::string::npos);
    EXPECT_NE(run.out.find("march over 1 MiB: passed"), std::string::npos);
    EXPECT_NE(run.out.find("Summary: 5 passed, 0 failed, 0 skipped"), std::string::npos) << run.out;
    // The outputs are left dark.
    EXPECT_EQ(board.Field("leds"), "0x000");
    EXPECT_EQ(board.Field("hex"), "0x000000");

    board.Control("sd none");
    const nlohmann::json json = Call({"--json", "selftest", "--quick"}).Json();
    EXPECT_TRUE(json["ok"]);
    EXPECT_EQ(json["passed"], 4);
    EXPECT_EQ(json["skipped"], 1);
    EXPECT_EQ(Step(json, "link")["details"]["failures"], 0);
    EXPECT_EQ(Step(json, "sdcard")["result"], "skipped");
    EXPECT_EQ(Step(json, "sdram")["details"]["march_bytes"], 1 << 20);
}

// Without --quick the march covers the whole SDRAM: its last pass, the complement, reaches the top byte.
TEST_F(SelfTestTest, AFullRunMarchesOverAll64MiB) {
    const ToolRun run = Call({"--json", "selftest"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Step(run.Json(), "sdram")["details"]["march_bytes"], SDRAM_SIZE);
    char top[8];
    std::snprintf(top, sizeof top, "ok %02X", static_cast<uint8_t>(~cli::MarchByte(SDRAM_SIZE - 1)));
    EXPECT_EQ(board.Control("mem read 3FFFFFF 1"), top);
}

// Ctrl-C during the SDRAM test ends it there: the steps left are named interrupted, exit code 130.
TEST_F(SelfTestTest, CtrlCEndsTheTestAndTheStepsLeftAreInterrupted) {
    clitest::InterruptionAfter ctrlC(5);
    interruption = &ctrlC;
    const ToolRun run = Call({"--json", "selftest", "--quick"});
    EXPECT_EQ(run.code, 130);
    const nlohmann::json json = run.Json();
    EXPECT_EQ(json["error"], "the test was interrupted");
    EXPECT_EQ(Step(json, "sdram")["details"]["march"]["reading"], "interrupted");
    EXPECT_EQ(Step(json, "sdcard")["result"], "skipped");
    EXPECT_EQ(Step(json, "sdcard")["summary"], "interrupted");
    EXPECT_EQ(run.err, "qx7mb: the test was interrupted\n");
}

TEST_F(SelfTestTest, StuckDataBitsAreNamedWithTheirValue) {
    int code = 0;
    nlohmann::json sdram = SdramWith({"fault sdram stuck 5 1"}, code);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(sdram["result"], "failed");
    EXPECT_EQ(sdram["summary"], "data bit 5 stuck at 1");
    EXPECT_EQ(sdram["details"]["data_lines"]["address"], 0);
    EXPECT_EQ(sdram["details"]["data_lines"]["bits"], 0x20);
    EXPECT_TRUE(sdram["details"]["address_lines"]["passed"]) << "a stuck data bit is not an address fault";
    EXPECT_EQ(sdram["details"]["march"]["reading"], "data bit 5 stuck at 1");

    sdram = SdramWith({"fault sdram stuck 0 0"}, code);
    EXPECT_EQ(code, 4);
    EXPECT_EQ(sdram["summary"], "data bit 0 stuck at 0");
    EXPECT_EQ(sdram["details"]["data_lines"]["expected"], 0x01);
    EXPECT_EQ(sdram["details"]["data_lines"]["read"], 0x00);
}

TEST_F(SelfTestTest, AliasedAddressBitsAreNamedWithTheAddressesTheyJoin) {
    int code = 0;
    for (const auto& [bit, words] : std::map<int, std::string>{{0, "address bit 0 shorted: 0x1 aliases 0x0"},
                                                               {2, "address bit 2 shorted: 0x4 aliases 0x0"},
                                                               {20, "address bit 20 shorted: 0x100000 aliases 0x0"},
                                                               {25, "address bit 25 shorted: 0x2000000 aliases 0x0"}}) {
        const nlohmann::json sdram = SdramWith({"fault sdram alias " + std::to_string(bit)}, code);
        EXPECT_EQ(code, 4) << bit;
        EXPECT_EQ(sdram["summary"], words) << bit;
        EXPECT_TRUE(sdram["details"]["data_lines"]["passed"]) << bit;
        EXPECT_EQ(sdram["details"]["address_lines"]["address"], 0) << bit;
    }
    // Within the quick march's first MiB, a low line's aliasing shows in the march too.
    const nlohmann::json sdram = SdramWith({"fault sdram alias 3", "fault sdram stuck 6 1"}, code);
    EXPECT_EQ(sdram["summary"], "data bit 6 stuck at 1; address bit 3 shorted: 0x8 aliases 0x0");
    EXPECT_FALSE(sdram["details"]["march"]["passed"]);
}

TEST(SdramReadingTest, WordsForEachKindOfFault) {
    EXPECT_EQ(cli::DescribeAlias(0x10, 0x80), "address bits 4 and 7 shorted: 0x80 aliases 0x10");
    EXPECT_EQ(cli::DescribeAlias(0x2000000, 0), "address bit 25 shorted: 0x2000000 aliases 0x0");
    EXPECT_EQ(cli::DescribeAlias(0x1234, 0x1234 | 0x40000), "address bit 18 shorted: 0x41234 aliases 0x1234");
    EXPECT_EQ(cli::DescribeDataBits({{0, 0x01, 0x01}, {0, 0xFE, 0xFE}}), "");
    EXPECT_EQ(cli::DescribeDataBits({{0, 0x08, 0x00}, {0, 0xF7, 0xFF}, {0, 0x10, 0x50}}),
              "data bit 3 does not hold its value; data bit 6 stuck at 1");
    EXPECT_EQ(cli::SoundDataBits({{0, 0x08, 0x00}, {0, 0x10, 0x50}}), 0xB7);
}

// The keys and switches as a person would try them, acted out in the tool's pauses: the last prompt
// on standard error says which one is asked for, and time passes by each pause.
struct InteractiveTest : SelfTestTest {
    InteractiveTest() {
        const auto start = std::chrono::steady_clock::now();
        platform::SetTickSource([this, start] {
            const auto real = std::chrono::steady_clock::now() - start;
            return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(real).count()) + skipped;
        });
        EXPECT_EQ(pipe(answers), 0);
        input = answers[0];
        sleep = [this](uint32_t ms) {
            skipped += ms;
            Act();
        };
    }
    ~InteractiveTest() override {
        platform::SetTickSource({});
        close(answers[0]);
        close(answers[1]);
    }

    void Act() {
        const std::string err = liveErr.str();
        const std::size_t at = err.rfind("qx7mb: ");
        if (at == std::string::npos)
            return;
        const std::string prompt = err.substr(at);
        if (prompt == lastPrompt) {
            // A key's second pause: it comes back up.
            if (pressed >= 0)
                board.Control("key " + std::to_string(pressed) + " up");
            pressed = -1;
            return;
        }
        lastPrompt = prompt;
        // "qx7mb: press KEY3, hold it ..." or "qx7mb: flip SW9 (...".
        std::string verb;
        std::string name;
        std::istringstream(prompt.substr(7)) >> verb >> name;
        name = name.substr(0, name.find(','));
        const bool key = verb == "press";
        const int index = std::stoi(name.substr(key ? 3 : 2));
        const std::string act = behaviours.count(name) != 0 ? behaviours[name] : "right";
        if (act == "skip") {
            EXPECT_EQ(write(answers[1], "\n", 1), 1);
        } else if (act == "wrong") {
            board.Control("switch 3 on");
        } else if ((act == "right" || act == "held") && key) {
            board.Control("key " + std::to_string(index) + " down");
            pressed = act == "right" ? index : -1;
        } else if (act == "right") {
            const bool on = (board.Number("switches") >> index) & 1;
            board.Control("switch " + std::to_string(index) + (on ? " off" : " on"));
        }
    }

    int answers[2] = {-1, -1};
    uint32_t skipped = 0;
    std::string lastPrompt;
    int pressed = -1;
    // "right" (the default), "wrong" (SW3 flips instead), "never", "held" (a key pressed that never
    // comes back up) or "skip" (Enter).
    std::map<std::string, std::string> behaviours;
};

TEST_F(InteractiveTest, EachKeyAndSwitchChangesItsOwnBit) {
    const ToolRun run = Call({"--json", "selftest", "--quick", "--interactive"});
    EXPECT_EQ(run.code, 0) << run.err;
    const nlohmann::json inputs = Step(run.Json(), "inputs");
    EXPECT_EQ(inputs["result"], "passed");
    ASSERT_EQ(inputs["details"]["tried"].size(), 14u);
    for (const auto& [name, outcome] : inputs["details"]["tried"].items())
        EXPECT_EQ(outcome, "passed") << name;
    EXPECT_NE(run.err.find("qx7mb: press KEY3, hold it a moment and release it (Enter skips it; 30 s)"),
              std::string::npos);
    EXPECT_NE(run.err.find("qx7mb: flip SW9 (Enter skips it; 30 s)"), std::string::npos);
}

TEST_F(InteractiveTest, AWrongBitOrNoChangeFailsAndEnterSkips) {
    behaviours = {{"KEY2", "wrong"}, {"KEY3", "held"}, {"SW5", "never"}, {"SW9", "skip"}};
    const ToolRun run = Call({"--json", "selftest", "--quick", "--interactive"});
    EXPECT_EQ(run.code, 4) << run.err;
    const nlohmann::json inputs = Step(run.Json(), "inputs");
    EXPECT_EQ(inputs["result"], "failed");
    const nlohmann::json& tried = inputs["details"]["tried"];
    EXPECT_EQ(tried["KEY1"], "passed");
    EXPECT_EQ(tried["KEY2"], "SW3 changed instead");
    EXPECT_EQ(tried["KEY3"], "stayed down");
    EXPECT_EQ(tried["SW4"], "passed");
    EXPECT_EQ(tried["SW5"], "never changed");
    EXPECT_EQ(tried["SW9"], "skipped");
    // The time limit passed in the pauses alone, not in real time.
    EXPECT_GE(skipped, 30000u);
}

// The link that stops taking bytes after a number of exchanges.
platform::DynamicLibrary library;
TJtagApi real;
int writesLeft = 0;

int32_t FailingWrite(uint32_t handle, const uint8_t* bytes, uint32_t count) {
    return --writesLeft < 0 ? 0 : real.write(handle, bytes, count);
}

TEST_F(SelfTestTest, ALinkThatFailsEndsTheTestWithExitCodeOne) {
    ASSERT_TRUE(library.Load(platform::ProgramFolder() + JTAG_LIBRARY_NAME) && LookUpJtagApi(library, real));
    jtagApi = TJtagApi{real.open, real.close, FailingWrite, real.read, real.getInfo};
    // The connection's name query and a hundred pings get through.
    writesLeft = 101;
    const ToolRun run = Call({"--json", "selftest", "--quick"});
    EXPECT_EQ(run.code, 1);
    const nlohmann::json json = run.Json();
    EXPECT_EQ(Step(json, "link")["result"], "failed");
    EXPECT_EQ(Step(json, "link")["details"]["failures"], 5);
    EXPECT_EQ(json["skipped"], 4);
    EXPECT_EQ(json["error"], "the link to the board failed during the test");
}

} // namespace
