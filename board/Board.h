#pragma once

#include "board/JtagApi.h"
#include "board/Jtagport.h"
#include "board/Protocol.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

// What the memory page needs to know of the board's memories.
struct MemoryLayout {
    uint32_t sdramSize = 0;
};

// The panel's single handle on the board: opens and closes the JTAG link and offers one operation per
// firmware command, each one framed exchange. It keeps no copy of any board state.
class TBoard {
public:
    TBoard();
    // Every port this board creates uses the given entry points instead of loading the library.
    explicit TBoard(const TJtagApi& api);
    ~TBoard();
    TBoard(const TBoard&) = delete;
    TBoard& operator=(const TBoard&) = delete;

    bool Connect(std::string& errorText, int32_t deviceNumber);
    void Disconnect();
    bool IsConnected() const;
    void DrainInput();
    bool KeepAlive();

    bool QueryBoardName(std::string& name);
    bool Ping();
    bool SetLeds(uint32_t mask);
    bool ReadKeysAndSwitches(uint32_t& value);
    bool SetSevenSegment(uint32_t digitWord, uint8_t furtherByte);
    bool ReadSdCardInfo(bool& cardPresent, std::string& csdText, std::string& cidText, std::string& fileSystemText,
                        bool& cardFlag);
    bool MemoryWrite(uint8_t memoryType, uint32_t address, const uint8_t* data, uint32_t count);
    bool MemoryRead(uint8_t memoryType, uint32_t address, uint8_t* destination, uint32_t count);
    bool SendControl(bool& accepted, uint8_t target, uint8_t operation, uint8_t value);

    static std::string MemoryTypeName(uint8_t memoryType);
    static void InitMemoryLayout(MemoryLayout& layout);

    // One exchange: drain, send a request frame, read a reply of exactly expectedReplyLen payload bytes.
    bool Transact(uint8_t command, uint8_t* pReturnBuffer, uint32_t headLimitMs, uint32_t dwPayloadLen,
                  const uint8_t* payload, uint32_t expectedReplyLen);
    bool ReadExact(uint8_t* buffer, uint32_t count, uint32_t limitMs);
    static uint8_t FrameChecksum(const uint8_t* bytes, uint32_t count);
    static bool VerifyFrame(const uint8_t* frame, uint32_t length);

    const std::string& LinkDescription() const { return linkDescription; }

    // Pages hold it around their exchanges; the board never takes it itself.
    std::recursive_mutex lock;

private:
    // True when the exchange worked and the one-byte reply is status 0.
    bool StatusCommand(uint8_t command, uint32_t payloadLen, const uint8_t* payload);

    std::unique_ptr<TJtagPort> port;
    uint32_t lastActivityTick = 0;
    std::string linkDescription;
    std::optional<TJtagApi> portApi;
};

// The SD card register reports shown by the SD card page, from 16 register bytes, most significant first.
std::string DescribeCid(const uint8_t* cid);
std::string DescribeCsd(const uint8_t* csd);
