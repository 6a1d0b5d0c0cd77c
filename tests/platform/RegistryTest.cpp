#include "platform/Registry.h"

#include "tests/support/Recorders.h"

#include <fstream>
#include <gtest/gtest.h>

using testsupport::ScopedEnv;
using testsupport::TempFolder;

namespace {

const char* QUARTUS_KEY = "SOFTWARE\\Altera Corporation\\Quartus";

struct RegistryTest : ::testing::Test {
    void Write(const std::string& text) { std::ofstream(folder / "registry.ini") << text; }
    TempFolder folder;
    ScopedEnv env{"QX7MB_REGISTRY", (folder / "registry.ini").c_str()};
};

TEST_F(RegistryTest, ValuesMatchIgnoringCaseInBothViews) {
    Write("; Quartus as installed here\n"
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
          "Quartus Version=9.9\n"
          "[hkey_local_machine\\software\\altera corporation\\QUARTUS]\n"
          "  quartus version = 13.1 \r\n"
          "Quartus Install Directory=\"/opt/altera/13.1/quartus\"\n");
    std::string value = "unset";
    EXPECT_TRUE(
        platform::ReadLocalMachineString(platform::RegistryView::Default, QUARTUS_KEY, "Quartus Version", value));
    EXPECT_EQ(value, "13.1");
    EXPECT_TRUE(
        platform::ReadLocalMachineString(platform::RegistryView::View64, QUARTUS_KEY, "Quartus Version", value));
    EXPECT_EQ(value, "13.1");
    EXPECT_TRUE(platform::ReadLocalMachineString(platform::RegistryView::Default, QUARTUS_KEY,
                                                 "QUARTUS INSTALL DIRECTORY", value));
    EXPECT_EQ(value, "/opt/altera/13.1/quartus");
}

TEST_F(RegistryTest, MissingFileKeyOrValueLeavesTheOutputAlone) {
    std::string value = "kept";
    EXPECT_FALSE(
        platform::ReadLocalMachineString(platform::RegistryView::Default, QUARTUS_KEY, "Quartus Version", value));
    Write("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Altera Corporation\\Quartus]\nOther=1\n"
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Altera Corporation\\Quartus\\Sub]\nQuartus Version=1\n");
    EXPECT_FALSE(
        platform::ReadLocalMachineString(platform::RegistryView::Default, QUARTUS_KEY, "Quartus Version", value));
    EXPECT_FALSE(platform::ReadLocalMachineString(platform::RegistryView::Default, "SOFTWARE\\None", "Other", value));
    EXPECT_EQ(value, "kept");
}

TEST_F(RegistryTest, FileDefaultsToTheSystemPlace) {
    ScopedEnv unset("QX7MB_REGISTRY", nullptr);
    EXPECT_EQ(platform::RegistryFilePath(), "/etc/qx7mb/registry.ini");
    EXPECT_FALSE(platform::HasNativeRegistry());
}

} // namespace
