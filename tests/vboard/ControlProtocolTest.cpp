// The board server's control lines, against a board in this process.
#include "vboard/ControlProtocol.h"

#include <gtest/gtest.h>

namespace {

struct ControlProtocolTest : ::testing::Test {
    vboard::VirtualBoard board{true};
    vboard::ControlProtocol protocol{board};

    std::string Run(const std::string& line) { return protocol.Execute(line); }
    bool IsError(const std::string& reply) { return reply.rfind("error: ", 0) == 0; }
};

TEST_F(ControlProtocolTest, FreshBoardState) {
    vboard::VirtualBoard fresh(false);
    vboard::ControlProtocol p(fresh);
    EXPECT_EQ(p.Execute("state"),
              "ok configured=0 design=- link=closed leds=0x000 hex=0x000000 keys=0x0 switches=0x000 sd=sdhc vga=- sdram=ok");
    EXPECT_EQ(Run("state"), "ok configured=1 design=QX7MB_ControlPanel link=closed leds=0x000 hex=0x000000 keys=0x0 "
                            "switches=0x000 sd=sdhc vga=- sdram=ok");
}

TEST_F(ControlProtocolTest, KeysAndSwitches) {
    EXPECT_EQ(Run("key 3 down"), "ok key 3 down");
    EXPECT_EQ(Run("key 0x1 down"), "ok key 1 down");
    EXPECT_EQ(Run("switch 9 on"), "ok switch 9 on");
    EXPECT_EQ(Run("switch 0 on"), "ok switch 0 on");
    EXPECT_EQ(Run("key 3 up"), "ok key 3 up");
    const auto s = board.Snapshot();
    EXPECT_EQ(s.keys, 0x2u);
    EXPECT_EQ(s.switches, 0x201u);
    for (const char* bad : {"key 4 down", "key -1 down", "key 1", "key 1 pressed", "key x down", "key 1 down now",
                            "switch 10 on", "switch 1 up", "switch", "key 01x down", "key 4294967297 down"})
        EXPECT_TRUE(IsError(Run(bad))) << bad;
    EXPECT_EQ(board.Snapshot().keys, 0x2u);
    EXPECT_EQ(board.Snapshot().switches, 0x201u);
}

TEST_F(ControlProtocolTest, SdCards) {
    EXPECT_EQ(Run("sd none"), "ok sd none");
    EXPECT_EQ(board.Snapshot().sdProfile, "none");
    EXPECT_EQ(Run("sd sdsc"), "ok sd sdsc");
    EXPECT_EQ(Run("sd custom 00112233445566778899AABBCCDDEEFF ffeeddccbbaa99887766554433221100 0x2"), "ok sd custom");
    board.Inspect([](const vboard::Firmware& f) {
        EXPECT_EQ(f.card.csd[0], 0x00);
        EXPECT_EQ(f.card.csd[15], 0xFF);
        EXPECT_EQ(f.card.cid[0], 0xFF);
        EXPECT_EQ(f.card.fileSystem, 2);
        EXPECT_TRUE(f.card.present);
        EXPECT_FALSE(f.card.highCapacity);
    });
    EXPECT_EQ(Run("sd custom 400E00325B5900001DFF7F800A400001 1D4144534420202010A0000001014B01 1"), "ok sd custom");
    board.Inspect([](const vboard::Firmware& f) { EXPECT_TRUE(f.card.highCapacity); });
    for (const char* bad : {"sd", "sd sdxc", "sd custom 0011 2233 1", "sd custom 00112233445566778899AABBCCDDEEFF",
                            "sd custom 00112233445566778899AABBCCDDEEFG 00112233445566778899AABBCCDDEEFF 1",
                            "sd custom 00112233445566778899AABBCCDDEEFF 00112233445566778899AABBCCDDEEFF 256"})
        EXPECT_TRUE(IsError(Run(bad))) << bad;
    EXPECT_EQ(board.Snapshot().sdProfile, "custom");
}

TEST_F(ControlProtocolTest, Memory) {
    EXPECT_EQ(Run("mem write 3FFFFFC 01 02 0304"), "ok wrote 4");
    EXPECT_EQ(Run("mem read 0x3FFFFFB 5"), "ok 0001020304");
    EXPECT_EQ(Run("mem read 0 4096").size(), 3u + 8192u);
    for (const char* bad : {"mem read 0 4097", "mem read 0 0", "mem read 3FFFFFF 2", "mem read G 1", "mem read 0",
                            "mem write 3FFFFFF 0102", "mem write 0 123", "mem write 0 zz", "mem write 0",
                            "mem write 100000000 00", "mem peek 0 1"})
        EXPECT_TRUE(IsError(Run(bad))) << bad;
    EXPECT_EQ(Run("mem read 3FFFFFF 1"), "ok 04");
}

TEST_F(ControlProtocolTest, FaultsAreSetAndCleared) {
    EXPECT_EQ(Run("fault name Other Board"), "ok fault name Other Board");
    EXPECT_EQ(Run("fault silent on"), "ok fault silent on");
    EXPECT_EQ(Run("fault delay 250"), "ok fault delay 250");
    EXPECT_EQ(Run("fault checksum"), "ok fault checksum");
    EXPECT_EQ(Run("fault echo"), "ok fault echo");
    EXPECT_EQ(Run("fault flood 0x10"), "ok fault flood 16");
    EXPECT_EQ(Run("fault vgaprobe on"), "ok fault vgaprobe on");
    board.Inspect([](const vboard::Firmware& f) {
        EXPECT_TRUE(f.faults.nameOverride);
        EXPECT_EQ(f.faults.name, "Other Board");
        EXPECT_TRUE(f.faults.silent);
        EXPECT_EQ(f.faults.delayMs, 250u);
        EXPECT_TRUE(f.faults.wrongChecksum);
        EXPECT_TRUE(f.faults.wrongEcho);
        EXPECT_EQ(f.faults.floodBytes, 16u);
        EXPECT_TRUE(f.faults.refuseVgaProbe);
    });
    EXPECT_EQ(Run("fault drop"), "ok fault drop");
    EXPECT_TRUE(board.TakeDropRequest());
    EXPECT_FALSE(board.TakeDropRequest());
    EXPECT_EQ(Run("fault clear"), "ok fault clear");
    board.Inspect([](const vboard::Firmware& f) {
        EXPECT_FALSE(f.faults.nameOverride);
        EXPECT_FALSE(f.faults.silent);
        EXPECT_EQ(f.faults.delayMs, 0u);
        EXPECT_EQ(f.faults.floodBytes, 0u);
    });
    for (const char* bad : {"fault", "fault name", "fault name ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456", "fault silent",
                            "fault silent yes", "fault delay", "fault delay 60001", "fault delay -5",
                            "fault flood 1048577", "fault checksum now", "fault drop 1", "fault melt"})
        EXPECT_TRUE(IsError(Run(bad))) << bad;
}

TEST_F(ControlProtocolTest, ConfigureAndReset) {
    EXPECT_TRUE(IsError(Run("configure")));
    EXPECT_TRUE(IsError(Run("configure /nonexistent/file.sof")));
    EXPECT_EQ(board.Snapshot().configured, true);
    Run("fault vgaprobe on");
    EXPECT_EQ(Run("reset"), "ok reset");
    EXPECT_FALSE(board.Snapshot().configured);
    EXPECT_EQ(board.Snapshot().design, "");
    EXPECT_TRUE(IsError(Run("reset now")));
}

TEST_F(ControlProtocolTest, MalformedLines) {
    EXPECT_TRUE(IsError(Run("")));
    EXPECT_TRUE(IsError(Run("hello")));
    EXPECT_TRUE(IsError(Run("STATE")));
    EXPECT_TRUE(IsError(Run("state now")));
    EXPECT_TRUE(IsError(Run(std::string("key 1\0down", 10))));
    EXPECT_TRUE(IsError(Run("key 1\tdown")));
    EXPECT_TRUE(IsError(Run(std::string(8193, 'a'))));
    EXPECT_EQ(Run("mem write 0 " + std::string(8180, '1')), "ok wrote 4090");
}

TEST_F(ControlProtocolTest, ListenersHearChanges) {
    int heard = 0;
    const int id = board.AddListener([&] { ++heard; });
    Run("key 1 down");
    Run("sd none");
    EXPECT_EQ(heard, 2);
    board.RemoveListener(id);
    Run("key 1 up");
    EXPECT_EQ(heard, 2);
}

} // namespace
