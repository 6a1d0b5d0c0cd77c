// Both hardware editions when Quartus cannot be used: not named, not there, or a JTAG library that
// cannot be loaded. Each failure gives one line naming its cause and where it looked. No test here
// loads a working libjtag_client.so, so the one without it fails as it would on a fresh machine.
#include "board/DownloadApi.h"
#include "board/JtagApi.h"
#include "platform/DynamicLibrary.h"
#include "tests/support/Recorders.h"
#include "tests/support/StderrCapture.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using testsupport::ScopedEnv;
using testsupport::TempFolder;

namespace {

class LoadingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(jtag.Load(std::string(QX7MB_HARDWARE_DIR) + "/" + JTAG_LIBRARY_NAME));
        ASSERT_TRUE(LookUpJtagApi(jtag, api));
        ASSERT_TRUE(download.Load(std::string(QX7MB_HARDWARE_DIR) + "/" + DOWNLOAD_LIBRARY_NAME));
    }

    // Both editions tried once: an open, a configuration and a version query.
    std::vector<std::string> TryBoth() {
        testsupport::StderrCapture errors;
        EXPECT_EQ(api.open(0, ""), 0u);
        const auto configure = reinterpret_cast<VELDARA_JtagDownload_t>(download.Symbol("VELDARA_JtagDownload"));
        const auto version = reinterpret_cast<VELDARA_GetQuatusVersion_t>(download.Symbol("VELDARA_GetQuatusVersion"));
        const std::string bitstream = root / "design.sof";
        std::ofstream(bitstream) << "bits";
        EXPECT_EQ(configure(bitstream.c_str(), 20000, 1, 0, 0, 0, 0), 0);
        EXPECT_EQ(version(), 0.0);
        return errors.Lines();
    }

    TempFolder root;
    ScopedEnv quartusRoot{"QUARTUS_ROOTDIR", root.Path().c_str()};
    platform::DynamicLibrary jtag;
    platform::DynamicLibrary download;
    TJtagApi api;
};

// Without QUARTUS_ROOTDIR each edition takes the newest installation in the usual places that has what
// it needs. The libraries found here are no libraries, so the JTAG edition's line names the folder it
// took; each installation's quartus_pgm tells its own version.
TEST_F(LoadingTest, WithoutQUARTUS_ROOTDIRTheNewestInstallationWithWhatEachEditionNeedsIsTaken) {
    const std::string home = root / "home";
    const std::string system = root / "system";
    ScopedEnv unset("QUARTUS_ROOTDIR", nullptr);
    ScopedEnv homeEnv("HOME", home.c_str());
    ScopedEnv systemEnv("QX7MB_SYSTEM_ROOT", system.c_str());
    const auto install = [](const std::string& folder, const std::string& version, bool libraries, bool programmer) {
        std::filesystem::create_directories(folder + "/linux64");
        std::filesystem::create_directories(folder + "/bin");
        if (libraries) {
            std::ofstream(folder + "/linux64/libjtag_atlantic.so") << "not a library";
            std::ofstream(folder + "/linux64/libjtag_client.so") << "not a library";
        }
        if (programmer) {
            std::ofstream(folder + "/bin/quartus_pgm") << "#!/bin/sh\necho 'Version " << version << " Build 1'\n";
            std::filesystem::permissions(folder + "/bin/quartus_pgm", std::filesystem::perms::owner_all);
        }
    };
    const auto openAndAsk = [this] {
        testsupport::StderrCapture errors;
        EXPECT_EQ(api.open(0, ""), 0u);
        const auto version = reinterpret_cast<VELDARA_GetQuatusVersion_t>(download.Symbol("VELDARA_GetQuatusVersion"));
        const double found = version();
        return std::pair{errors.Lines(), found};
    };

    // Nothing anywhere: the line lists where the editions looked.
    std::vector<std::string> lines = TryBoth();
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& line : lines) {
        for (const std::string& place : {home, system + "/opt", system + "/usr/local", std::string("intelFPGA_lite"),
                                         std::string("altera*"), std::string("qprogrammer")})
            EXPECT_NE(line.find(place), std::string::npos) << place << " in " << line;
    }

    install(home + "/intelFPGA_lite/18.1/quartus", "18.1", true, true);
    install(system + "/opt/altera/13.0sp1/quartus", "13.0", true, true);
    install(system + "/opt/intelFPGA_pro/21.3/quartus", "21.3", false, true);
    install(system + "/usr/local/intelFPGA/20.1/qprogrammer", "20.1", true, false);
    const auto [found, version] = openAndAsk();
    ASSERT_FALSE(found.empty());
    EXPECT_NE(found[0].find("cannot load " + system + "/usr/local/intelFPGA/20.1/qprogrammer/linux64/"),
              std::string::npos)
        << found[0];
    EXPECT_DOUBLE_EQ(version, 21.3);

    ScopedEnv named("QUARTUS_ROOTDIR", (system + "/opt/altera/13.0sp1/quartus").c_str());
    EXPECT_DOUBLE_EQ(openAndAsk().second, 13.0) << "QUARTUS_ROOTDIR wins";
}

