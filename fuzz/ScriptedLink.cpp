#include "fuzz/ScriptedLink.h"

#include "board/Protocol.h"
#include "fuzz/FuzzCheck.h"
#include "platform/Clock.h"

#include <algorithm>
#include <cstring>

namespace fuzzsupport {

namespace {
TScriptedLink* current = nullptr;
}

// The five entry points, forwarding to the live link.
struct LinkCalls {
    static uint32_t Open(int32_t, const char*) { return current->Open(); }
    static void Close(uint32_t) {}
    static int32_t Write(uint32_t, const uint8_t* bytes, uint32_t count) { return current->Write(bytes, count); }
    static int32_t Read(uint32_t, uint8_t* buffer, uint32_t count) { return current->Read(buffer, count); }
    static int32_t GetInfo(uint32_t, uint8_t* record) { return current->GetInfo(record); }
};

TScriptedLink::TScriptedLink(FuzzedDataProvider& input)
    : input(input), now(input.ConsumeIntegral<uint32_t>()), step(input.ConsumeIntegralInRange<uint32_t>(1, 400)) {
    current = this;
    platform::SetTickSource([this] { return now += step; });
}

TScriptedLink::~TScriptedLink() {
    platform::SetTickSource({});
    current = nullptr;
}

TJtagApi TScriptedLink::Api() {
    return TJtagApi{LinkCalls::Open, LinkCalls::Close, LinkCalls::Write, LinkCalls::Read, LinkCalls::GetInfo};
}

uint32_t TScriptedLink::Open() {
    // Mostly open; a zero handle is the unplugged cable.
    return input.ConsumeIntegralInRange<uint8_t>(0, 15) != 0 ? 0x51 : 0;
}

int32_t TScriptedLink::GetInfo(uint8_t* record) {
    const std::vector<uint8_t> bytes = input.ConsumeBytes<uint8_t>(JTAG_INFO_SIZE);
    std::copy(bytes.begin(), bytes.end(), record);
    return input.ConsumeBool() ? 1 : 0;
}

int32_t TScriptedLink::Write(const uint8_t* bytes, uint32_t count) {
    // Whatever came before, the panel sends one whole, well-formed request.
    FUZZ_CHECK(count >= PKT_OVERHEAD && bytes[0] == PKT_START && bytes[count - 1] == PKT_END);
    FUZZ_CHECK((bytes[2] | bytes[3] << 8) + PKT_OVERHEAD == count);
    FUZZ_CHECK(FrameSum(bytes + 1, count - 3) == bytes[count - 2]);
    if (input.ConsumeIntegralInRange<uint8_t>(0, 31) == 0)
        return 0;
    // Bytes of an earlier answer not read yet stay in front: a late reply comes after the next request.
    queued.erase(queued.begin(), queued.begin() + static_cast<std::ptrdiff_t>(readPos));
    readPos = 0;
    lied = false;
    Answer(bytes[1]);
    return 1;
}

void TScriptedLink::Answer(uint8_t command) {
    // Nothing overtakes what is still queued: the whole queue becomes readable at the later time.
    const uint32_t at = now + (input.ConsumeBool() ? input.ConsumeIntegralInRange<uint32_t>(0, 12000) : 0);
    if (queued.empty() || static_cast<int32_t>(at - readyAt) > 0)
        readyAt = at;
    // Stale bytes before the answer, then raw bytes or a frame with chosen command, length and spoilage.
    const std::vector<uint8_t> stale = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 3));
    queued.insert(queued.end(), stale.begin(), stale.end());
    switch (input.ConsumeIntegralInRange(0, 2)) {
    case 0: {
        const std::vector<uint8_t> raw = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 64));
        queued.insert(queued.end(), raw.begin(), raw.end());
        break;
    }
    default: {
        const uint8_t echo = input.ConsumeBool() ? command : input.ConsumeIntegral<uint8_t>();
        const auto length = input.ConsumeIntegralInRange<uint16_t>(0, 1100);
        std::vector<uint8_t> frame = {PKT_START, echo, static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8)};
        std::vector<uint8_t> payload = input.ConsumeBytes<uint8_t>(length);
        payload.resize(length);
        frame.insert(frame.end(), payload.begin(), payload.end());
        frame.push_back(FrameSum(frame.data() + 1, length + 3));
        frame.push_back(PKT_END);
        // Spoil one byte, or cut the frame short.
        const auto spoil = input.ConsumeIntegralInRange<uint8_t>(0, 7);
        if (spoil == 1)
            frame[input.ConsumeIntegralInRange<std::size_t>(0, frame.size() - 1)] ^= input.ConsumeIntegral<uint8_t>();
        else if (spoil == 2)
            frame.resize(input.ConsumeIntegralInRange<std::size_t>(0, frame.size()));
        queued.insert(queued.end(), frame.begin(), frame.end());
        break;
    }
    }
    offered = queued;
}

int32_t TScriptedLink::Read(uint8_t* buffer, uint32_t count) {
    now += 1;
    if (static_cast<int32_t>(now - readyAt) < 0 || readPos == queued.size())
        return 0;
    const uint32_t piece = input.ConsumeIntegralInRange<uint32_t>(1, 64);
    const auto n = static_cast<uint32_t>(std::min<std::size_t>({count, piece, queued.size() - readPos}));
    std::memcpy(buffer, queued.data() + readPos, n);
    readPos += n;
    // A library may claim more than it delivered, or fail outright.
    switch (input.ConsumeIntegralInRange(0, 15)) {
    case 1:
        lied = true;
        return static_cast<int32_t>(n + input.ConsumeIntegralInRange<uint32_t>(1, 70000));
    case 2:
        return -1;
    default:
        return static_cast<int32_t>(n);
    }
}

} // namespace fuzzsupport
