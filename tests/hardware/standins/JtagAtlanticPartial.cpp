// A libjtag_atlantic.so of the wrong kind: it has jtagatlantic_open and jtagatlantic_get_error, and
// none of the other functions.
#include "hardware/JtagAtlantic.h"

#include <cstddef>

JTAGATLANTIC* jtagatlantic_open(const char*, int, int, const char*) {
    return nullptr;
}

JATL_ERROR jtagatlantic_get_error(const char** other_info) {
    if (other_info != nullptr)
        *other_info = nullptr;
    return static_cast<JATL_ERROR>(-99);
}
