#include "board/Board.h"

#include "platform/Assert.h"
#include "platform/Clock.h"
#include "platform/Notify.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr uint32_t PORT_READ_LIMIT_MS = 3000;
constexpr uint32_t REPLY_REST_LIMIT_MS = 3000;
constexpr uint32_t HEAD_LIMIT_MS = 3000;
constexpr uint32_t HEAD_LIMIT_SDCARD_MS = 10000;
constexpr uint32_t DRAIN_READ_LIMIT_MS = 1;
constexpr uint32_t DRAIN_COUNT_STOP = 1000;
constexpr uint32_t KEEPALIVE_IDLE_MS = 120000;
constexpr int KEEPALIVE_PINGS_AFTER_IDLE = 5;

void PutU32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetU32(const uint8_t* at) {
    return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
           static_cast<uint32_t>(at[3]) << 24;
}

} // namespace

TBoard::TBoard() = default;

TBoard::TBoard(const TJtagApi& api) : portApi(api) {}

TBoard::~TBoard() {
    Disconnect();
}

bool TBoard::Connect(std::string& errorText, int32_t deviceNumber) {
    Disconnect();
    port = portApi ? std::make_unique<TJtagPort>(*portApi, deviceNumber, std::string())
                   : std::make_unique<TJtagPort>(deviceNumber, std::string());
    if (!port->Open()) {
        errorText = "Fail to connect FPGA borad.";
        port.reset();
        return false;
    }
    uint8_t info[JTAG_INFO_SIZE] = {};
    if (port->GetInfo(info)) {
        // The text is read up to the end of the record, so a library that leaves it unterminated
        // cannot make us read past it.
        const char* text = reinterpret_cast<const char*>(info + JTAG_INFO_TEXT_OFFSET);
        linkDescription.assign(text, strnlen(text, JTAG_INFO_SIZE - JTAG_INFO_TEXT_OFFSET));
    }
    lastActivityTick = platform::GetTickCount();
    return true;
}

void TBoard::Disconnect() {
    if (port) {
        if (port->IsOpen())
            port->Close();
        port.reset();
    }
    linkDescription.clear();
}

bool TBoard::IsConnected() const {
    return port && port->IsOpen();
}

void TBoard::DrainInput() {
    if (!port)
        return;
    uint32_t discarded = 0;
    uint8_t scratch = 0;
    while (port->Read(&scratch, 1, DRAIN_READ_LIMIT_MS) != 0) {
        if (discarded++ > DRAIN_COUNT_STOP)
            break;
    }
}

bool TBoard::KeepAlive() {
    const uint32_t now = platform::GetTickCount();
    bool result;
    if (static_cast<uint32_t>(now - lastActivityTick) > KEEPALIVE_IDLE_MS) {
        result = false;
        for (int i = 0; i < KEEPALIVE_PINGS_AFTER_IDLE; ++i) {
            result = Ping();
            if (!result)
                break;
        }
    } else {
        result = Ping();
    }
    lastActivityTick = platform::GetTickCount();
    return result;
}

