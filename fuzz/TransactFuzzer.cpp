// The board's reply reading: a connected TBoard runs a few operations against a link whose board
// answers from the fuzz input (late, in pieces, spoilt, with lying reads). Besides the sanitizers'
// checks: every request is a well-formed frame (checked by the link), a reply is accepted only when
// the board really sent it whole, and a failed operation leaves its outputs alone.
#include "board/Board.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScriptedLink.h"
#include "platform/Notify.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using fuzzsupport::TScriptedLink;

constexpr int MAX_OPERATIONS = 8;

// The reply frame a successful Transact must have read: command, length and payload as returned.
bool WasOffered(const TScriptedLink& link, uint8_t command, const uint8_t* payload, uint32_t length) {
    std::vector<uint8_t> frame(PKT_OVERHEAD + length);
    frame[0] = PKT_START;
    frame[1] = command;
    frame[2] = static_cast<uint8_t>(length);
    frame[3] = static_cast<uint8_t>(length >> 8);
    std::copy(payload, payload + length, frame.begin() + PKT_HEAD_LEN);
    frame[PKT_HEAD_LEN + length] = FrameSum(frame.data() + 1, length + 3);
    frame.back() = PKT_END;
    const auto& offered = link.OfferedSinceRequest();
    return std::search(offered.begin(), offered.end(), frame.begin(), frame.end()) != offered.end();
}

void RawTransact(FuzzedDataProvider& in, TBoard& board, const TScriptedLink& link) {
    const auto command = in.ConsumeIntegral<uint8_t>();
    const auto headLimit = in.ConsumeIntegralInRange<uint32_t>(0, 12000);
    const std::vector<uint8_t> payload = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 64));
    const auto expected = in.ConsumeIntegralInRange<uint32_t>(0, 1100);
    // Exactly the size asked for, so that a write past it is caught.
    const auto reply = std::make_unique<uint8_t[]>(std::max<uint32_t>(expected, 1));
    if (board.Transact(command, reply.get(), headLimit, static_cast<uint32_t>(payload.size()), payload.data(),
                       expected))
        FUZZ_CHECK(link.LiedSinceRequest() || WasOffered(link, command, reply.get(), expected));
}

void SdCardInfo(TBoard& board) {
    bool present = false;
    bool flag = false;
    std::string csd = "csd";
    std::string cid = "cid";
    std::string fs = "fs";
    if (!board.ReadSdCardInfo(present, csd, cid, fs, flag)) {
        FUZZ_CHECK(csd == "csd" && cid == "cid" && fs == "fs");
        return;
    }
    if (present)
        FUZZ_CHECK(fs == "FAT16" || fs == "FAT32" || fs == "NA");
}

void Read(FuzzedDataProvider& in, TBoard& board) {
    const auto type = in.ConsumeIntegral<uint8_t>();
    const auto address = in.ConsumeIntegral<uint32_t>();
    const auto count = in.ConsumeIntegralInRange<uint32_t>(0, 1100);
    const auto destination = std::make_unique<uint8_t[]>(std::max<uint32_t>(count, 1));
    board.MemoryRead(type, address, destination.get(), count);
}

void Write(FuzzedDataProvider& in, TBoard& board) {
    const auto type = in.ConsumeIntegral<uint8_t>();
    const auto address = in.ConsumeIntegral<uint32_t>();
    // Up to three chunks; the bytes themselves do not matter to the reply reading.
    const auto count = in.ConsumeIntegralInRange<uint32_t>(0, 3 * MEM_WRITE_CHUNK_MAX);
    const std::vector<uint8_t> data(std::max<uint32_t>(count, 1), 0x5A);
    board.MemoryWrite(type, address, data.data(), count);
}

void Operate(FuzzedDataProvider& in, TBoard& board, const TScriptedLink& link) {
    switch (in.ConsumeIntegralInRange(0, 11)) {
    case 0:
        RawTransact(in, board, link);
        break;
    case 1: {
        std::string name = "unchanged";
        if (board.QueryBoardName(name))
            FUZZ_CHECK(name.size() <= BOARD_NAME_LEN && name.find('\0') == std::string::npos);
        else
            FUZZ_CHECK(name == "unchanged");
        break;
    }
    case 2:
        board.Ping();
        break;
    case 3:
        board.SetLeds(in.ConsumeIntegral<uint32_t>());
        break;
    case 4: {
        uint32_t value = 0xDEADBEEF;
        if (board.ReadKeysAndSwitches(value))
            FUZZ_CHECK(value <= InputsValue(KEY_MASK, SWITCH_MASK));
        else
            FUZZ_CHECK(value == 0xDEADBEEF);
        break;
    }
    case 5:
        board.SetSevenSegment(in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegral<uint8_t>());
        break;
    case 6:
        SdCardInfo(board);
        break;
    case 7:
        Write(in, board);
        break;
    case 8:
        Read(in, board);
        break;
    case 9: {
        bool accepted = true;
        if (!board.SendControl(accepted, in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(),
                               in.ConsumeIntegral<uint8_t>()))
            FUZZ_CHECK(!accepted);
        break;
    }
    case 10:
        board.KeepAlive();
        break;
    case 11:
        // A lost link: nothing more reaches the library.
        board.Disconnect();
        FUZZ_CHECK(!board.Ping() && !board.IsConnected());
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    platform::SetMessageHandler([](platform::MessageKind, const std::string&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    TScriptedLink link(in);
    TBoard board(TScriptedLink::Api());
    std::string error;
    if (!board.Connect(error, in.ConsumeIntegralInRange<int32_t>(0, 3))) {
        FUZZ_CHECK(error == "Fail to connect FPGA borad." && !board.IsConnected());
        return 0;
    }
    FUZZ_CHECK(board.LinkDescription().size() <= JTAG_INFO_SIZE - JTAG_INFO_TEXT_OFFSET);
    for (int i = 0; i < MAX_OPERATIONS && in.remaining_bytes() != 0; ++i)
        Operate(in, board, link);
    return 0;
}
