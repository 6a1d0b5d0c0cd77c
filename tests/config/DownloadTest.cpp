#include "config/Download.h"

#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "tests/config/fakelibs/FakeDownloadRecording.h"
#include "tests/support/Recorders.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

using platform::MessageKind;
using testsupport::NotifyRecorder;
using testsupport::TempFolder;

namespace {

const std::string TESTLIBS = QX7MB_TESTLIBS_DIR;

// True while some handle in this process holds the library at that path.
bool IsMapped(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (handle == nullptr)
        return false;
    dlclose(handle);
    return true;
}

class DownloadTest : public ::testing::Test {
protected:
    ~DownloadTest() override { platform::SetProgramFolder(""); }
    void UseLibrary(const std::string& folder) { platform::SetProgramFolder(TESTLIBS + "/" + folder); }
    NotifyRecorder notes;
};

TEST_F(DownloadTest, MissingLibraryShowsOneBoxNamingThePathAndDoesNothing) {
    TempFolder empty;
    platform::SetProgramFolder(empty.Path());
    TDownload download;
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(notes.messages[0].text, "fail to load dll - " + empty.Path() + "/VELDARA_DOWNLOAD.DLL");
    EXPECT_FALSE(download.IsLoaded());
    EXPECT_FALSE(download.JtagDownload("/nowhere.sof", 20000, 1, 0, 0, 0, 0));
    EXPECT_EQ(download.GetQuatusVersion(), 0.0);
    EXPECT_EQ(notes.messages.size(), 1u);
}

TEST_F(DownloadTest, LibraryWithoutOneExportIsReleasedAfterOneBox) {
    UseLibrary("download-nohps");
    const std::string path = TESTLIBS + "/download-nohps/VELDARA_DOWNLOAD.DLL";
    TDownload download;
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(notes.messages[0].text, "load VELDARA_DOWNLOAD.DLL fail. Cannot find all of desired API");
    EXPECT_FALSE(download.IsLoaded());
    EXPECT_FALSE(IsMapped(path));
    // The incomplete library would answer 1 and 13.1; nothing reaches it.
    EXPECT_FALSE(download.JtagDownload("/x.sof", 20000, 1, 0, 0, 0, 0));
    EXPECT_EQ(download.GetQuatusVersion(), 0.0);
}

TEST_F(DownloadTest, CompleteLibraryIsHeldUntilDestruction) {
    UseLibrary("download-recording");
    const std::string path = TESTLIBS + "/download-recording/VELDARA_DOWNLOAD.DLL";
    {
        TDownload download;
        EXPECT_TRUE(download.IsLoaded());
        EXPECT_TRUE(notes.messages.empty());
        EXPECT_TRUE(IsMapped(path));
    }
    EXPECT_FALSE(IsMapped(path));
}

class RecordingDownloadTest : public DownloadTest {
protected:
    RecordingDownloadTest() {
        UseLibrary("download-recording");
        EXPECT_TRUE(probe.Load(TESTLIBS + "/download-recording/VELDARA_DOWNLOAD.DLL"));
    }
    template <typename Fn> Fn Probe(const char* name) { return reinterpret_cast<Fn>(probe.Symbol(name)); }
    platform::DynamicLibrary probe;
};

TEST_F(RecordingDownloadTest, SevenArgumentsArriveInOrder) {
    const int before = Probe<FakeDownload_CallCount_t>("FakeDownload_CallCount")();
    TDownload download;
    ASSERT_TRUE(download.IsLoaded());
    EXPECT_TRUE(download.JtagDownload("/opt/panel/QX7MB_ControlPanel.sof", -20000, 2, 123456, -7, 254, 3));
    EXPECT_EQ(Probe<FakeDownload_CallCount_t>("FakeDownload_CallCount")(), before + 1);
    const FakeDownloadCall* call = Probe<FakeDownload_LastCall_t>("FakeDownload_LastCall")();
    EXPECT_STREQ(call->path, "/opt/panel/QX7MB_ControlPanel.sof");
    EXPECT_EQ(call->arg2, -20000);
    EXPECT_EQ(call->flag3, 2);
    EXPECT_EQ(call->arg4, 123456);
    EXPECT_EQ(call->arg5, -7);
    EXPECT_EQ(call->flag6, 254);
    EXPECT_EQ(call->flag7, 3);

    EXPECT_TRUE(download.JtagDownload("/b.sof", 20000, 1, 0, 0, 0, 0));
    EXPECT_STREQ(call->path, "/b.sof");
    EXPECT_EQ(call->arg2, 20000);
    EXPECT_EQ(call->flag3, 1);
    EXPECT_EQ(call->flag7, 0);
}

TEST_F(RecordingDownloadTest, ResultAndVersionComeFromTheLibrary) {
    TDownload download;
    Probe<FakeDownload_SetResult_t>("FakeDownload_SetResult")(0);
    EXPECT_FALSE(download.JtagDownload("/a.sof", 20000, 1, 0, 0, 0, 0));
    Probe<FakeDownload_SetResult_t>("FakeDownload_SetResult")(0x80);
    EXPECT_TRUE(download.JtagDownload("/a.sof", 20000, 1, 0, 0, 0, 0));
    Probe<FakeDownload_SetResult_t>("FakeDownload_SetResult")(1);

    Probe<FakeDownload_SetVersion_t>("FakeDownload_SetVersion")(13.1);
    EXPECT_EQ(download.GetQuatusVersion(), 13.1);
    Probe<FakeDownload_SetVersion_t>("FakeDownload_SetVersion")(0.0);
    EXPECT_TRUE(notes.messages.empty());
}

} // namespace