bool TBoard::Transact(uint8_t command, uint8_t* pReturnBuffer, uint32_t headLimitMs, uint32_t dwPayloadLen,
                      const uint8_t* payload, uint32_t expectedReplyLen) {
    QX7MB_ASSERT(pReturnBuffer, "Board");
    QX7MB_ASSERT(dwPayloadLen <= PKT_PC2NIOS_MAX_PL_LEN, "Board");
    // Without a port (the link was lost) there is nothing to exchange with.
    if (!port)
        return false;
    DrainInput();

    {
        // Every byte is written below, so the buffer is not cleared first.
        const uint32_t requestLen = dwPayloadLen + PKT_OVERHEAD;
        const auto request = std::make_unique_for_overwrite<uint8_t[]>(requestLen);
        request[0] = PKT_START;
        request[1] = command;
        request[2] = static_cast<uint8_t>(dwPayloadLen);
        request[3] = static_cast<uint8_t>(dwPayloadLen >> 8);
        if (dwPayloadLen != 0)
            std::memcpy(&request[PKT_HEAD_LEN], payload, dwPayloadLen);
        request[PKT_HEAD_LEN + dwPayloadLen] = FrameChecksum(&request[1], dwPayloadLen + 3);
        request[PKT_HEAD_LEN + dwPayloadLen + 1] = PKT_END;
        if (!port->Write(request.get(), requestLen)) {
            platform::Beep();
            return false;
        }
    }

    uint8_t head[PKT_HEAD_LEN];
    if (!ReadExact(head, PKT_HEAD_LEN, headLimitMs) || head[0] != PKT_START || head[1] != command) {
        DrainInput();
        return false;
    }
    const uint32_t length = static_cast<uint32_t>(head[2]) | static_cast<uint32_t>(head[3]) << 8;
    if (length != expectedReplyLen)
        return false;

    // Filled by the head and the reads below before anything reads it.
    const uint32_t replyLen = length + PKT_OVERHEAD;
    const auto reply = std::make_unique_for_overwrite<uint8_t[]>(replyLen);
    std::memcpy(reply.get(), head, PKT_HEAD_LEN);
    if (!ReadExact(&reply[PKT_HEAD_LEN], length + 2, REPLY_REST_LIMIT_MS)) {
        platform::Beep();
        return false;
    }
    if (!VerifyFrame(reply.get(), replyLen)) {
        platform::Beep();
        return false;
    }
    if (expectedReplyLen != 0)
        std::memcpy(pReturnBuffer, &reply[PKT_HEAD_LEN], expectedReplyLen);
    return true;
}

bool TBoard::ReadExact(uint8_t* buffer, uint32_t count, uint32_t limitMs) {
    if (!port)
        return false;
    const uint32_t start = platform::GetTickCount();
    uint32_t received = 0;
    for (;;) {
        if (static_cast<uint32_t>(platform::GetTickCount() - start) > limitMs)
            return false;
        received += port->Read(buffer + received, count - received, PORT_READ_LIMIT_MS);
        if (received == count)
            return true;
    }
}

uint8_t TBoard::FrameChecksum(const uint8_t* bytes, uint32_t count) {
    return FrameSum(bytes, count);
}

bool TBoard::VerifyFrame(const uint8_t* frame, uint32_t length) {
    if (length < PKT_OVERHEAD)
        return false;
    return frame[0] == PKT_START && frame[length - 1] == PKT_END &&
           FrameChecksum(frame + 1, length - 3) == frame[length - 2];
}

bool TBoard::StatusCommand(uint8_t command, uint32_t payloadLen, const uint8_t* payload) {
    uint8_t status = 0xFF;
    return Transact(command, &status, HEAD_LIMIT_MS, payloadLen, payload, REPLY_LEN_STATUS) && status == 0;
}

bool TBoard::QueryBoardName(std::string& name) {
    uint8_t reply[REPLY_LEN_BOARD_NAME];
    if (!Transact(CMD_QUERY_BOARD_NAME, reply, HEAD_LIMIT_MS, 0, nullptr, REPLY_LEN_BOARD_NAME) || reply[0] != 0)
        return false;
    const char* field = reinterpret_cast<const char*>(reply + 1);
    const std::string text(field, strnlen(field, BOARD_NAME_LEN));
    if (!text.empty())
        name = text;
    return true;
}

bool TBoard::Ping() {
    return StatusCommand(CMD_PING, 0, nullptr);
}

bool TBoard::SetLeds(uint32_t mask) {
    uint8_t payload[REQUEST_LEN_SET_LEDS];
    PutU32(payload, mask);
    return StatusCommand(CMD_SET_LEDS, sizeof payload, payload);
}

