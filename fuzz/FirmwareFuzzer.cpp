// The firmware's frame parsing and command execution: requests built from the input (well-formed,
// now and then spoilt), fed in chunks to a firmware with faults, card and inputs from the input too.
// Its reply stream must be byte for byte what a plain model of the firmware answers to the frames a
// second parser finds in the same stream, with the SDRAM modelled as a map of the bytes written.
#include "board/Protocol.h"
#include "board/VgaPatterns.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "vboard/Firmware.h"

#include <map>
#include <string>
#include <vector>

namespace {

using vboard::Firmware;

constexpr int MAX_REQUESTS = 24;

void PutU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t GetU32(const std::vector<uint8_t>& in, std::size_t at) {
    return in[at] | in[at + 1] << 8 | in[at + 2] << 16 | static_cast<uint32_t>(in[at + 3]) << 24;
}

// Addresses near the places where things change: the SDRAM's pages and its end, or anywhere.
uint32_t Address(FuzzedDataProvider& in) {
    const auto near = in.ConsumeIntegralInRange<int32_t>(-40, 40);
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return static_cast<uint32_t>(static_cast<int64_t>(SDRAM_SIZE) + near);
    case 1:
        return static_cast<uint32_t>(in.ConsumeIntegralInRange<int64_t>(1, 31) * 0x200000 + near);
    case 2:
        return in.ConsumeIntegralInRange<uint32_t>(0, 4096);
    default:
        return in.ConsumeIntegral<uint32_t>();
    }
}

struct Request {
    uint8_t command;
    std::vector<uint8_t> payload;
};

Request MakeRequest(FuzzedDataProvider& in) {
    static const uint8_t commands[] = {
        CMD_QUERY_BOARD_NAME, CMD_PING,         CMD_SET_LEDS,    CMD_READ_KEYS_SWITCHES, CMD_SET_SEVEN_SEGMENT,
        CMD_READ_SDCARD_INFO, CMD_MEMORY_WRITE, CMD_MEMORY_READ, CMD_SEND_CONTROL};
    Request r;
    r.command = in.ConsumeBool() ? commands[in.ConsumeIntegralInRange<std::size_t>(0, std::size(commands) - 1)]
                                 : in.ConsumeIntegral<uint8_t>();
    // Mostly the payload the command expects, else any bytes.
    if (in.ConsumeIntegralInRange(0, 7) == 0) {
        r.payload = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 16));
        return r;
    }
    switch (r.command) {
    case CMD_SET_LEDS:
        PutU32(r.payload, in.ConsumeIntegral<uint32_t>());
        break;
    case CMD_SET_SEVEN_SEGMENT:
        PutU32(r.payload, in.ConsumeIntegral<uint32_t>());
        r.payload.push_back(in.ConsumeIntegral<uint8_t>());
        break;
    case CMD_MEMORY_WRITE: {
        r.payload.push_back(in.ConsumeIntegralInRange<uint8_t>(0, 3) != 0 ? MEM_TYPE_SDRAM : MEM_TYPE_EPCS);
        PutU32(r.payload, Address(in));
        const std::vector<uint8_t> data = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 300));
        r.payload.insert(r.payload.end(), data.begin(), data.end());
        break;
    }
    case CMD_MEMORY_READ:
        r.payload.push_back(in.ConsumeIntegralInRange<uint8_t>(0, 3) != 0 ? MEM_TYPE_SDRAM : MEM_TYPE_EPCS);
        PutU32(r.payload, Address(in));
        PutU32(r.payload, in.ConsumeBool()
                              ? in.ConsumeIntegralInRange<uint32_t>(0, 300)
                              : in.ConsumeIntegralInRange<uint32_t>(MEM_READ_CHUNK_MAX - 2, MEM_READ_CHUNK_MAX + 2));
        break;
    case CMD_SEND_CONTROL:
        r.payload.push_back(in.ConsumeIntegralInRange<uint8_t>(3, 6));
        r.payload.push_back(in.ConsumeIntegralInRange<uint8_t>(0, 3));
        r.payload.push_back(in.ConsumeIntegralInRange<uint8_t>(0, 10));
        break;
    default:
        break;
    }
    return r;
}

