#include "tests/support/FakeClock.h"

#include "platform/Clock.h"

namespace testsupport {

FakeClock::FakeClock(uint32_t start, uint32_t msPerReading) : now(start), step(msPerReading) {
    platform::SetTickSource([this] {
        ++readings;
        const uint32_t reading = now;
        now += step;
        return reading;
    });
}

FakeClock::~FakeClock() {
    platform::SetTickSource({});
}

} // namespace testsupport
