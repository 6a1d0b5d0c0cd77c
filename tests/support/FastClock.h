#pragma once

#include "platform/Clock.h"

#include <chrono>
#include <cstdint>

namespace testsupport {

// Replaces the tick counter while it lives with real time, sped up: a 3000 ms limit passes in
// 3000 / factor ms. For work that must wait out a time limit against a real board server.
class FastClock {
public:
    explicit FastClock(uint32_t factor) {
        const auto start = std::chrono::steady_clock::now();
        platform::SetTickSource([start, factor] {
            const auto elapsed = std::chrono::steady_clock::now() - start;
            return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count() *
                                         factor);
        });
    }
    ~FastClock() { platform::SetTickSource({}); }
    FastClock(const FastClock&) = delete;
    FastClock& operator=(const FastClock&) = delete;
};

} // namespace testsupport
