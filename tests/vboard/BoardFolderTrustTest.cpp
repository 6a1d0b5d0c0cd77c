// The clients of a board server trust its folder and sockets only when they are the user's own and
// closed to everyone else: the JTAG library, the download library and the control client alike.
#include "board/DownloadApi.h"
#include "board/JtagApi.h"
#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "tests/support/FileContent.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/VBoardProcess.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::OrdinaryUser;

class BoardFolderTrustTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(jtag.Load(platform::ProgramFolder() + JTAG_LIBRARY_NAME));
        ASSERT_TRUE(download.Load(platform::ProgramFolder() + DOWNLOAD_LIBRARY_NAME));
        jtagOpen = reinterpret_cast<VELDARA_JtagOpen_t>(jtag.Symbol("VELDARA_JtagOpen"));
        jtagClose = reinterpret_cast<VELDARA_JtagClose_t>(jtag.Symbol("VELDARA_JtagClose"));
        jtagDownload = reinterpret_cast<VELDARA_JtagDownload_t>(download.Symbol("VELDARA_JtagDownload"));
        ASSERT_TRUE(jtagOpen && jtagClose && jtagDownload);
    }

    // What each client makes of the board, with what they said on standard error: "jtag control
    // download", each word there when that client reached the board.
    std::string Reached(std::string& said) {
        testing::internal::CaptureStderr();
        std::string reached;
        const uint32_t link = jtagOpen(0, "");
        if (link != 0) {
            reached += "jtag ";
            jtagClose(link);
        }
        vboard::ControlClient client;
        if (client.Connect(vboard::DefaultBoardFolder(0)))
            reached += "control ";
        const std::string bitstream = platform::ProgramFolder() + "QX7MB_ControlPanel.sof";
        if (jtagDownload(bitstream.c_str(), 20000, 1, 0, 0, 0, 0) != 0)
            reached += "download";
        said = testing::internal::GetCapturedStderr();
        return reached;
    }

    // Each refusing client said why in one line.
    static void ExpectThreeLinesSaying(const std::string& said, const std::string& reason) {
        size_t lines = 0;
        for (size_t at = said.find('\n'); at != std::string::npos; at = said.find('\n', at + 1))
            ++lines;
        EXPECT_EQ(lines, 3u) << said;
        EXPECT_NE(said.find(reason), std::string::npos) << said;
    }

    std::string Socket(const char* name) const { return board.Folder() + "/" + name; }

    platform::DynamicLibrary jtag;
    platform::DynamicLibrary download;
    VELDARA_JtagOpen_t jtagOpen = nullptr;
    VELDARA_JtagClose_t jtagClose = nullptr;
    VELDARA_JtagDownload_t jtagDownload = nullptr;
    testsupport::VBoardProcess board{{}};
};

TEST_F(BoardFolderTrustTest, TheServersOwnFolderAndSocketsAreTrustedQuietly) {
    struct stat info {};
    ASSERT_EQ(stat(Socket(vboard::JTAG_SOCKET_NAME).c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "the server closes its sockets to everyone else";
    std::string said;
    EXPECT_EQ(Reached(said), "jtag control download");
    EXPECT_EQ(said, "");
}

TEST_F(BoardFolderTrustTest, AFolderOpenToGroupOrOthersIsRefused) {
    ASSERT_EQ(chmod(board.Folder().c_str(), 0755), 0);
    std::string said;
    EXPECT_EQ(Reached(said), "");
    ExpectThreeLinesSaying(said, "open to group or others (mode 0755)");
    EXPECT_NE(said.find(board.Folder()), std::string::npos) << "the folder is named";

    ASSERT_EQ(chmod(board.Folder().c_str(), 0700), 0);
    EXPECT_EQ(board.Field("configured"), "0") << "the download library did not reach the board";
    EXPECT_EQ(Reached(said), "jtag control download");
}

TEST_F(BoardFolderTrustTest, ASocketOpenToOthersOrNoSocketAtAllIsRefused) {
    ASSERT_EQ(chmod(Socket(vboard::JTAG_SOCKET_NAME).c_str(), 0606), 0);
    ASSERT_EQ(chmod(Socket(vboard::CONTROL_SOCKET_NAME).c_str(), 0660), 0);
    std::string said;
    EXPECT_EQ(Reached(said), "");
    ExpectThreeLinesSaying(said, "its socket control is open to group or others (mode 0660)");
    EXPECT_NE(said.find("its socket jtag is open to group or others (mode 0606)"), std::string::npos) << said;

    ASSERT_EQ(chmod(Socket(vboard::CONTROL_SOCKET_NAME).c_str(), 0600), 0);
    ASSERT_EQ(unlink(Socket(vboard::JTAG_SOCKET_NAME).c_str()), 0);
    testsupport::WriteFile(Socket(vboard::JTAG_SOCKET_NAME), "");
    ASSERT_EQ(chmod(Socket(vboard::JTAG_SOCKET_NAME).c_str(), 0600), 0);
    testing::internal::CaptureStderr();
    EXPECT_LT(vboard::ConnectToBoard(board.Folder(), vboard::JTAG_SOCKET_NAME), 0);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("jtag is not a socket"), std::string::npos);
}

// The file system's root folder is root's: to anyone else (as root, to the ordinary user the test
// then acts as) a board folder there belongs to another user.
TEST_F(BoardFolderTrustTest, AFolderOfAnotherUserIsRefused) {
    testsupport::ScopedEnv folder("QX7MB_VBOARD", "/");
    std::string said;
    {
        OrdinaryUser user;
        EXPECT_EQ(Reached(said), "");
    }
    ExpectThreeLinesSaying(said, "the folder belongs to another user (uid 0)");
}

TEST(BoardFolderTrust, NoBoardServerIsAnUnpluggedCableAndSaysNothing) {
    testsupport::TempFolder empty;
    testing::internal::CaptureStderr();
    EXPECT_LT(vboard::ConnectToBoard(empty.Path(), vboard::JTAG_SOCKET_NAME), 0);
    EXPECT_LT(vboard::ConnectToBoard(empty / "missing", vboard::CONTROL_SOCKET_NAME), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

} // namespace
