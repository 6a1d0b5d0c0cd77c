#pragma once

#include <cstdint>

// The exports of the maker's download library "VELDARA_DOWNLOAD.DLL". All 21 must exist for the
// library to count as usable; only VELDARA_JtagDownload and VELDARA_GetQuatusVersion are ever called.
extern "C" {
// Configures the FPGA with a bitstream; nonzero when the FPGA is configured. The panel passes the
// bitstream's full path, 20000, 1, 0, 0, 0, 0.
using VELDARA_JtagDownload_t = uint8_t (*)(const char* bitstreamPath, int32_t arg2, uint8_t flag3, int32_t arg4,
                                           int32_t arg5, uint8_t flag6, uint8_t flag7);
using VELDARA_GetQuatusVersion_t = double (*)();
// The exports that are looked up but never called.
using VELDARA_Unused_t = int32_t (*)();
}

constexpr const char* DOWNLOAD_LIBRARY_NAME = "VELDARA_DOWNLOAD.DLL";

// In the order they are looked up.
constexpr const char* DOWNLOAD_EXPORT_NAMES[21] = {
    "VELDARA_DownloadEEPROMByByteBlaster",
    "VELDARA_JtagDownloadByteBlaster",
    "VELDARA_JtagDownload",
    "VELDARA_JtagDownloadChain",
    "VELDARA_Programming",
    "VELDARA_DownloadNios2",
    "VELDARA_DownloadNios2Ex",
    "VELDARA_FlashProgrammer",
    "VELDARA_AsDownload",
    "VELDARA_AsDownloadPV",
    "VELDARA_IsUsbBlasterDriverReady",
    "VELDARA_GetQuatusVersion",
    "VELDARA_SetQuartusProgrammerPath",
    "VELDARA_quartus_pgm",
    "VELDARA_Nios2Terminal",
    "VELDARA_KillNios2Terminal",
    "VELDARA_EnableBlasterII",
    "VELDARA_SetUB2Name",
    "VELDARA_Jtagconfig",
    "VELDARA_ExecuteJava",
    "VELDARA_quartus_hps",
};

// The control-panel bitstream that lies beside the program.
constexpr const char* CONTROL_PANEL_BITSTREAM = "QX7MB_ControlPanel.sof";
