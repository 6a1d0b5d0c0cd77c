#include "platform/Clock.h"
#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "platform/Notify.h"
#include "tests/support/FakeClock.h"
#include "tests/support/Recorders.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

using testsupport::FakeClock;
using testsupport::NotifyRecorder;
using testsupport::ScopedEnv;
using testsupport::TempFolder;

namespace {

TEST(Clock, SubstituteClockReplacesAndRestoresTheTickCounter) {
    {
        FakeClock clock(0xFFFFFFFEu, 1);
        EXPECT_EQ(platform::GetTickCount(), 0xFFFFFFFEu);
        EXPECT_EQ(platform::GetTickCount(), 0xFFFFFFFFu);
        EXPECT_EQ(platform::GetTickCount(), 0u); // wraps like the system's counter
    }
    const uint32_t a = platform::GetTickCount();
    const uint32_t b = platform::GetTickCount();
    EXPECT_LT(static_cast<uint32_t>(b - a), 1000u);
}

TEST(Notify, HandlersSeeEveryBeepAndBoxInOrder) {
    NotifyRecorder notes;
    platform::Beep();
    platform::ShowMessage(platform::MessageKind::Warning, "first");
    platform::ShowMessage(platform::MessageKind::Error, "second");
    EXPECT_EQ(notes.beeps, 1);
    ASSERT_EQ(notes.messages.size(), 2u);
    EXPECT_EQ(notes.messages[0].text, "first");
    EXPECT_EQ(notes.messages[1].kind, platform::MessageKind::Error);
}

TEST(Files, ProgramFolderIsTheExecutablesFolderWithASlash) {
    const std::string folder = platform::ProgramFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    EXPECT_TRUE(platform::FileExists(folder + "test_platform"));
    platform::SetProgramFolder("/somewhere/else");
    EXPECT_EQ(platform::ProgramFolder(), "/somewhere/else/");
    platform::SetProgramFolder("");
    EXPECT_EQ(platform::ProgramFolder(), folder);
}

TEST(Files, FolderAndFileTests) {
    TempFolder folder;
    std::filesystem::create_directory(folder / "sub");
    std::ofstream(folder / "file") << "x";
    EXPECT_TRUE(platform::FolderExists(folder / "sub"));
    EXPECT_FALSE(platform::FolderExists(folder / "file"));
    EXPECT_TRUE(platform::FileExists(folder / "file"));
    EXPECT_FALSE(platform::FileExists(folder / "sub"));
    EXPECT_FALSE(platform::FolderExists(""));
    const std::string start = platform::GetWorkingFolder();
    EXPECT_TRUE(platform::SetWorkingFolder(folder / "sub"));
    EXPECT_EQ(std::filesystem::canonical(platform::GetWorkingFolder()), std::filesystem::canonical(folder / "sub"));
    EXPECT_FALSE(platform::SetWorkingFolder(folder / "missing"));
    EXPECT_TRUE(platform::SetWorkingFolder(start));
}

TEST(Files, LongEnvironmentValuesAreReadWhole) {
    const std::string longValue(600, 'q');
    ScopedEnv env("QX7MB_TEST_VALUE", longValue.c_str());
    std::string value;
    EXPECT_TRUE(platform::GetEnv("QX7MB_TEST_VALUE", value));
    EXPECT_EQ(value, longValue);
    ScopedEnv unset("QX7MB_TEST_VALUE", nullptr);
    value = "kept";
    EXPECT_FALSE(platform::GetEnv("QX7MB_TEST_VALUE", value));
    EXPECT_EQ(value, "kept");
}

TEST(DynamicLibrary, MissingFileOrSymbolGivesNothing) {
    platform::DynamicLibrary library;
    EXPECT_FALSE(library.Load("/nonexistent/VELDARA_JTAG.DLL"));
    EXPECT_FALSE(library.IsLoaded());
    EXPECT_EQ(library.Symbol("VELDARA_JtagOpen"), nullptr);
}

} // namespace
