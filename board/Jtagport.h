#pragma once

#include "board/JtagApi.h"
#include "platform/DynamicLibrary.h"

#include <cstdint>
#include <string>

// The thin byte pipe to the JTAG access library: it loads the library, opens and closes one link,
// sends blocks and receives bytes against a time limit. No thread, no buffer, no lock of its own.
class TJtagPort {
public:
    // Loads "VELDARA_JTAG.DLL" from the program's folder; a missing library or export is reported in
    // a box and leaves the port inert.
    TJtagPort(int32_t deviceIndex, const std::string& deviceName);
    // Uses the given entry points instead of a library.
    TJtagPort(const TJtagApi& api, int32_t deviceIndex, const std::string& deviceName);
    // Releases the library; the owner closes the link first.
    ~TJtagPort() = default;
    TJtagPort(const TJtagPort&) = delete;
    TJtagPort& operator=(const TJtagPort&) = delete;

    bool Open();
    void Close();
    bool IsOpen() const;
    bool Write(const uint8_t* bytes, uint32_t count);
    // Polls the library until count bytes arrived or limitMs passed; returns the bytes received.
    uint32_t Read(uint8_t* buffer, uint32_t count, uint32_t limitMs);
    bool GetInfo(uint8_t* info);

    // Switches the working folder to the Quartus tool folder (true) or back to the program's folder.
    static void EnterToolFolder(bool enter);

private:
    platform::DynamicLibrary library;
    bool loaded = false;
    uint32_t linkHandle = 0;
    int32_t deviceIndex;
    std::string deviceName;
    TJtagApi api;
};
