#include "tests/support/FakeJtagLink.h"

#include "platform/Files.h"
#include "tests/support/FakeClock.h"

#include <algorithm>

namespace testsupport {

namespace {
FakeJtagLink* current = nullptr;

uint32_t Open(int32_t index, const char* name) {
    ++current->openCalls;
    current->openedIndex = index;
    current->openedName = name;
    current->workingFolderAtOpen = platform::GetWorkingFolder();
    return current->openResult;
}

void Close(uint32_t) {
    ++current->closeCalls;
}

int32_t Write(uint32_t, const uint8_t* bytes, uint32_t count) {
    if (!current->acceptWrites)
        return 0;
    std::vector<uint8_t> block(bytes, bytes + count);
    current->written.insert(current->written.end(), block.begin(), block.end());
    current->writes.push_back(block);
    if (current->onWrite)
        current->onWrite(block);
    return 1;
}

int32_t Read(uint32_t, uint8_t* buffer, uint32_t count) {
    ++current->readCalls;
    current->readCounts.push_back(count);
    if (FakeClock* clock = current->clock) {
        auto& late = current->late;
        for (auto it = late.begin(); it != late.end();) {
            if (static_cast<int32_t>(clock->Now() - it->first) >= 0) {
                current->Queue(it->second);
                it = late.erase(it);
            } else {
                ++it;
            }
        }
        clock->Advance(1);
    }
    const uint32_t n = std::min({count, current->maxBytesPerRead, static_cast<uint32_t>(current->input.size())});
    std::copy_n(current->input.begin(), n, buffer);
    current->input.erase(current->input.begin(), current->input.begin() + n);
    return static_cast<int32_t>(n);
}

int32_t GetInfo(uint32_t, uint8_t* record) {
    ++current->infoCalls;
    std::copy_n(current->info.begin(), std::min(current->info.size(), JTAG_INFO_SIZE), record);
    return current->infoResult;
}
} // namespace

FakeJtagLink::FakeJtagLink() {
    current = this;
}

FakeJtagLink::~FakeJtagLink() {
    current = nullptr;
}

TJtagApi FakeJtagLink::Api() {
    return TJtagApi{Open, Close, Write, Read, GetInfo};
}

std::vector<uint8_t> FakeJtagLink::Frame(uint8_t command, const std::vector<uint8_t>& payload) {
    const auto length = static_cast<uint16_t>(payload.size());
    std::vector<uint8_t> frame;
    frame.reserve(payload.size() + 6);
    frame.push_back(0xAA);
    frame.push_back(command);
    frame.push_back(static_cast<uint8_t>(length & 0xFF));
    frame.push_back(static_cast<uint8_t>(length >> 8));
    unsigned sum = command + (length & 0xFF) + (length >> 8);
    for (uint8_t byte : payload) {
        frame.push_back(byte);
        sum += byte;
    }
    frame.push_back(static_cast<uint8_t>(sum & 0xFF));
    frame.push_back(0x55);
    return frame;
}

} // namespace testsupport
