#pragma once

#include "board/JtagApi.h"

#include <chrono>
#include <cstdint>
#include <string>

// The program's VELDARA_JTAG.DLL behind entry points that count the exchanges (one write each) and
// time the input drain's one-byte reads, for the benchmarks. One at a time per process.
class MeteredJtag {
public:
    using Clock = std::chrono::steady_clock;

    // Loads the library from the program's folder; false with the path tried.
    bool Load(std::string& error);
    // The counting entry points, for TBoard.
    static TJtagApi Api();
    static void Reset();
    static uint64_t Exchanges();
    static Clock::duration DrainTime();
};