std::vector<uint8_t> Encode(const Request& r) {
    const auto length = static_cast<uint32_t>(r.payload.size());
    std::vector<uint8_t> frame = {PKT_START, r.command, static_cast<uint8_t>(length),
                                  static_cast<uint8_t>(length >> 8)};
    frame.insert(frame.end(), r.payload.begin(), r.payload.end());
    unsigned sum = 0;
    for (std::size_t i = 1; i < frame.size(); ++i)
        sum += frame[i];
    frame.push_back(static_cast<uint8_t>(sum));
    frame.push_back(PKT_END);
    return frame;
}

// A plain model of the control-panel firmware.
struct Model {
    uint32_t leds = 0;
    uint32_t digits = 0;
    int vgaPattern = Firmware::NO_PATTERN;
    std::map<uint32_t, uint8_t> memory;

    std::vector<uint8_t> Answer(const Firmware& board, const Request& r) {
        const std::vector<uint8_t>& p = r.payload;
        const std::size_t n = p.size();
        switch (r.command) {
        case CMD_QUERY_BOARD_NAME: {
            std::vector<uint8_t> reply(REPLY_LEN_BOARD_NAME, 0);
            const std::string name = board.faults.nameOverride ? board.faults.name : EXPECTED_BOARD_NAME;
            std::copy_n(name.begin(), std::min<std::size_t>(name.size(), BOARD_NAME_LEN), reply.begin() + 1);
            return reply;
        }
        case CMD_PING:
            return {0};
        case CMD_SET_LEDS:
            if (n != 4)
                return {1};
            leds = GetU32(p, 0) & LED_MASK;
            return {0};
        case CMD_READ_KEYS_SWITCHES: {
            std::vector<uint8_t> reply = {0};
            PutU32(reply, board.keys & KEY_MASK);
            PutU32(reply, board.switches & SWITCH_MASK);
            PutU32(reply, 0);
            return reply;
        }
        case CMD_SET_SEVEN_SEGMENT:
            if (n != 5)
                return {1};
            digits = GetU32(p, 0) & DIGIT_WORD_MASK;
            return {0};
        case CMD_READ_SDCARD_INFO: {
            std::vector<uint8_t> reply(REPLY_LEN_SDCARD_INFO, 0);
            if (!board.card.present) {
                reply[0] = 2;
                return reply;
            }
            std::copy(board.card.csd.begin(), board.card.csd.end(), reply.begin() + 1);
            std::copy(board.card.cid.begin(), board.card.cid.end(), reply.begin() + 18);
            reply[35] = board.card.fileSystem;
            reply[36] = board.card.highCapacity ? 1 : 0;
            return reply;
        }
        case CMD_MEMORY_WRITE: {
            if (n < 5 || p[0] != MEM_TYPE_SDRAM)
                return {1};
            const uint64_t address = GetU32(p, 1);
            if (address + (n - 5) > SDRAM_SIZE)
                return {3};
            for (std::size_t i = 5; i < n; ++i)
                memory[static_cast<uint32_t>(address + i - 5)] = p[i];
            return {0};
        }
        case CMD_MEMORY_READ: {
            if (n != 9 || GetU32(p, 5) > MEM_READ_CHUNK_MAX)
                return {1};
            const uint64_t address = GetU32(p, 1);
            const uint32_t count = GetU32(p, 5);
            std::vector<uint8_t> reply(1 + count, 0);
            if (p[0] != MEM_TYPE_SDRAM)
                reply[0] = 1;
            else if (address + count > SDRAM_SIZE)
                reply[0] = 3;
            else
                for (uint32_t i = 0; i < count; ++i) {
                    const auto at = memory.find(static_cast<uint32_t>(address + i));
                    reply[1 + i] = at == memory.end() ? 0 : at->second;
                }
            return reply;
        }
        case CMD_SEND_CONTROL:
            if (n != 3)
                return {1};
            if (p[0] == CONTROL_TARGET_VGA && p[1] == CONTROL_OP_SET_PATTERN && p[2] < VGA_PATTERN_COUNT) {
                vgaPattern = p[2];
                return {0};
            }
            if (p[0] == CONTROL_TARGET_VGA_OUT && p[1] == CONTROL_OP_PROBE)
                return {static_cast<uint8_t>(board.faults.refuseVgaProbe ? 4 : 0)};
            return {1};
        default:
            return {1};
        }
    }
};

