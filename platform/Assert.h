#pragma once

// Programming-error checks that stay active in every build. A failed check names the module and the
// condition ("pReturnBuffer" in Board), then ends the program: such a state is never reached by input.
#define QX7MB_ASSERT(cond, module)                                                                                     \
    do {                                                                                                               \
        if (!(cond))                                                                                                   \
            ::platform::AssertionFailed(#cond, module, __LINE__);                                                      \
    } while (0)

namespace platform {
[[noreturn]] void AssertionFailed(const char* condition, const char* module, int line);
}
