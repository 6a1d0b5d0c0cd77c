#include "board/Jtagport.h"

#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtagLink.h"
#include "tests/support/Recorders.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using testsupport::FakeClock;
using testsupport::FakeJtagLink;
using testsupport::NotifyRecorder;
using testsupport::ScopedEnv;
using testsupport::TempFolder;

namespace {

std::string Canonical(const std::string& path) {
    return std::filesystem::canonical(path).string();
}

// Keeps the program's folder, the working folder and the Quartus environment of one test to itself.
class JtagPortTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::SetProgramFolder("");
        platform::SetWorkingFolder(startFolder);
    }
    std::string startFolder = platform::GetWorkingFolder();
    ScopedEnv noRoot{"QUARTUS_ROOTDIR", nullptr};
    TempFolder registryFolder;
    ScopedEnv registry{"QX7MB_REGISTRY", (registryFolder / "none.ini").c_str()};
    NotifyRecorder notes;
};

TEST_F(JtagPortTest, ReadReturnsThePartialCountWhenTheLimitPasses) {
    FakeJtagLink link;
    link.maxBytesPerRead = 1;
    link.Queue({1, 2, 3});
    TJtagPort port(FakeJtagLink::Api(), 0, "");
    ASSERT_TRUE(port.Open());
    FakeClock clock(1000, 1); // each reading one millisecond later
    uint8_t buffer[10] = {};
    EXPECT_EQ(port.Read(buffer, 10, 20), 3u);
    EXPECT_EQ(buffer[2], 3);
    EXPECT_GT(link.readCalls, 3); // went on polling until the limit
    EXPECT_LT(link.readCalls, 25);
}

TEST_F(JtagPortTest, ReadStopsAsSoonAsTheCountArrives) {
    FakeJtagLink link;
    link.maxBytesPerRead = 2;
    link.Queue({1, 2, 3, 4, 5});
    TJtagPort port(FakeJtagLink::Api(), 0, "");
    ASSERT_TRUE(port.Open());
    uint8_t buffer[4] = {};
    EXPECT_EQ(port.Read(buffer, 4, 3000), 4u);
    EXPECT_EQ(link.readCalls, 2);
    EXPECT_EQ(link.input.size(), 1u);
}

TEST_F(JtagPortTest, ZeroByteReadNeverCallsTheLibrary) {
    FakeJtagLink link;
    link.Queue({1});
    TJtagPort port(FakeJtagLink::Api(), 0, "");
    ASSERT_TRUE(port.Open());
    uint8_t buffer[1];
    EXPECT_EQ(port.Read(buffer, 0, 3000), 0u);
    EXPECT_EQ(link.readCalls, 0);
}

TEST_F(JtagPortTest, WithoutALinkNothingReachesTheLibrary) {
    FakeJtagLink link;
    link.openResult = 0;
    link.Queue({1});
    TJtagPort port(FakeJtagLink::Api(), 0, "");
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.IsOpen());
    uint8_t buffer[JTAG_INFO_SIZE];
    EXPECT_FALSE(port.Write(buffer, 1));
    EXPECT_EQ(port.Read(buffer, 1, 3000), 0u);
    EXPECT_FALSE(port.GetInfo(buffer));
    EXPECT_TRUE(link.written.empty());
    EXPECT_EQ(link.readCalls, 0);
    EXPECT_EQ(link.infoCalls, 0);
}

