#pragma once

#include <cstdint>

namespace testsupport {

// Replaces the tick counter while it lives. Every reading advances the time by `step` ms, so loops
// bounded by a time limit end after a known number of turns without sleeping.
class FakeClock {
public:
    explicit FakeClock(uint32_t start = 0, uint32_t step = 0);
    ~FakeClock();
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void Set(uint32_t now) { this->now = now; }
    void Advance(uint32_t ms) { now += ms; }
    void SetStep(uint32_t ms) { step = ms; }
    uint32_t Now() const { return now; }
    int Readings() const { return readings; }

private:
    uint32_t now;
    uint32_t step;
    int readings = 0;
};

} // namespace testsupport
