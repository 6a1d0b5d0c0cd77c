#pragma once

#include "board/JtagApi.h"
#include "platform/DynamicLibrary.h"

#include <chrono>
#include <cstdint>
#include <string>

// An edition of VELDARA_JTAG.DLL behind entry points that count the exchanges (one write each) and
// time the input drain's one-byte reads, for the benchmarks. The entry points reach one loaded
// edition at a time.
class MeteredJtag {
public:
    using Clock = std::chrono::steady_clock;

    // Loads the edition in the program's folder, or the one at path, and puts it behind the entry
    // points; false with the path tried.
    bool Load(std::string& error);
    bool Load(const std::string& path, std::string& error);
    // Puts this (loaded) edition behind the entry points again.
    void Select() const;

    // The counting entry points, for TBoard.
    static TJtagApi Api();
    static void Reset();
    static uint64_t Exchanges();
    static Clock::duration DrainTime();

private:
    platform::DynamicLibrary dll;
    TJtagApi api{};
};
