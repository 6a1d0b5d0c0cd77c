// qx7mb doctor in the virtual program folder (the test's own): the board server's folder, sockets and
// state, our bitstream and the firmware, as a person reads them and as JSON.
#include "board/Board.h"
#include "tests/cli/ToolRunner.h"
#include "tests/support/FastClock.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <gtest/gtest.h>

using clitest::ToolRun;
using testsupport::VBoardProcess;

namespace {

struct DoctorTest : ::testing::Test, clitest::ToolRunner {
    // The results of a --json run, in order.
    std::vector<std::string> Results(const ToolRun& run) {
        std::vector<std::string> results;
        const nlohmann::json report = run.Json();
        for (const auto& check : report["checks"])
            results.push_back(check["result"]);
        return results;
    }

    testsupport::FastClock clock{10};
};

TEST_F(DoctorTest, TheBoardServerIsCheckedAndTheFirmwareAskedOnlyWhenItRunsOrConfiguringIsAsked) {
    VBoardProcess board(std::vector<std::string>{});
    ToolRun fresh = Call({"doctor"});
    EXPECT_EQ(fresh.code, 0) << fresh.out;
    EXPECT_NE(fresh.out.find("(a virtual board)\nok    the board server's folder: " + board.Folder() +
                             "\nok    the board server's sockets: jtag and control answer\nok    the board's state: "
                             "not configured, its JTAG link free\nok    the bitstream: "),
              std::string::npos)
        << fresh.out;
    EXPECT_NE(fresh.out.find("\nskip  the firmware: the board runs no control-panel design yet"), std::string::npos)
        << fresh.out;
    EXPECT_EQ(board.Field("configured"), "0");

    ToolRun configured = Call({"--json", "doctor", "--configure"});
    EXPECT_EQ(configured.code, 0) << configured.err;
    EXPECT_EQ(Results(configured), std::vector<std::string>(5, "ok"));
    EXPECT_EQ(configured.Json()["edition"], "virtual");
    EXPECT_EQ(configured.Json()["configured"], true);
    EXPECT_EQ(board.Field("configured"), "1");
    EXPECT_EQ(board.Field("link"), "closed") << "the doctor lets go of the board";

    // Held by another program: the state says so and the firmware is left alone.
    TBoard panel;
    std::string error;
    ASSERT_TRUE(panel.Connect(error, 0)) << error;
    ToolRun held = Call({"--json", "doctor"});
    EXPECT_EQ(held.code, 4);
    EXPECT_EQ(Results(held), (std::vector<std::string>{"ok", "ok", "fail", "ok", "skip"}));
    EXPECT_NE(held.Json()["checks"][2]["text"].get<std::string>().find("another program holds its JTAG link"),
              std::string::npos);
    EXPECT_EQ(held.Json()["error"], "1 of 5 checks failed");
}

TEST_F(DoctorTest, WithoutABoardServerTheFirstLineSaysHowToStartOne) {
    testsupport::TempFolder nowhere;
    testsupport::ScopedEnv env("QX7MB_VBOARD", (nowhere / "board").c_str());
    ToolRun run = Call({"--device", "2", "doctor"});
    EXPECT_EQ(run.code, 4);
    EXPECT_NE(run.out.find("\nfail  the board server's folder: no " + nowhere / "board-2" +
                           ": no virtual board serves board 2; start one: qx7mb-vboard --device 2"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\nskip  the firmware: no board server answers"), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "qx7mb: 1 of 5 checks failed\n");
}

} // namespace
