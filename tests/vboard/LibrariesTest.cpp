// Our editions of the maker's libraries, called through their exports as any program would.
#include "board/DownloadApi.h"
#include "board/JtagApi.h"
#include "platform/DynamicLibrary.h"
#include "platform/Files.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

using testsupport::VBoardProcess;

namespace {

struct JtagLibraryTest : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(library.Load(platform::ProgramFolder() + JTAG_LIBRARY_NAME));
        open = reinterpret_cast<VELDARA_JtagOpen_t>(library.Symbol("VELDARA_JtagOpen"));
        close = reinterpret_cast<VELDARA_JtagClose_t>(library.Symbol("VELDARA_JtagClose"));
        write = reinterpret_cast<VELDARA_JtagWrite_t>(library.Symbol("VELDARA_JtagWrite"));
        read = reinterpret_cast<VELDARA_JtagRead_t>(library.Symbol("VELDARA_JtagRead"));
        getInfo = reinterpret_cast<VELDARA_JtagGetInfo_t>(library.Symbol("VELDARA_JtagGetInfo"));
        ASSERT_TRUE(open && close && write && read && getInfo);
    }

    // Reads until count bytes came or the attempts run out.
    std::string ReadUpTo(uint32_t handle, uint32_t count) {
        std::string got;
        for (int attempt = 0; attempt < 20000 && got.size() < count; ++attempt) {
            char buffer[64];
            const int32_t n =
                read(handle, reinterpret_cast<uint8_t*>(buffer), count - static_cast<uint32_t>(got.size()));
            if (n > 0)
                got.append(buffer, static_cast<std::size_t>(n));
        }
        return got;
    }

    platform::DynamicLibrary library;
    VELDARA_JtagOpen_t open = nullptr;
    VELDARA_JtagClose_t close = nullptr;
    VELDARA_JtagWrite_t write = nullptr;
    VELDARA_JtagRead_t read = nullptr;
    VELDARA_JtagGetInfo_t getInfo = nullptr;
};

const uint8_t PING[] = {0xAA, 0x01, 0x00, 0x00, 0x01, 0x55};

TEST_F(JtagLibraryTest, ReadReturnsWhatHasArrivedWithoutWaitingForTheRest) {
    VBoardProcess server;
    const uint32_t handle = open(0, "");
    ASSERT_NE(handle, 0u);
    ASSERT_NE(write(handle, PING, sizeof PING), 0);
    EXPECT_EQ(ReadUpTo(handle, 7), std::string("\xAA\x01\x01\x00\x00\x02\x55", 7));
    // Nothing more is coming: a read asking for 100 bytes comes back empty, and soon.
    uint8_t buffer[100];
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(read(handle, buffer, sizeof buffer), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    close(handle);
}

TEST_F(JtagLibraryTest, LateRepliesKeepTheirOrder) {
    VBoardProcess server;
    ASSERT_EQ(server.Control("fault delay 100"), "ok fault delay 100");
    const uint32_t handle = open(0, "");
    ASSERT_NE(handle, 0u);
    // A ping and a read of the keys and switches, in one write.
    const uint8_t two[] = {0xAA, 0x01, 0x00, 0x00, 0x01, 0x55, 0xAA, 0x06, 0x00, 0x00, 0x06, 0x55};
    const auto start = std::chrono::steady_clock::now();
    ASSERT_NE(write(handle, two, sizeof two), 0);
    std::string got;
    while (got.size() < 7 + 19 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5))
        got += ReadUpTo(handle, static_cast<uint32_t>(7 + 19 - got.size()));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    ASSERT_EQ(got.size(), 26u);
    EXPECT_EQ(got.substr(0, 7), std::string("\xAA\x01\x01\x00\x00\x02\x55", 7));
    EXPECT_EQ(static_cast<uint8_t>(got[8]), 0x06);
    close(handle);
}

TEST_F(JtagLibraryTest, InfoRecordCarriesTheLinkDescriptionAtOffset112) {
    VBoardProcess server;
    const uint32_t handle = open(0, "");
    ASSERT_NE(handle, 0u);
    uint8_t info[JTAG_INFO_SIZE + 16];
    std::memset(info, 0xCC, sizeof info);
    ASSERT_NE(getInfo(handle, info), 0);
    const char* text = reinterpret_cast<const char*>(info + JTAG_INFO_TEXT_OFFSET);
    const std::size_t length = strnlen(text, JTAG_INFO_SIZE - JTAG_INFO_TEXT_OFFSET);
    EXPECT_GT(length, 0u);
    EXPECT_LT(length, JTAG_INFO_SIZE - JTAG_INFO_TEXT_OFFSET);
    // Nothing is written past the record.
    EXPECT_EQ(info[JTAG_INFO_SIZE], 0xCC);
    close(handle);
}

TEST_F(JtagLibraryTest, UnknownAndClosedHandlesAreRefused) {
    VBoardProcess server;
    VBoardProcess other(1, {"--configured"});
    const uint32_t handle = open(0, "");
    ASSERT_NE(handle, 0u);
    const uint32_t second = open(1, "");
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, handle);
    close(handle);
    uint8_t buffer[8];
    EXPECT_EQ(write(handle, PING, sizeof PING), 0);
    EXPECT_EQ(read(handle, buffer, sizeof buffer), 0);
    EXPECT_EQ(getInfo(handle, buffer), 0);
    EXPECT_EQ(write(0xDEAD, PING, sizeof PING), 0);
    close(0xDEAD);
    // The other link lives on.
    ASSERT_NE(write(second, PING, sizeof PING), 0);
    EXPECT_EQ(ReadUpTo(second, 7).size(), 7u);
    close(second);
}

TEST_F(JtagLibraryTest, WritesFailOnceTheBoardIsGone) {
    uint32_t handle = 0;
    {
        VBoardProcess server;
        handle = open(0, "");
        ASSERT_NE(handle, 0u);
    }
    EXPECT_EQ(write(handle, PING, sizeof PING), 0);
    uint8_t buffer[8];
    EXPECT_EQ(read(handle, buffer, sizeof buffer), 0);
    close(handle);
    EXPECT_EQ(open(0, ""), 0u);
}

TEST(DownloadLibraryTest, AllExportsExistAndTheUncalledOnesReportFailure) {
    platform::DynamicLibrary library;
    ASSERT_TRUE(library.Load(platform::ProgramFolder() + DOWNLOAD_LIBRARY_NAME));
    for (const char* name : DOWNLOAD_EXPORT_NAMES) {
        void* entry = library.Symbol(name);
        ASSERT_NE(entry, nullptr) << name;
        if (std::strcmp(name, "VELDARA_JtagDownload") != 0 && std::strcmp(name, "VELDARA_GetQuatusVersion") != 0) {
            EXPECT_EQ(reinterpret_cast<VELDARA_Unused_t>(entry)(), 0) << name;
        }
    }
    const auto download = reinterpret_cast<VELDARA_JtagDownload_t>(library.Symbol("VELDARA_JtagDownload"));
    EXPECT_EQ(download(nullptr, 20000, 1, 0, 0, 0, 0), 0);
    EXPECT_EQ(download("", 20000, 1, 0, 0, 0, 0), 0);
}

} // namespace
