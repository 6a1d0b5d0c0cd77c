#include "config/IniFile.h"

#include "tests/support/Recorders.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <stdexcept>

using testsupport::ScopedEnv;
using testsupport::TempFolder;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() {
        std::ifstream file(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    TempFolder folder;
    std::string path = folder / "settings.ini";
    IniFile ini{path};
    ScopedEnv locale{"LC_ALL", "C"};
};

TEST_F(IniFileTest, CreatesTheFileWithTheSectionAndKeysInOrder) {
    ini.WriteString("System", "OS", "Unknown OS");
    ini.WriteString("System", "Empty", "");
    ini.WriteFloat("System", "Version", 13.1);
    EXPECT_EQ(Read(), "[System]\nOS=Unknown OS\nEmpty=\nVersion=13.1\n");
}

TEST_F(IniFileTest, ReplacesAValueInPlaceAndKeepsEverythingElse) {
    Write("; written by hand\n"
          "top=level\n"
          "[Other]\n"
          "OS=kept\n"
          "\n"
          "[SYSTEM]\n"
          "  os = Win7\n"
          "Quartus=9.1\n"
          "noequals\n"
          "\n"
          "[Last]\n"
          "x=1");
    ini.WriteString("System", "OS", "Unknown OS");
    ini.WriteString("system", "QUARTUS", "13.1");
    ini.WriteString("System", "New", "v");
    EXPECT_EQ(Read(), "; written by hand\n"
                      "top=level\n"
                      "[Other]\n"
                      "OS=kept\n"
                      "\n"
                      "[SYSTEM]\n"
                      "os=Unknown OS\n"
                      "Quartus=13.1\n"
                      "noequals\n"
                      "New=v\n"
                      "\n"
                      "[Last]\n"
                      "x=1\n");
}

TEST_F(IniFileTest, AddsAMissingSectionAtTheEnd) {
    Write("[Other]\nk=v\n");
    ini.WriteString("System", "OS", "Unknown OS");
    ini.WriteString("System", "OS", "again");
    EXPECT_EQ(Read(), "[Other]\nk=v\n[System]\nOS=again\n");
}

TEST_F(IniFileTest, CommentsAndOtherSectionsDoNotMatch) {
    Write("[System]\n;OS=commented\n[System2]\nOS=other\n");
    ini.WriteString("System", "OS", "new");
    EXPECT_EQ(Read(), "[System]\n;OS=commented\nOS=new\n[System2]\nOS=other\n");
}

TEST_F(IniFileTest, KeepsWindowsLineEnds) {
    Write("[System]\r\nOS=Win7\r\n[Other]\r\nk=v\r\n");
    ini.WriteString("System", "OS", "Unknown OS");
    ini.WriteString("System", "QSYS_ROOTDIR", "");
    EXPECT_EQ(Read(), "[System]\r\nOS=Unknown OS\r\nQSYS_ROOTDIR=\r\n[Other]\r\nk=v\r\n");
}

TEST_F(IniFileTest, LineBreaksInAValueCannotAddKeysOrSections) {
    ini.WriteString("System", "QUARTUS_ROOTDIR", "/opt/q\n[Evil]\r\nOS=forged");
    ini.WriteString("System", "OS", "Unknown OS");
    EXPECT_EQ(Read(), "[System]\nQUARTUS_ROOTDIR=/opt/q [Evil]  OS=forged\nOS=Unknown OS\n");
}

TEST_F(IniFileTest, FailureToWriteNamesTheFileAndTheReason) {
    IniFile missingFolder(folder / "gone/settings.ini");
    try {
        missingFolder.WriteString("System", "OS", "x");
        FAIL() << "no error for a folder that does not exist";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Unable to write to " + folder / "gone/settings.ini" + ": No such file or directory");
    }

    std::filesystem::create_directory(path);
    try {
        ini.WriteFloat("System", "Version", 1.0);
        FAIL() << "no error for a file name that is a folder";
    } catch (const std::runtime_error& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + path + ": Is a directory");
    }
}

} // namespace
