#pragma once

// The published client interface of Quartus's JTAG UART library, libjtag_atlantic.so in
// $QUARTUS_ROOTDIR/linux64/. The library has C++ linkage: its symbols carry the mangled names of
// these declarations, which the build reads from the compiler (JtagAtlanticSymbols.h) for the lookups.
struct JTAGATLANTIC;

// What jtagatlantic_get_error tells of the last open that failed. The int beneath it is stated so that
// a code a later release adds is a valid value here too (a function's mangled name does not carry its
// result type, so the symbol stays the published one).
enum JATL_ERROR : int {
    JTAL_SUCCESS = 0,
    JTAL_NO_SERVER = -1,           // the local JTAG server (jtagd) is not running or not reachable by this user
    JTAL_CABLE_NOT_UNIQUE = -2,    // more than one cable, and none was named
    JTAL_CABLE_NOT_AVAILABLE = -3, // the named cable is not available
    JTAL_CABLE_NOT_PLUGGED = -4,   // the named cable is not plugged in
    JTAL_NO_BOARD = -5,            // JTAG is not connected to a board, or the board is powered down
    JTAL_IN_USE = -6,              // another program uses the UART; other_info names it
    JTAL_UART_NOT_UNIQUE = -7,     // more than one UART: a device and an instance must be given
    JTAL_NO_UART = -8,             // no UART matches the device and instance
    JTAL_UART_INCOMPATIBLE = -9    // the UART is not compatible with this version of the library
};

// Every function once, as X(result, name, parameters): this list declares them below, and the
// lookups and the symbol names are made from it.
// - open: chain is the cable's number as text ("1" is the first cable) or its name as jtagconfig
//   prints it; device_index (1 is the first device of the chain) and link_instance pick the UART,
//   -1 for "the only one". NULL when it fails; get_error tells why.
// - write: the number of bytes taken into the library's buffer (possibly fewer than count, 0 when it
//   is full), negative on error. The library's own thread sends them; no flush is needed.
// - flush: waits until the buffer is sent, without a time limit of its own: never called here.
// - read: never waits; the number of bytes placed (0: none there), -1 when the connection broke.
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
