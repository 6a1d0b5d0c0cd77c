#pragma once

#include "board/DownloadApi.h"
#include "platform/DynamicLibrary.h"

#include <array>
#include <cstdint>
#include <string>

// One loading of the download library "VELDARA_DOWNLOAD.DLL" from the program's folder, for one
// configuration attempt or one version query. Construction shows an error box when the library is
// missing or lacks an export, and never fails otherwise: IsLoaded tells the outcome. Either the
// library is held with all 21 entry points, or nothing is held.
class TDownload {
public:
    TDownload();
    ~TDownload();
    TDownload(const TDownload&) = delete;
    TDownload& operator=(const TDownload&) = delete;

    bool IsLoaded() const { return library.IsLoaded(); }
    // Configures the FPGA with the bitstream; the arguments reach VELDARA_JtagDownload as given.
    // False without a call when the library is not loaded.
    bool JtagDownload(const std::string& bitstreamPath, int32_t arg2, uint8_t flag3, int32_t arg4, int32_t arg5,
                      uint8_t flag6, uint8_t flag7);
    // The Quartus version the library finds; 0.0 when the library is not loaded.
    double GetQuatusVersion();

private:
    platform::DynamicLibrary library;
    std::array<void*, std::size(DOWNLOAD_EXPORT_NAMES)> entryPoints{};
};
