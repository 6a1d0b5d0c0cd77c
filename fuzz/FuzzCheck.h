#pragma once

#include <cstdio>
#include <cstdlib>

// A property every input must keep. A broken one ends the run the way libFuzzer records a crash, with
// the property named, so the input is saved as an artifact.
#define FUZZ_CHECK(cond)                                                                                               \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond);                           \
            std::abort();                                                                                              \
        }                                                                                                              \
    } while (0)
