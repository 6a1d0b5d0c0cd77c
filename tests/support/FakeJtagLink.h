#pragma once

#include "board/JtagApi.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace testsupport {

class FakeClock;

// A scripted JTAG link behind the five library entry points. Tests queue the bytes the board will
// "send", read back every byte the panel wrote, and count the calls. One link at a time.
class FakeJtagLink {
public:
    FakeJtagLink();
    ~FakeJtagLink();
    FakeJtagLink(const FakeJtagLink&) = delete;
    FakeJtagLink& operator=(const FakeJtagLink&) = delete;

    // Entry points that reach the link alive at the time of the call.
    static TJtagApi Api();

    void Queue(const std::vector<uint8_t>& bytes) { input.insert(input.end(), bytes.begin(), bytes.end()); }
    // Bytes that become readable once the clock reaches atMs (a late board). Needs a clock.
    void QueueAt(uint32_t atMs, const std::vector<uint8_t>& bytes) { late.push_back({atMs, bytes}); }
    // A whole reply frame for command with this payload, built here independently of the board code.
    static std::vector<uint8_t> Frame(uint8_t command, const std::vector<uint8_t>& payload);

    uint32_t openResult = 0x1234;
    bool acceptWrites = true;
    uint32_t maxBytesPerRead = UINT32_MAX;
    int32_t infoResult = 1;
    std::vector<uint8_t> info; // copied into the record by GetInfo
    // Called after every accepted write with the bytes of that write; it may queue a reply.
    std::function<void(const std::vector<uint8_t>&)> onWrite;
    // When set, every read call costs this clock one millisecond, as a real link would.
    FakeClock* clock = nullptr;

    std::deque<uint8_t> input;
    std::vector<uint8_t> written;
    std::vector<std::vector<uint8_t>> writes;
    int openCalls = 0;
    int closeCalls = 0;
    int readCalls = 0;
    std::vector<uint32_t> readCounts; // bytes asked for, one entry per read call
    std::vector<std::pair<uint32_t, std::vector<uint8_t>>> late;
    int infoCalls = 0;
    int32_t openedIndex = -1;
    std::string openedName;
    std::string workingFolderAtOpen;
};

} // namespace testsupport
