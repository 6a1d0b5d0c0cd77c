#pragma once

#include <cstdint>
#include <functional>

namespace platform {

// The system's millisecond tick counter: monotonic, 32 bits, wrapping like the original.
// Time limits compare differences of two ticks as unsigned 32-bit numbers.
uint32_t GetTickCount();

// Tests replace the clock to make time limits deterministic; an empty function restores the real one.
using TickSource = std::function<uint32_t()>;
void SetTickSource(TickSource source);

} // namespace platform
