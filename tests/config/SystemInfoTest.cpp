#include "config/Quartusinfo.h"
#include "tests/config/QuartusEnvironment.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>

using platform::MessageKind;
using testsupport::ScopedEnv;

namespace {

class SystemInfoTest : public QuartusEnvironment {
protected:
    std::string Log() { return ReadFile(program / "system.log"); }
    // The expected text with every "<root>" standing for the test's Quartus root.
    std::string WithRoot(std::string text) {
        const std::string root = elsewhere.Path();
        for (auto at = text.find("<root>"); at != std::string::npos; at = text.find("<root>", at + root.size()))
            text.replace(at, 6, root);
        return text;
    }
    // The ten keys as they read with every lookup failing, but for the library's version and the OS.
    static std::string NoQuartus(const std::string& libraryVersion) {
        return "[System]\n"
               "Quartus Version(x32 Registry)=0\n"
               "Quartus Version(x64 Registry)=0\n"
               "Quartus Version(VELDARA_DOWNLOAD.DLL)=" +
               libraryVersion + "\n" +
               "OS=Unknown OS\n"
               "QUARTUS_ROOTDIR=\n"
               "SOPC_KIT_NIOS2=\n"
               "QuartusBin64=\n"
               "QuartusBin32=\n"
               "QuartusBin=\n"
               "QSYS_ROOTDIR=\n";
    }
};

TEST_F(SystemInfoTest, NoQuartusAtAll) {
    WriteSystemInfo("system.log");
    EXPECT_EQ(Log(), NoQuartus("0"));
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(notes.messages[0].text, "fail to load dll - " + program / "VELDARA_DOWNLOAD.DLL");
}

TEST_F(SystemInfoTest, RootWithOnlyBin) {
    std::filesystem::create_directory(elsewhere / "bin");
    ScopedEnv setRoot("QUARTUS_ROOTDIR", elsewhere.Path().c_str());
    ScopedEnv setKit("SOPC_KIT_NIOS2", "/opt/altera/nios2eds");
    ScopedEnv setQsys("QSYS_ROOTDIR", "/opt/altera/quartus/sopc_builder/bin");
    InstallRecordingLibrary(13.1);
    WriteSystemInfo("system.log");
    EXPECT_EQ(Log(), WithRoot("[System]\n"
                              "Quartus Version(x32 Registry)=0\n"
                              "Quartus Version(x64 Registry)=0\n"
                              "Quartus Version(VELDARA_DOWNLOAD.DLL)=13.1\n"
                              "OS=Unknown OS\n"
                              "QUARTUS_ROOTDIR=<root>\n"
                              "SOPC_KIT_NIOS2=/opt/altera/nios2eds\n"
                              "QuartusBin64=\n"
                              "QuartusBin32=<root>/bin\n"
                              "QuartusBin=<root>/bin\n"
                              "QSYS_ROOTDIR=/opt/altera/quartus/sopc_builder/bin\n"));
    EXPECT_TRUE(notes.messages.empty());
}

TEST_F(SystemInfoTest, RootWithBin64AndBin32AndVersionsInTheRegistry) {
    std::filesystem::create_directory(elsewhere / "bin64");
    std::filesystem::create_directory(elsewhere / "bin32");
    ScopedEnv setRoot("QUARTUS_ROOTDIR", elsewhere.Path().c_str());
    WriteRegistry("13.1");
    InstallRecordingLibrary(13.0);
    WriteSystemInfo("system.log");
    EXPECT_EQ(Log(), WithRoot("[System]\n"
                              "Quartus Version(x32 Registry)=13.1\n"
                              "Quartus Version(x64 Registry)=13.1\n"
                              "Quartus Version(VELDARA_DOWNLOAD.DLL)=13\n"
                              "OS=Unknown OS\n"
                              "QUARTUS_ROOTDIR=<root>\n"
                              "SOPC_KIT_NIOS2=\n"
                              "QuartusBin64=<root>/bin64\n"
                              "QuartusBin32=<root>/bin32\n"
                              "QuartusBin=<root>/bin64\n"
                              "QSYS_ROOTDIR=\n"));
}

TEST_F(SystemInfoTest, DecimalCommaLocale) {
    ASSERT_NO_FATAL_FAILURE(UseCommaLocale());
    WriteRegistry("13.1");
    InstallRecordingLibrary(13.1);
    WriteSystemInfo("system.log");
    EXPECT_EQ(Log(), NoQuartus("13,1"));
}

TEST_F(SystemInfoTest, OtherSectionsAndKeysAreKeptAndOldValuesReplaced) {
    std::ofstream(program / "system.log") << "[Panel]\n"
                                             "Started=yes\n"
                                             "[System]\n"
                                             "OS=Win7\n"
                                             "Quartus Version(x32 Registry)=9.1\n"
                                             "Comment=by hand\n";
    WriteSystemInfo("system.log");
    EXPECT_EQ(Log(), "[Panel]\n"
                     "Started=yes\n"
                     "[System]\n"
                     "OS=Unknown OS\n"
                     "Quartus Version(x32 Registry)=0\n"
                     "Comment=by hand\n"
                     "Quartus Version(x64 Registry)=0\n"
                     "Quartus Version(VELDARA_DOWNLOAD.DLL)=0\n"
                     "QUARTUS_ROOTDIR=\n"
                     "SOPC_KIT_NIOS2=\n"
                     "QuartusBin64=\n"
                     "QuartusBin32=\n"
                     "QuartusBin=\n"
                     "QSYS_ROOTDIR=\n");
}

TEST_F(SystemInfoTest, FolderThatCannotBeWrittenRaisesAnErrorNamingTheFile) {
    // Neither the program's folder nor the state folder (under a plain file) can take the file.
    const std::string gone = elsewhere / "gone";
    platform::SetProgramFolder(gone);
    std::ofstream(elsewhere / "blocker") << "a file, not a folder";
    ScopedEnv state("XDG_STATE_HOME", (elsewhere / "blocker").c_str());
    try {
        WriteSystemInfo("system.log");
        FAIL() << "no error for folders that cannot be written";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Unable to write to " + elsewhere / "blocker/qx7mb/system.log" + ": Not a directory");
    }
    // The library's box came first, before anything was written.
    ASSERT_EQ(notes.messages.size(), 1u);
    EXPECT_EQ(notes.messages[0].text, "fail to load dll - " + gone + "/VELDARA_DOWNLOAD.DLL");
}

TEST_F(SystemInfoTest, AnIndependentIniReaderReadsTheTenKeys) {
    ScopedEnv setRoot("QUARTUS_ROOTDIR", "/opt/altera/13.1/quartus");
    WriteRegistry("13.1");
    std::ofstream(program / "system.log") << "[Other]\nk=v\n";
    WriteSystemInfo("system.log");

    const std::string script = "import configparser, sys\n"
                               "p = configparser.ConfigParser(interpolation=None)\n"
                               "p.optionxform = str\n"
                               "p.read_file(open(sys.argv[1]))\n"
                               "print(p.sections())\n"
                               "for k, v in p['System'].items(): print(k + '|' + v)\n";
    std::ofstream(elsewhere / "read.py") << script;
    const std::string command = "python3 " + elsewhere / "read.py" + " " + program / "system.log";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof(buffer), pipe) != nullptr)
        output += buffer;
    ASSERT_EQ(pclose(pipe), 0) << output;
    EXPECT_EQ(output, "['Other', 'System']\n"
                      "Quartus Version(x32 Registry)|13.1\n"
                      "Quartus Version(x64 Registry)|13.1\n"
                      "Quartus Version(VELDARA_DOWNLOAD.DLL)|0\n"
                      "OS|Unknown OS\n"
                      "QUARTUS_ROOTDIR|/opt/altera/13.1/quartus\n"
                      "SOPC_KIT_NIOS2|\n"
                      "QuartusBin64|\n"
                      "QuartusBin32|\n"
                      "QuartusBin|\n"
                      "QSYS_ROOTDIR|\n");
}

} // namespace
