// The SDRAM commands of qx7mb against a headless virtual board: what they write read back through
// the control socket, verify finding bytes changed behind its back, Ctrl-C and the progress bar.
#include "core/MemoryImage.h"
#include "tests/cli/ToolRunner.h"
#include "tests/support/FileContent.h"
#include "tests/support/OrdinaryUser.h"
#include "tests/support/Recorders.h"
#include "tests/support/VBoardProcess.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <unistd.h>

using clitest::ToolRun;
using testsupport::VBoardProcess;

namespace {

constexpr uint32_t EXCHANGE_WRITE = 32743; // the most one write exchange carries

struct MemoryCommandsTest : ::testing::Test, clitest::ToolRunner {
    MemoryCommandsTest() {
        image.resize(100000);
        uint32_t state = 12345;
        for (auto& byte : image) {
            state = state * 1103515245 + 12345;
            byte = static_cast<uint8_t>(state >> 16);
        }
        Save(files / "image.bin", image);
    }

    static void Save(const std::string& path, const std::vector<uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    static std::string Load(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // The board's bytes at a hexadecimal address, as hexadecimal digits.
    std::string BoardBytes(uint32_t address, uint32_t count) {
        char line[48];
        std::snprintf(line, sizeof line, "mem read %X %u", address, count);
        return board.Control(line).substr(3);
    }

    VBoardProcess board;
    testsupport::TempFolder files;
    std::vector<uint8_t> image;
};

TEST_F(MemoryCommandsTest, WriteReadAndVerifyRawAndHexImages) {
    ToolRun run = Call({"mem", "write", "4K", files / "image.bin", "--verify"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("wrote 100000 bytes"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("verified 100000 bytes from 0x0001000"), std::string::npos) << run.out;
    EXPECT_EQ(BoardBytes(0x1000, 4), BytesToHex(image.data(), 4));
    EXPECT_EQ(BoardBytes(0x1000 + 99996, 4), BytesToHex(image.data() + 99996, 4));
    EXPECT_EQ(BoardBytes(0x1000 + 100000, 1), "00");

    run = Call({"--json", "mem", "read", "0x1000", "100000", files / "back.HEX"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Json()["bytes"], 100000);
    EXPECT_EQ(Load(files / "back.HEX"), BytesToHex(image.data(), image.size()));
    EXPECT_EQ(Call({"mem", "read", "4096", "100000", files / "back.bin"}).code, 0);
    EXPECT_EQ(Load(files / "back.bin"), Load(files / "image.bin"));

    // A .HEX image goes in as the bytes it spells.
    std::ofstream(files / "five.hex") << "0011aaBBff";
    EXPECT_EQ(Call({"mem", "write", "0x10", files / "five.hex"}).code, 0);
    EXPECT_EQ(BoardBytes(0x10, 6), "0011AABBFF00");
    run = Call({"--json", "mem", "verify", "0x1000", files / "back.HEX"});
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.Json()["differences"], 0);
}

TEST_F(MemoryCommandsTest, VerifyFindsBytesChangedBehindItsBack) {
    ASSERT_EQ(Call({"mem", "write", "0x20000", files / "image.bin"}).code, 0);
    // Two bytes changed in the second exchange of the read-back and one in the third.
    for (const uint32_t offset : {40000u, 40001u, 70000u}) {
        const uint8_t changed = image[offset] ^ 0xFF;
        char line[48];
        std::snprintf(line, sizeof line, "mem write %X %02X", 0x20000 + offset, changed);
        ASSERT_EQ(board.Control(line), "ok wrote 1");
    }

    ToolRun run = Call({"--json", "mem", "verify", "0x20000", files / "image.bin"});
    EXPECT_EQ(run.code, 3);
    const nlohmann::json json = run.Json();
    EXPECT_EQ(json["ok"], false);
    EXPECT_EQ(json["differences"], 3);
    EXPECT_EQ(json["first_difference"], 0x20000 + 40000);
    EXPECT_EQ(run.err, "qx7mb: 3 of 100000 bytes differ from " + files / "image.bin" + ", the first at 0x0029C40\n");
}

TEST_F(MemoryCommandsTest, ARangeMayEndAtTheLastByteOfTheSdramButNotPastIt) {
    Save(files / "tail.bin", {0x11, 0x22, 0x33, 0x44});
    EXPECT_EQ(Call({"mem", "write", "0x3FFFFFC", files / "tail.bin"}).code, 0);
    EXPECT_EQ(BoardBytes(0x3FFFFFC, 4), "11223344");
    ToolRun run = Call({"mem", "read", "0x3FFFFFF", "1", files / "last.bin"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Load(files / "last.bin"), "\x44");
    EXPECT_EQ(Call({"mem", "read", "0x3FFFFFF", "2", files / "past.bin"}).code, 2);
    EXPECT_EQ(Call({"mem", "write", "0x3FFFFFD", files / "tail.bin"}).code, 2);
}

TEST_F(MemoryCommandsTest, CtrlCEndsATransferAfterItsCurrentExchange) {
    clitest::InterruptionAfter ctrlC(3);
    interruption = &ctrlC;
    ToolRun run = Call({"--json", "mem", "write", "0", files / "image.bin"});
    EXPECT_EQ(run.code, 130);
    EXPECT_EQ(run.Json()["done"], 3 * EXCHANGE_WRITE);
    EXPECT_EQ(run.err, "qx7mb: write interrupted after 98229 of 100000 bytes\n");
    EXPECT_EQ(BoardBytes(3 * EXCHANGE_WRITE - 1, 1), BytesToHex(&image[3 * EXCHANGE_WRITE - 1], 1));
    EXPECT_EQ(BoardBytes(3 * EXCHANGE_WRITE, 4), "00000000");

    // An interrupted read writes no file.
    clitest::InterruptionAfter again(1);
    interruption = &again;
    run = Call({"mem", "read", "0", "1M", files / "dump.bin"});
    EXPECT_EQ(run.code, 130);
    EXPECT_NE(run.err.find("was not written"), std::string::npos);
    EXPECT_FALSE(std::ifstream(files / "dump.bin").good());
}

// Ctrl-C while the image is saved: the save is given up, and nothing of it stays behind.
TEST_F(MemoryCommandsTest, CtrlCDuringTheSaveLeavesNoFileBehind) {
    struct CtrlCOnceSaving : cli::Interruption {
        explicit CtrlCOnceSaving(std::string folder) : folder(std::move(folder)) {}
        bool Requested() override {
            for (const auto& entry : std::filesystem::directory_iterator(folder)) {
                if (entry.path().extension() == ".part")
                    return true;
            }
            return false;
        }
        std::string folder;
    } ctrlC(files.Path());
    interruption = &ctrlC;
    const ToolRun run = Call({"mem", "read", "0", "4M", files / "dump.bin"});
    EXPECT_EQ(run.code, 130);
    EXPECT_NE(run.err.find(files / "dump.bin" + " was not written"), std::string::npos) << run.err;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(files.Path()), {}), 1) << "only image.bin";
}

// "link/.." is the parent of the link's target, as the kernel resolves it, not the link's own folder.
TEST_F(MemoryCommandsTest, AFileNameThroughALinkAndUpGoesWhereTheKernelSays) {
    std::filesystem::create_directories(files / "real/inner");
    std::filesystem::create_directory_symlink(files / "real/inner", files / "linkdir");
    ASSERT_EQ(Call({"mem", "read", "0", "16", files / "linkdir/../x.bin"}).code, 0);
    EXPECT_TRUE(std::filesystem::exists(files / "real/x.bin"));
    EXPECT_FALSE(std::filesystem::exists(files / "x.bin"));
}

// Another user's link in a folder that everyone may write (/tmp) is not followed, even by root, whom
// no permission stops: the file it points at stays as it was.
TEST_F(MemoryCommandsTest, AnotherUsersLinkInASharedStickyFolderIsNotFollowed) {
    if (!testsupport::OrdinaryUser::IsRoot())
        GTEST_SKIP() << "a link of another user needs the superuser to make";
    const std::string shared = files / "shared";
    std::filesystem::create_directory(shared);
    ASSERT_EQ(chmod(shared.c_str(), 01777), 0);
    testsupport::WriteFile(files / "precious", "root's own");
    std::filesystem::create_symlink(files / "precious", shared + "/dump.bin");
    ASSERT_EQ(
        lchown((shared + "/dump.bin").c_str(), testsupport::OrdinaryUser::Uid(), testsupport::OrdinaryUser::Gid()), 0);
    const ToolRun run = Call({"mem", "read", "0", "16", shared + "/dump.bin"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("symbolic link of another user"), std::string::npos) << run.err;
    EXPECT_EQ(testsupport::ReadFile(files / "precious"), "root's own");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shared), {}), 1);
}

TEST_F(MemoryCommandsTest, ProgressIsDrawnOnlyForAPersonWatching) {
    ToolRun run = Call({"mem", "write", "0", files / "image.bin"});
    ASSERT_EQ(run.code, 0);
    EXPECT_EQ(run.err, "");
    terminal = true;
    run = Call({"mem", "write", "0", files / "image.bin", "--verify"});
    ASSERT_EQ(run.code, 0);
    EXPECT_EQ(run.err.find("\rmem write [--------------------]   0%  0.0 of 0.1 MiB"), 0u) << run.err;
    EXPECT_NE(run.err.find("\rmem write [####################] 100%  0.1 of 0.1 MiB"), std::string::npos);
    EXPECT_NE(run.err.find("\rmem verify [####################] 100%"), std::string::npos);
    // Each bar ends its line; the results stay on standard output.
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 2);
    EXPECT_NE(run.out.find("verified"), std::string::npos);
}

} // namespace