void SetUp(FuzzedDataProvider& in, Firmware& board) {
    board.keys = in.ConsumeIntegral<uint32_t>();
    board.switches = in.ConsumeIntegral<uint32_t>();
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0:
        board.card = vboard::SdCard::None();
        break;
    case 1:
        board.card = vboard::SdCard::Sdsc();
        break;
    case 2:
        board.card = vboard::SdCard::Unformatted();
        break;
    case 3: {
        board.card.present = true;
        for (auto& b : board.card.csd)
            b = in.ConsumeIntegral<uint8_t>();
        for (auto& b : board.card.cid)
            b = in.ConsumeIntegral<uint8_t>();
        board.card.fileSystem = in.ConsumeIntegral<uint8_t>();
        board.card.highCapacity = in.ConsumeBool();
        break;
    }
    default:
        break; // the fresh board's card
    }
    const auto faults = in.ConsumeIntegral<uint8_t>();
    board.faults.silent = (faults & 0x3F) == 1;
    board.faults.wrongChecksum = faults & 0x02;
    board.faults.wrongEcho = faults & 0x04;
    board.faults.refuseVgaProbe = faults & 0x08;
    if (faults & 0x10)
        board.faults.floodBytes = in.ConsumeIntegralInRange<uint32_t>(1, 64);
    if (faults & 0x20) {
        board.faults.nameOverride = true;
        board.faults.name = in.ConsumeRandomLengthString(40);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Firmware board;
    SetUp(in, board);
    const vboard::Faults initial = board.faults;

    std::vector<uint8_t> stream;
    for (int i = in.ConsumeIntegralInRange(1, MAX_REQUESTS); i > 0 && in.remaining_bytes() != 0; --i) {
        std::vector<uint8_t> frame = Encode(MakeRequest(in));
        // Now and then a spoilt byte or stray bytes between frames.
        switch (in.ConsumeIntegralInRange(0, 15)) {
        case 0:
            frame[in.ConsumeIntegralInRange<std::size_t>(0, frame.size() - 1)] ^=
                in.ConsumeIntegralInRange<uint8_t>(1, 255);
            break;
        case 1: {
            const std::vector<uint8_t> stray = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<std::size_t>(1, 8));
            frame.insert(frame.begin(), stray.begin(), stray.end());
            break;
        }
        default:
            break;
        }
        stream.insert(stream.end(), frame.begin(), frame.end());
    }

    // What the firmware sees: the frames a parser of its own finds in the stream.
    std::vector<Request> seen;
    vboard::FrameParser finder;
    finder.Feed(stream.data(), stream.size(), [&](uint8_t command, const uint8_t* payload, uint32_t length) {
        seen.push_back({command, std::vector<uint8_t>(payload, payload + length)});
    });

    vboard::FrameParser parser;
    std::vector<uint8_t> out;
    for (std::size_t pos = 0; pos < stream.size();) {
        const std::size_t n = std::min(stream.size() - pos, in.ConsumeIntegralInRange<std::size_t>(1, 97));
        board.Receive(parser, stream.data() + pos, n, out);
        pos += n;
    }

    Model model;
    std::vector<uint8_t> expected;
    if (!initial.silent) {
        for (std::size_t i = 0; i < seen.size(); ++i) {
            const std::vector<uint8_t> payload = model.Answer(board, seen[i]);
            std::vector<uint8_t> frame = Encode({seen[i].command, payload});
            // The one-shot faults spoil the first reply only; the stale bytes come before it.
            if (i == 0) {
                if (initial.wrongChecksum)
                    frame[frame.size() - 2] = static_cast<uint8_t>(frame[frame.size() - 2] + 1);
                if (initial.wrongEcho)
                    frame[1] ^= 0x80;
                expected.insert(expected.end(), initial.floodBytes, 0x00);
            }
            expected.insert(expected.end(), frame.begin(), frame.end());
        }
    }
    FUZZ_CHECK(out == expected);
    FUZZ_CHECK(board.leds == model.leds && board.digits == model.digits && board.vgaPattern == model.vgaPattern);
    return 0;
}