TEST_F(LoadingTest, AQUARTUS_ROOTDIRThatIsNoFolderIsNamed) {
    ScopedEnv wrong("QUARTUS_ROOTDIR", (root / "nowhere").c_str());
    const std::vector<std::string> lines = TryBoth();
    ASSERT_EQ(lines.size(), 3u);
    for (const std::string& line : lines)
        EXPECT_NE(line.find("QUARTUS_ROOTDIR names " + root / "nowhere" + ", which is not a folder"), std::string::npos)
            << line;
}

TEST_F(LoadingTest, AnInstallationWithoutTheToolsNamesTheFoldersItLookedIn) {
    EXPECT_EQ(TryBoth(), (std::vector<std::string>{"VELDARA_JTAG.DLL: Quartus not found: no libjtag_atlantic.so in " +
                                                       root / "linux64" + " (QUARTUS_ROOTDIR=" + root.Path() + ")",
                                                   "VELDARA_DOWNLOAD.DLL: Quartus not found: no quartus_pgm in " +
                                                       root / "bin" + " (QUARTUS_ROOTDIR=" + root.Path() + ")",
                                                   "VELDARA_DOWNLOAD.DLL: Quartus not found: no quartus_pgm in " +
                                                       root / "bin" + " (QUARTUS_ROOTDIR=" + root.Path() + ")"}));
}

TEST_F(LoadingTest, TheJtagLibraryNeedsItsClientLibraryFromTheSameFolder) {
    // The relay library alone, as a copy: nothing can stand in for the libjtag_client.so it calls into.
    std::filesystem::create_directories(root / "linux64");
    std::filesystem::copy_file(std::string(QX7MB_FAKE_QUARTUS_DIR) + "/linux64/libjtag_atlantic.so",
                               root / "linux64/libjtag_atlantic.so");
    testsupport::StderrCapture errors;
    EXPECT_EQ(api.open(0, ""), 0u);
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{"VELDARA_JTAG.DLL: Quartus not found: no libjtag_client.so in " +
                                                       root / "linux64" + " (QUARTUS_ROOTDIR=" + root.Path() + ")"});
}

TEST_F(LoadingTest, AJtagLibraryWithoutTheFunctionsNamesThoseItLacks) {
    ScopedEnv partial("QUARTUS_ROOTDIR", QX7MB_PARTIAL_QUARTUS_DIR);
    testsupport::StderrCapture errors;
    EXPECT_EQ(api.open(0, ""), 0u);
    EXPECT_EQ(errors.Lines(),
              std::vector<std::string>{"VELDARA_JTAG.DLL: " + std::string(QX7MB_PARTIAL_QUARTUS_DIR) +
                                       "/linux64/libjtag_atlantic.so lacks jtagatlantic_close, jtagatlantic_write, "
                                       "jtagatlantic_flush, jtagatlantic_read, jtagatlantic_bytes_available, "
                                       "jtagatlantic_get_info (not the JTAG UART library of a Quartus release)"});
}

// Last: once loaded, Quartus's libraries stay for the rest of the process.
TEST_F(LoadingTest, TheClientLibraryIsLoadedFirstForTheJtagLibraryToUse) {
    // The JTAG library calls into its client library without naming it as a dependency: it loads only
    // where the client library's functions were made global before. Nothing serves a board here, so
    // the line that comes is the board's, not the loader's.
    ScopedEnv quartus("QUARTUS_ROOTDIR", QX7MB_FAKE_QUARTUS_DIR);
    ScopedEnv noBoard("QX7MB_VBOARD", (root / "no-board").c_str());
    testsupport::StderrCapture errors;
    EXPECT_EQ(api.open(0, ""), 0u);
    ASSERT_EQ(errors.Lines().size(), 1u);
    EXPECT_EQ(errors.Lines()[0].find("cannot load"), std::string::npos) << errors.Lines()[0];
    EXPECT_NE(errors.Lines()[0].find("power"), std::string::npos) << errors.Lines()[0];
}

} // namespace
