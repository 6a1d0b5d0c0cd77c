#pragma once

#include <cstddef>
#include <cstdint>

// The five exports of the maker's JTAG access library "VELDARA_JTAG.DLL", in the order they are looked
// up. Any component offering them with these results may take the library's place.
extern "C" {
using VELDARA_JtagOpen_t = uint32_t (*)(int32_t deviceIndex, const char* deviceName);
using VELDARA_JtagClose_t = void (*)(uint32_t linkHandle);
using VELDARA_JtagWrite_t = int32_t (*)(uint32_t linkHandle, const uint8_t* bytes, uint32_t count);
using VELDARA_JtagRead_t = int32_t (*)(uint32_t linkHandle, uint8_t* buffer, uint32_t count);
using VELDARA_JtagGetInfo_t = int32_t (*)(uint32_t linkHandle, uint8_t* info);
}

// The library's entry points; a port can also be built over such a table directly (tests script
// the link byte by byte that way).
struct TJtagApi {
    VELDARA_JtagOpen_t open = nullptr;
    VELDARA_JtagClose_t close = nullptr;
    VELDARA_JtagWrite_t write = nullptr;
    VELDARA_JtagRead_t read = nullptr;
    VELDARA_JtagGetInfo_t getInfo = nullptr;
};

namespace platform {
class DynamicLibrary;
}

// Looks the five exports up in a loaded library; false when any is missing (the table then holds
// those that were found).
bool LookUpJtagApi(const platform::DynamicLibrary& library, TJtagApi& api);

constexpr const char* JTAG_LIBRARY_NAME = "VELDARA_JTAG.DLL";

// The information record the caller reserves for VELDARA_JtagGetInfo, and the one field read from it:
// a text at offset 112.
constexpr std::size_t JTAG_INFO_SIZE = 166;
constexpr std::size_t JTAG_INFO_TEXT_OFFSET = 112;
