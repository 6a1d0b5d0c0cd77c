// A JTAG library whose opens follow a plan that the test sets: "-+-" makes the first open fail, the
// second succeed and the third fail, and every open past the plan fails. An open link answers the
// board-name query with "TZ8", as the panel's firmware does, and nothing else.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr uint8_t CMD_QUERY_BOARD_NAME = 0x00;
std::string plan;
int openCalls = 0;
std::vector<uint8_t> pending;

void QueueNameReply() {
    uint8_t payload[33] = {0, 'T', 'Z', '8'};
    const uint8_t length = sizeof payload;
    unsigned sum = CMD_QUERY_BOARD_NAME + length;
    pending.insert(pending.end(), {0xAA, CMD_QUERY_BOARD_NAME, length, 0x00});
    for (const uint8_t byte : payload) {
        pending.push_back(byte);
        sum += byte;
    }
    pending.insert(pending.end(), {static_cast<uint8_t>(sum), 0x55});
}

} // namespace

extern "C" {
uint32_t VELDARA_JtagOpen(int32_t, const char*) {
    const auto index = static_cast<size_t>(openCalls++);
    pending.clear();
    return index < plan.size() && plan[index] == '+' ? 1 : 0;
}
void VELDARA_JtagClose(uint32_t) {}
int32_t VELDARA_JtagWrite(uint32_t, const uint8_t* bytes, uint32_t count) {
    if (count >= 2 && bytes[0] == 0xAA && bytes[1] == CMD_QUERY_BOARD_NAME)
        QueueNameReply();
    return 1;
}
int32_t VELDARA_JtagRead(uint32_t, uint8_t* buffer, uint32_t count) {
    const uint32_t n = std::min<uint32_t>(count, static_cast<uint32_t>(pending.size()));
    std::copy_n(pending.begin(), n, buffer);
    pending.erase(pending.begin(), pending.begin() + n);
    return static_cast<int32_t>(n);
}
int32_t VELDARA_JtagGetInfo(uint32_t, uint8_t*) {
    return 0;
}

void FakeJtag_SetPlan(const char* opens) {
    plan = opens;
    openCalls = 0;
}
int FakeJtag_OpenCalls() {
    return openCalls;
}
}
