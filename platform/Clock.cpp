#include "platform/Clock.h"

#include <chrono>
#include <utility>

namespace platform {

namespace {
TickSource& Source() {
    static TickSource source;
    return source;
}
} // namespace

uint32_t GetTickCount() {
    if (const TickSource& source = Source())
        return source();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void SetTickSource(TickSource source) {
    Source() = std::move(source);
}

} // namespace platform
