#include "config/Quartusinfo.h"

#include "tests/config/QuartusEnvironment.h"

#include <filesystem>

using testsupport::ScopedEnv;

namespace {

using QuartusinfoTest = QuartusEnvironment;

TEST_F(QuartusinfoTest, VersionIsZeroWithoutRegistryFileKeyOrNumber) {
    EXPECT_EQ(ReadQuartusVersion32(), 0.0);
    EXPECT_EQ(ReadQuartusVersion64(), 0.0);
    std::ofstream(registryFile) << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Altera Corporation\\Quartus]\nOther=1\n";
    EXPECT_EQ(ReadQuartusVersion32(), 0.0);
    EXPECT_EQ(ReadQuartusVersion64(), 0.0);
    for (const char* text : {"", "13.1 SP1", "v13", "13.1.2", "1,3", "."}) {
        WriteRegistry(text);
        EXPECT_EQ(ReadQuartusVersion32(), 0.0) << text;
        EXPECT_EQ(ReadQuartusVersion64(), 0.0) << text;
    }
}

TEST_F(QuartusinfoTest, VersionReadsInBothViews) {
    WriteRegistry("13.1");
    EXPECT_EQ(ReadQuartusVersion32(), 13.1);
    EXPECT_EQ(ReadQuartusVersion64(), 13.1);
    WriteRegistry("15");
    EXPECT_EQ(ReadQuartusVersion32(), 15.0);
    EXPECT_EQ(ReadQuartusVersion64(), 15.0);
}

TEST_F(QuartusinfoTest, OnlyThe64BitReaderIsLimitedTo255Characters) {
    const std::string fits = std::string(251, '0') + "13.1"; // 255 characters and the zero fill 256 bytes
    WriteRegistry(fits);
    EXPECT_EQ(ReadQuartusVersion32(), 13.1);
    EXPECT_EQ(ReadQuartusVersion64(), 13.1);
    WriteRegistry("0" + fits);
    EXPECT_EQ(ReadQuartusVersion32(), 13.1);
    EXPECT_EQ(ReadQuartusVersion64(), 0.0);
}

TEST_F(QuartusinfoTest, VersionFollowsTheUsersDecimalSeparator) {
    ASSERT_NO_FATAL_FAILURE(UseCommaLocale());
    WriteRegistry("13.1");
    EXPECT_EQ(ReadQuartusVersion32(), 0.0);
    EXPECT_EQ(ReadQuartusVersion64(), 0.0);
    WriteRegistry("13,1");
    EXPECT_EQ(ReadQuartusVersion32(), 13.1);
    EXPECT_EQ(ReadQuartusVersion64(), 13.1);
}

TEST_F(QuartusinfoTest, RootAndKitComeFromTheEnvironmentWhole) {
    EXPECT_EQ(GetQuartusRootDir(), "");
    EXPECT_EQ(GetNiosKitDir(), "");
    const std::string longRoot = "/opt/" + std::string(300, 'q');
    ScopedEnv setRoot("QUARTUS_ROOTDIR", longRoot.c_str());
    ScopedEnv setKit("SOPC_KIT_NIOS2", "/opt/nios2eds");
    EXPECT_EQ(GetQuartusRootDir(), longRoot);
    EXPECT_EQ(GetNiosKitDir(), "/opt/nios2eds");
}

TEST_F(QuartusinfoTest, NoRootMeansNoFolderEvenThoughSlashBinExists) {
    ASSERT_TRUE(std::filesystem::is_directory("/bin"));
    EXPECT_EQ(GetQuartusBin64Dir(), "");
    EXPECT_EQ(GetQuartusBin32Dir(), "");
    EXPECT_EQ(GetQuartusBinDir(), "");
    ScopedEnv emptyRoot("QUARTUS_ROOTDIR", "");
    EXPECT_EQ(GetQuartusBin32Dir(), "");
    EXPECT_EQ(GetQuartusBinDir(), "");
}

TEST_F(QuartusinfoTest, RootWithOnlyBin) {
    std::filesystem::create_directory(program / "bin");
    ScopedEnv setRoot("QUARTUS_ROOTDIR", program.Path().c_str());
    EXPECT_EQ(GetQuartusBin64Dir(), "");
    EXPECT_EQ(GetQuartusBin32Dir(), program / "bin");
    EXPECT_EQ(GetQuartusBinDir(), program / "bin");
}

TEST_F(QuartusinfoTest, RootWithBin64AndBin32) {
    for (const char* sub : {"bin64", "bin32", "bin"})
        std::filesystem::create_directory(program / sub);
    ScopedEnv setRoot("QUARTUS_ROOTDIR", program.Path().c_str());
    EXPECT_EQ(GetQuartusBin64Dir(), program / "bin64");
    EXPECT_EQ(GetQuartusBin32Dir(), program / "bin32");
    EXPECT_EQ(GetQuartusBinDir(), program / "bin64");
}

TEST_F(QuartusinfoTest, FilesNamedLikeFoldersDoNotCountAndTheRootIsUsedUnchanged) {
    std::ofstream(program / "bin64") << "not a folder";
    std::filesystem::create_directory(program / "bin32");
    const std::string root = program.Path() + "/";
    ScopedEnv setRoot("QUARTUS_ROOTDIR", root.c_str());
    EXPECT_EQ(GetQuartusBin64Dir(), "");
    EXPECT_EQ(GetQuartusBin32Dir(), root + "/bin32");
    EXPECT_EQ(GetQuartusBinDir(), root + "/bin32");
}

TEST_F(QuartusinfoTest, OsKindsOfWindowsVersionsAndTheirNames) {
    EXPECT_EQ(OsKindOfWindowsVersion(5, 0), OS_WIN2000);
    EXPECT_EQ(OsKindOfWindowsVersion(5, 1), OS_XP);
    EXPECT_EQ(OsKindOfWindowsVersion(5, 2), OS_XP);
    EXPECT_EQ(OsKindOfWindowsVersion(5, 3), OS_UNKNOWN);
    EXPECT_EQ(OsKindOfWindowsVersion(6, 0), OS_VISTA);
    EXPECT_EQ(OsKindOfWindowsVersion(6, 1), OS_WIN7);
    EXPECT_EQ(OsKindOfWindowsVersion(6, 2), OS_WIN8);
    EXPECT_EQ(OsKindOfWindowsVersion(6, 3), OS_WIN8);
    EXPECT_EQ(OsKindOfWindowsVersion(6, 4), OS_UNKNOWN);
    EXPECT_EQ(OsKindOfWindowsVersion(10, 0), OS_UNKNOWN);
    EXPECT_EQ(OsKindOfWindowsVersion(4, 0), OS_UNKNOWN);

    EXPECT_EQ(OsKindName(OS_WIN2000), "WIN2000");
    EXPECT_EQ(OsKindName(OS_XP), "XP");
    EXPECT_EQ(OsKindName(OS_VISTA), "VISTA");
    EXPECT_EQ(OsKindName(OS_WIN7), "Win7");
    EXPECT_EQ(OsKindName(OS_WIN8), "Win8");
    EXPECT_EQ(OsKindName(OS_UNKNOWN), "Unknown OS");
    // Not Windows: the version query fails.
    EXPECT_EQ(GetOsKind(), OS_UNKNOWN);
}

} // namespace
