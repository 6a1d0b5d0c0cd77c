// JTAG traces: qx7mb runs traced through each edition of VELDARA_JTAG.DLL against a misbehaving
// virtual board, then "qx7mb trace" on the file; and the writer's limit and kept bytes, decoded.
#include "board/JtagTrace.h"
#include "board/Protocol.h"
#include "board/TraceDecoder.h"
#include "board/TraceWriter.h"
#include "platform/DynamicLibrary.h"
#include "tests/cli/ToolRunner.h"
#include "tests/hardware/StandinQuartus.h"
#include "tests/support/StderrCapture.h"
#include "tests/support/VBoardProcess.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>

using clitest::ToolRun;
using jtagtrace::TraceEvent;
using testsupport::ScopedEnv;

namespace {

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

class TracedRunTest : public ::testing::TestWithParam<bool>, public clitest::ToolRunner {
protected:
    void SetUp() override {
        if (!GetParam())
            return;
        quartus.emplace();
        ASSERT_TRUE(hardware.Load(std::string(QX7MB_HARDWARE_DIR) + "/" + JTAG_LIBRARY_NAME));
        TJtagApi api;
        ASSERT_TRUE(LookUpJtagApi(hardware, api));
        jtagApi = api;
    }

    testsupport::VBoardProcess board;
    testsupport::TempFolder folder;
    std::optional<hardwaretest::StandinQuartus> quartus;
    platform::DynamicLibrary hardware;
};

TEST_P(TracedRunTest, EveryFrameOfARunIsDecodedWithStrayBytesBadChecksumsAndGaps) {
    const std::string trace = folder / "jtag.trace";
    const std::string image = folder / "image.bin";
    std::ofstream(image, std::ios::binary) << std::string(70000, '\x5A');
    {
        ScopedEnv traced("QX7MB_TRACE", trace.c_str());
        ASSERT_EQ(Call({"--no-configure", "leds", "0x3FF"}).code, 0);
        ASSERT_EQ(Call({"--no-configure", "mem", "write", "0", image}).code, 0);
        // Three stale bytes before the probe's reply, then a reply with a wrong checksum, then
        // replies 40 ms late.
        board.Control("fault flood 3");
        ASSERT_EQ(Call({"--no-configure", "inputs"}).code, 0);
        board.Control("fault checksum");
        ASSERT_EQ(Call({"--no-configure", "hex", "0123AB"}).code, 0);
        board.Control("fault delay 40");
        ASSERT_EQ(Call({"--no-configure", "leds", "1"}).code, 0);
    }
    const ToolRun run = Call({"trace", trace, "--gap", "30"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string& out = run.out;
    EXPECT_EQ(Count(out, "opened\n"), 5u) << out;
    EXPECT_EQ(Count(out, "closed\n"), 5u);
    EXPECT_NE(out.find(GetParam() ? "hardware edition" : "virtual edition"), std::string::npos);
    EXPECT_NE(out.find("host   QueryBoardName       0x00  length     0  checksum ok\n"), std::string::npos) << out;
    EXPECT_NE(out.find("board  QueryBoardName       0x00  length    33  checksum ok  status 0 \"TZ8\"  reply after "),
              std::string::npos);
    EXPECT_NE(out.find("host   SetLeds              0x05  length     4  checksum ok  mask 0x3FF\n"), std::string::npos);
    // 70000 bytes: two chunks of 32743 and the rest, each kept by its ends and the sum of the middle.
    EXPECT_NE(out.find("MemoryWrite          0x0C  length 32748  checksum ok  SDRAM 0x0000000, 32743 bytes\n"),
              std::string::npos);
    EXPECT_NE(out.find("MemoryWrite          0x0C  length  4519  checksum ok  SDRAM 0x000FFCE, 4514 bytes\n"),
              std::string::npos);
    EXPECT_NE(out.find("board  STRAY 3 bytes outside any frame: 00 00 00\n"), std::string::npos);
    EXPECT_EQ(Count(out, "checksum BAD"), 1u);
    EXPECT_NE(out.find("board  QueryBoardName       0x00  length    33  checksum BAD"), std::string::npos);
    EXPECT_GE(Count(out, "GAP of "), 2u);

    const nlohmann::json json = Call({"--json", "trace", trace, "--gap", "30"}).Json();
    EXPECT_TRUE(json["complete"]);
    EXPECT_EQ(json["links"].size(), 5u);
    EXPECT_EQ(json["summary"]["bad_checksums"], 1);
    EXPECT_EQ(json["summary"]["stray_bytes"], 3);
    EXPECT_EQ(json["summary"]["incomplete"], 0);
    // Every request has its reply, however the board's bytes were read.
    int requests = 0;
    int replies = 0;
    for (const nlohmann::json& link : json["links"]) {
        for (const nlohmann::json& event : link["events"]) {
            if (event["type"] == "frame")
                ++(event["from"] == "board" ? replies : requests);
        }
    }
    EXPECT_EQ(requests, replies);
    EXPECT_EQ(json["summary"]["frames"], requests + replies);
    EXPECT_GE(requests, 12);
}

TEST_P(TracedRunTest, AFileThatIsNotATraceIsLeftAloneAndTheRunGoesOnUntraced) {
    const std::string other = folder / "notes.txt";
    std::ofstream(other) << "my notes\n";
    testsupport::StderrCapture errors;
    {
        ScopedEnv traced("QX7MB_TRACE", other.c_str());
        EXPECT_EQ(Call({"--no-configure", "leds", "5"}).code, 0);
    }
    EXPECT_EQ(board.Field("leds"), "0x005");
    std::ifstream in(other);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "my notes\n");
    EXPECT_EQ(errors.Lines(), std::vector<std::string>{"VELDARA_JTAG.DLL: no trace: " + other +
                                                       " holds something other than a JTAG trace; name a new file"});
    EXPECT_EQ(Call({"trace", other}).err, "qx7mb: " + other + " is not a JTAG trace (QX7MB_TRACE writes them)\n");
}

INSTANTIATE_TEST_SUITE_P(Editions, TracedRunTest, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Hardware" : "Virtual";
});

std::vector<uint8_t> Frame(uint8_t command, const std::vector<uint8_t>& payload) {
    const uint32_t n = static_cast<uint32_t>(payload.size());
    std::vector<uint8_t> frame(n + PKT_OVERHEAD);
    frame[0] = PKT_START;
    frame[1] = command;
    frame[2] = static_cast<uint8_t>(n);
    frame[3] = static_cast<uint8_t>(n >> 8);
    std::copy(payload.begin(), payload.end(), frame.begin() + PKT_HEAD_LEN);
    frame[PKT_HEAD_LEN + n] = FrameSum(frame.data() + 1, PKT_HEAD_LEN - 1 + n);
    frame[PKT_HEAD_LEN + n + 1] = PKT_END;
    return frame;
}

TEST(TraceFileTest, LongCallsKeepTheirChecksumAndTheFileStopsAtItsLimit) {
    testsupport::TempFolder folder;
    const std::string path = folder / "jtag.trace";
    std::ofstream(folder / "other") << "not a trace";
    std::string error;
    EXPECT_FALSE(jtagtrace::TraceWriter().Open(folder / "other", error));
    EXPECT_NE(error.find("holds something other than a JTAG trace"), std::string::npos) << error;

    constexpr uint64_t LIMIT = 4096;
    std::vector<uint8_t> chunk(MEM_WRITE_HEADER_LEN + MEM_WRITE_CHUNK_MAX, 0x3C);
    chunk[0] = MEM_TYPE_SDRAM;
    const std::vector<uint8_t> request = Frame(CMD_MEMORY_WRITE, chunk);
    std::vector<uint8_t> spoilt = request;
    spoilt[1000] ^= 0x01; // in the middle, which the trace only sums
    const std::vector<uint8_t> reply = Frame(CMD_MEMORY_WRITE, {0});
    // A start marker whose length is past the limit, then stale bytes before the reply.
    const std::vector<uint8_t> noise = {0xAA, 0x00, 0xFF, 0xFF};
    {
        jtagtrace::TraceWriter writer(LIMIT);
        ASSERT_TRUE(writer.Open(path, error)) << error;
        writer.Opened(7, 0, "test edition", 1000, 2000);
        writer.Moved(jtagtrace::Kind::Write, 7, true, 32748 + 6, request.data(), 32748 + 6, 3000, 4000);
        writer.EmptyRead(7, 5000, 6000);
        writer.EmptyRead(7, 6000, 7000);
        writer.Moved(jtagtrace::Kind::Read, 7, true, 4, noise.data(), 4, 8000, 9000);
        // The reply in three reads, the second cut inside its head.
        writer.Moved(jtagtrace::Kind::Read, 7, true, 4, reply.data(), 2, 10000, 11000);
        writer.Moved(jtagtrace::Kind::Read, 7, true, 4, reply.data() + 2, 3, 12000, 13000);
        writer.Moved(jtagtrace::Kind::Read, 7, true, 4, reply.data() + 5, 2, 14000, 15000);
        writer.Moved(jtagtrace::Kind::Write, 7, true, 32748 + 6, spoilt.data(), 32748 + 6, 16000, 17000);
        writer.Moved(jtagtrace::Kind::Write, 7, false, 6, reply.data(), 6, 17000, 18000);
        for (uint64_t i = 0; i < 100; ++i)
            writer.Moved(jtagtrace::Kind::Write, 7, true, 7, reply.data(), 7, 20000 + i, 20000 + i);
    }
    EXPECT_LE(std::filesystem::file_size(path), LIMIT);

    jtagtrace::TraceFile file;
    ASSERT_TRUE(jtagtrace::ReadTrace(path, file, error)) << error;
    const jtagtrace::TraceDecoding decoding = jtagtrace::DecodeTrace(file, 4000);
    EXPECT_TRUE(decoding.full);
    EXPECT_FALSE(decoding.truncated);
    ASSERT_EQ(decoding.links.size(), 1u);
    const jtagtrace::TraceLink& link = decoding.links[0];
    EXPECT_EQ(link.edition, "test edition");
    ASSERT_GE(link.events.size(), 8u);
    const std::vector<TraceEvent>& e = link.events;
    EXPECT_EQ(e[0].type, TraceEvent::Type::Opened);
    EXPECT_EQ(e[1].type, TraceEvent::Type::Frame);
    EXPECT_EQ(e[1].length, 32748u);
    EXPECT_EQ(e[1].checksum, TraceEvent::Checksum::Ok);
    EXPECT_EQ(e[2].type, TraceEvent::Type::Gap);
    EXPECT_EQ(e[2].bytes, 2u) << "the empty reads between the request and the noise";
    EXPECT_EQ(e[3].type, TraceEvent::Type::Stray);
    EXPECT_EQ(e[3].sample, noise);
    EXPECT_EQ(e[4].type, TraceEvent::Type::Frame);
    EXPECT_TRUE(e[4].fromBoard);
    EXPECT_EQ(e[4].sample, std::vector<uint8_t>{0});
    EXPECT_EQ(e[4].replyAfter, 11000 - 4000);
    EXPECT_EQ(e[5].type, TraceEvent::Type::Frame);
    EXPECT_EQ(e[5].checksum, TraceEvent::Checksum::Bad);
    EXPECT_EQ(e[6].type, TraceEvent::Type::WriteRefused);
    EXPECT_EQ(e[6].bytes, 6u);

    // A file cut inside a record is read up to it.
    std::filesystem::resize_file(path, std::filesystem::file_size(path) - 3);
    ASSERT_TRUE(jtagtrace::ReadTrace(path, file, error));
    EXPECT_TRUE(file.truncated);
}

} // namespace
