#include "platform/Assert.h"

#include <cstdio>
#include <cstdlib>

namespace platform {

void AssertionFailed(const char* condition, const char* module, int line) {
    std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", condition, module, line);
    std::fflush(stderr);
    std::abort();
}

} // namespace platform
