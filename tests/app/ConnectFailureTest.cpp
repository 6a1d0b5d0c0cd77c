// The connection workflow where the link cannot be had: no JTAG library, an unplugged cable, a final
// reopening that fails, and what the download library is given on the way.
#include "platform/DynamicLibrary.h"
#include "platform/Notify.h"
#include "tests/config/fakelibs/FakeDownloadRecording.h"
#include "tests/support/PanelFixture.h"

#include <filesystem>

using testsupport::PanelFixture;

namespace {

const std::string NO_LINK = "Fail to connect FPGA borad.";

class ConnectFailureTest : public PanelFixture {
protected:
    // The recording download library in the program's folder, held here as well, so that what it
    // recorded outlives the panel's use of it.
    void UseRecordingDownload() {
        const std::string path = std::string(QX7MB_TESTLIBS_DIR) + "/download-recording/VELDARA_DOWNLOAD.DLL";
        ReplaceInProgramFolder("VELDARA_DOWNLOAD.DLL", path);
        ASSERT_TRUE(recording.Load(program / "VELDARA_DOWNLOAD.DLL"));
        lastCall = reinterpret_cast<FakeDownload_LastCall_t>(recording.Symbol("FakeDownload_LastCall"));
        callCount = reinterpret_cast<FakeDownload_CallCount_t>(recording.Symbol("FakeDownload_CallCount"));
        ASSERT_TRUE(lastCall && callCount);
    }
    void ExpectDisconnectedOnTheWelcomeClip() {
        EXPECT_FALSE(form->Board().IsConnected());
        EXPECT_EQ(form->LabelConnectStatus->text(), "Disconnected");
        EXPECT_EQ(form->LabelConnectStatus->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_EQ(form->ButtonConnect->text(), "Connect");
        EXPECT_EQ(form->CurrentPage(), TFormMain::WELCOME_PAGE);
    }

    platform::DynamicLibrary recording;
    FakeDownload_LastCall_t lastCall = nullptr;
    FakeDownload_CallCount_t callCount = nullptr;
};

TEST_F(ConnectFailureTest, WithoutAJtagLibraryEachProbeSaysSoAndTheSecondFails) {
    RemoveFromProgramFolder("VELDARA_JTAG.DLL");
    board->Control("reset");
    EXPECT_FALSE(Connect());
    const std::string missing = "fail to load dll - " + program / "VELDARA_JTAG.DLL";
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{missing, missing, NO_LINK}))
        << "the library's box at each probe, the link's box only at the second";
    EXPECT_EQ(BoardState("configured"), "1") << "configured between the probes";
    EXPECT_EQ(form->LabelInfo->text(), QString::fromStdString(NO_LINK));
    ExpectDisconnectedOnTheWelcomeClip();
}

TEST_F(ConnectFailureTest, AnUnpluggedCableIsQuietAtFirstThenBoxedAfterConfiguring) {
    UseRecordingDownload();
    // No board server anywhere the library looks.
    board.reset();
    testsupport::TempFolder nowhere;
    testsupport::ScopedEnv noBoard("QX7MB_VBOARD", nowhere.Path().c_str());

    // Each box with the number of configurations made before it.
    std::vector<std::pair<std::string, int>> boxes;
    platform::SetMessageHandler(
        [&](platform::MessageKind, const std::string& text) { boxes.emplace_back(text, callCount()); });
    const int calls = callCount();
    EXPECT_FALSE(Connect());
    platform::SetMessageHandler({});
    EXPECT_EQ(callCount(), calls + 1) << "the FPGA was configured once";
    EXPECT_EQ(boxes, (std::vector<std::pair<std::string, int>>{{NO_LINK, calls + 1}}))
        << "no box at the first probe; one after configuring";
    EXPECT_EQ(form->LabelInfo->text(), QString::fromStdString(NO_LINK));
    ExpectDisconnectedOnTheWelcomeClip();
}

TEST_F(ConnectFailureTest, TheDownloadLibraryGetsTheBitstreamAndItsFixedArgumentsInTheProgramsFolder) {
    UseRecordingDownload();
    board->Control("fault name TZ9");
    EXPECT_FALSE(Connect());
    ASSERT_GE(callCount(), 1);
    const FakeDownloadCall& call = *lastCall();
    EXPECT_EQ(std::string(call.path), program / "QX7MB_ControlPanel.sof");
    EXPECT_EQ(call.arg2, 20000);
    EXPECT_EQ(call.flag3, 1);
    EXPECT_EQ(call.arg4, 0);
    EXPECT_EQ(call.arg5, 0);
    EXPECT_EQ(call.flag6, 0);
    EXPECT_EQ(call.flag7, 0);
    EXPECT_TRUE(std::filesystem::equivalent(call.workingFolder, program.Path())) << call.workingFolder;
}

TEST_F(ConnectFailureTest, AFinalReopeningThatFailsEndsDisconnectedWithTheCheckLineKept) {
    UseRecordingDownload();
    const std::string planned = std::string(QX7MB_TESTLIBS_DIR) + "/jtag-planned/VELDARA_JTAG.DLL";
    ReplaceInProgramFolder("VELDARA_JTAG.DLL", planned);
    platform::DynamicLibrary jtag;
    ASSERT_TRUE(jtag.Load(program / "VELDARA_JTAG.DLL"));
    const auto setPlan = reinterpret_cast<void (*)(const char*)>(jtag.Symbol("FakeJtag_SetPlan"));
    const auto openCalls = reinterpret_cast<int (*)()>(jtag.Symbol("FakeJtag_OpenCalls"));
    ASSERT_TRUE(setPlan && openCalls);
    // No cable at the first probe, a board that answers at the second, nothing at the reopening.
    setPlan("-+-");

    EXPECT_FALSE(Connect());
    EXPECT_EQ(openCalls(), 3);
    EXPECT_TRUE(notes.messages.empty()) << "the reopening's error is dropped";
    EXPECT_EQ(form->LabelInfo->text(), "Check board ID...");
    ExpectDisconnectedOnTheWelcomeClip();
    EXPECT_TRUE(form->Device().empty());
}

} // namespace