bool TBoard::ReadKeysAndSwitches(uint32_t& value) {
    uint8_t reply[REPLY_LEN_KEYS_SWITCHES];
    if (!Transact(CMD_READ_KEYS_SWITCHES, reply, HEAD_LIMIT_MS, 0, nullptr, REPLY_LEN_KEYS_SWITCHES) || reply[0] != 0)
        return false;
    value = InputsValue(GetU32(reply + REPLY_KEYS_AT), GetU32(reply + REPLY_SWITCHES_AT));
    return true;
}

bool TBoard::SetSevenSegment(uint32_t digitWord, uint8_t furtherByte) {
    uint8_t payload[REQUEST_LEN_SEVEN_SEGMENT];
    PutU32(payload, digitWord);
    payload[4] = furtherByte;
    return StatusCommand(CMD_SET_SEVEN_SEGMENT, sizeof payload, payload);
}

bool TBoard::ReadSdCardInfo(bool& cardPresent, std::string& csdText, std::string& cidText, std::string& fileSystemText,
                            bool& cardFlag) {
    uint8_t reply[REPLY_LEN_SDCARD_INFO];
    if (!Transact(CMD_READ_SDCARD_INFO, reply, HEAD_LIMIT_SDCARD_MS, 0, nullptr, REPLY_LEN_SDCARD_INFO))
        return false;
    if (reply[0] != 0) {
        cardPresent = false;
        return true;
    }
    cardPresent = true;
    cardFlag = reply[36] != 0;
    csdText = DescribeCsd(reply + 1);
    cidText = DescribeCid(reply + 18);
    fileSystemText = reply[35] == 1 ? "FAT16" : reply[35] == 2 ? "FAT32" : "NA";
    return true;
}

bool TBoard::MemoryWrite(uint8_t memoryType, uint32_t address, const uint8_t* data, uint32_t count) {
    bool ok = true;
    uint32_t done = 0;
    std::vector<uint8_t> payload;
    while (ok && done < count) {
        const uint32_t n = std::min(MEM_WRITE_CHUNK_MAX, count - done);
        payload.resize(MEM_WRITE_HEADER_LEN + n);
        payload[0] = memoryType;
        PutU32(&payload[1], address);
        std::memcpy(&payload[MEM_WRITE_HEADER_LEN], data + done, n);
        ok = StatusCommand(CMD_MEMORY_WRITE, static_cast<uint32_t>(payload.size()), payload.data());
        if (ok) {
            address += n;
            done += n;
        }
    }
    return ok;
}

bool TBoard::MemoryRead(uint8_t memoryType, uint32_t address, uint8_t* destination, uint32_t count) {
    bool ok = true;
    uint32_t done = 0;
    std::vector<uint8_t> reply;
    while (ok && done < count) {
        const uint32_t n = std::min(MEM_READ_CHUNK_MAX, count - done);
        uint8_t request[MEM_READ_REQUEST_LEN];
        request[0] = memoryType;
        PutU32(request + 1, address);
        PutU32(request + 5, n);
        reply.resize(1 + n);
        ok = Transact(CMD_MEMORY_READ, reply.data(), HEAD_LIMIT_MS, sizeof request, request, 1 + n) && reply[0] == 0;
        if (ok) {
            std::memcpy(destination + done, &reply[1], n);
            address += n;
            done += n;
        }
    }
    return ok;
}

bool TBoard::SendControl(bool& accepted, uint8_t target, uint8_t operation, uint8_t value) {
    accepted = false;
    const uint8_t payload[3] = {target, operation, value};
    uint8_t status = 0xFF;
    if (!Transact(CMD_SEND_CONTROL, &status, HEAD_LIMIT_MS, sizeof payload, payload, REPLY_LEN_STATUS))
        return false;
    accepted = status == 0;
    return true;
}

std::string TBoard::MemoryTypeName(uint8_t memoryType) {
    switch (memoryType) {
    case MEM_TYPE_EPCS:
        return "EPCS";
    case MEM_TYPE_SDRAM:
        return "SDRAM";
    default:
        return std::string();
    }
}

void TBoard::InitMemoryLayout(MemoryLayout& layout) {
    layout.sdramSize = SDRAM_SIZE;
}
