#pragma once

// The published client interface of Quartus's JTAG UART library, libjtag_atlantic.so in
// $QUARTUS_ROOTDIR/linux64/. The library has C++ linkage: its symbols carry the mangled names of
// these declarations, which the build reads from the compiler (JtagAtlanticSymbols.h) for the lookups.
struct JTAGATLANTIC;

enum JATL_ERROR {
    JTAL_SUCCESS = 0,
    JTAL_LINK_BROKEN = -1,
    JTAL_CABLE_NOT_UNIQUE = -2,
    JTAL_CABLE_NOT_EXISTING = -3,
    JTAL_CABLE_NOT_CONNECTED_HOST = -4,
    JTAL_CABLE_NOT_CONNECTED_BOARD = -5,
    JTAL_IN_USE = -6,
    JTAL_NODE_NOT_UNIQUE = -7,
    JTAL_NODE_NOT_EXISTING = -8,
    JTAL_HW_BROKEN = -9,
    JTAL_BAD_ERROR = -99
};

// Every function once, as X(result, name, parameters): this list declares them below, and the
// lookups and the symbol names are made from it.
// - open: chain is the cable's number as text ("1" is the first cable) or its name as jtagconfig
//   prints it; NULL, -1 and -1 mean "the only one". NULL when it fails; get_error tells why.
// - write: the number of bytes taken (possibly fewer than count), negative on error.
// - read: never waits; the number of bytes placed, negative on error.
// clang-format off
#define JTAGATLANTIC_FUNCTIONS(X)                                                                                      \
    X(JTAGATLANTIC*, jtagatlantic_open,                                                                                \
      (const char* chain, int device_index, int link_instance, const char* app_name))                                  \
    X(enum JATL_ERROR, jtagatlantic_get_error, (const char** other_info))                                              \
    X(void, jtagatlantic_close, (JTAGATLANTIC* link))                                                                  \
    X(int, jtagatlantic_write, (JTAGATLANTIC* link, const char* data, unsigned int count))                             \
    X(int, jtagatlantic_flush, (JTAGATLANTIC* link))                                                                   \
    X(int, jtagatlantic_read, (JTAGATLANTIC* link, char* buffer, unsigned int buffsize))                               \
    X(int, jtagatlantic_bytes_available, (JTAGATLANTIC* link))                                                         \
    X(void, jtagatlantic_get_info, (JTAGATLANTIC* link, const char** chain, int* device_index, int* link_instance))
// clang-format on

#define JTAGATLANTIC_DECLARE(result, name, parameters) result name parameters;
JTAGATLANTIC_FUNCTIONS(JTAGATLANTIC_DECLARE)
#undef JTAGATLANTIC_DECLARE