TEST_F(JtagPortTest, OpenPassesDeviceAndClosesAnOldLinkFirst) {
    FakeJtagLink link;
    TJtagPort port(FakeJtagLink::Api(), 3, "");
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(link.openedIndex, 3);
    EXPECT_EQ(link.openedName, "");
    ASSERT_TRUE(port.Open());
    EXPECT_EQ(link.closeCalls, 1);
    port.Close();
    port.Close();
    EXPECT_EQ(link.closeCalls, 2);
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(JtagPortTest, OpenRunsInRootBin32WhenOnlyThatExistsAndReturnsToTheProgramFolder) {
    TempFolder root;
    std::filesystem::create_directory(root / "bin32");
    ScopedEnv env("QUARTUS_ROOTDIR", root.Path().c_str());
    FakeJtagLink link;
    link.openResult = 0; // successful or not, the folder is restored
    TJtagPort port(FakeJtagLink::Api(), 0, "");
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(Canonical(link.workingFolderAtOpen), Canonical(root / "bin32"));
    EXPECT_EQ(Canonical(platform::GetWorkingFolder()), Canonical(platform::ProgramFolder()));
}

TEST_F(JtagPortTest, RegistryInstallDirectoryIsUsedWhenTheEnvironmentHasNone) {
    TempFolder root;
    std::filesystem::create_directory(root / "bin");
    std::filesystem::create_directory(root / "bin32");
    {
        std::ofstream ini(registryFolder / "none.ini");
        ini << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Altera Corporation\\Quartus]\n"
            << "Quartus Install Directory=" << root.Path() << "\n";
    }
    ScopedEnv emptyRoot("QUARTUS_ROOTDIR", "");
    FakeJtagLink link;
    TJtagPort port(FakeJtagLink::Api(), 0, "");
    EXPECT_TRUE(port.Open());
    EXPECT_EQ(Canonical(link.workingFolderAtOpen), Canonical(root / "bin"));
}

TEST_F(JtagPortTest, NoQuartusFolderStillOpensHereWithoutAWarning) {
    TempFolder elsewhere;
    platform::SetWorkingFolder(elsewhere.Path());
    FakeJtagLink link;
    TJtagPort port(FakeJtagLink::Api(), 0, "");
    EXPECT_TRUE(port.Open());
    EXPECT_EQ(link.openCalls, 1);
    EXPECT_EQ(Canonical(link.workingFolderAtOpen), Canonical(elsewhere.Path()));
    EXPECT_TRUE(notes.messages.empty()); // Linux keeps no record of Quartus to warn about
}

TEST_F(JtagPortTest, MissingLibraryShowsTheFullPathAndNeverOpens) {
    TempFolder empty;
    platform::SetProgramFolder(empty.Path());
    const std::string start = platform::GetWorkingFolder();
    TJtagPort port(0, "");
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, platform::MessageKind::Error);
    EXPECT_EQ(notes.messages[0].text, "fail to load dll - " + empty.Path() + "/VELDARA_JTAG.DLL");
    EXPECT_FALSE(port.Open());
    EXPECT_EQ(platform::GetWorkingFolder(), start); // refused before the folder switch
}

TEST_F(JtagPortTest, LibraryWithoutOneExportIsReleased) {
    platform::SetProgramFolder(QX7MB_TESTLIBS_DIR "/jtag-noinfo");
    TJtagPort port(0, "");
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].text, "fail to find some API");
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.IsOpen());
}

TEST_F(JtagPortTest, CompleteLibraryIsCalledFromTheToolFolder) {
    const std::string folder = QX7MB_TESTLIBS_DIR "/jtag-complete";
    platform::SetProgramFolder(folder);
    TempFolder root;
    std::filesystem::create_directory(root / "bin");
    ScopedEnv env("QUARTUS_ROOTDIR", root.Path().c_str());
    TJtagPort port(0, "");
    EXPECT_TRUE(notes.messages.empty());
    EXPECT_FALSE(port.Open()); // this library's link never opens

    platform::DynamicLibrary same; // the same loaded image, to read what it recorded
    ASSERT_TRUE(same.Load(folder + "/VELDARA_JTAG.DLL"));
    auto openFolder = reinterpret_cast<const char* (*)()>(same.Symbol("FakeJtagOpenFolder"));
    auto openCalls = reinterpret_cast<int (*)()>(same.Symbol("FakeJtagOpenCalls"));
    ASSERT_TRUE(openFolder && openCalls);
    EXPECT_EQ(openCalls(), 1);
    EXPECT_EQ(Canonical(openFolder()), Canonical(root / "bin"));
    EXPECT_EQ(Canonical(platform::GetWorkingFolder()), Canonical(folder));
}

} // namespace
