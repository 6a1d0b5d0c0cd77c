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

// All 21 in the order they are looked up, as CALLED(name) for the two that are called and
// UNUSED(name) for the others.
#define VELDARA_DOWNLOAD_EXPORTS(CALLED, UNUSED)                                                                       \
    UNUSED(VELDARA_DownloadEEPROMByByteBlaster)                                                                        \
    UNUSED(VELDARA_JtagDownloadByteBlaster)                                                                            \
    CALLED(VELDARA_JtagDownload)                                                                                       \
    UNUSED(VELDARA_JtagDownloadChain)                                                                                  \
    UNUSED(VELDARA_Programming)                                                                                        \
    UNUSED(VELDARA_DownloadNios2)                                                                                      \
    UNUSED(VELDARA_DownloadNios2Ex)                                                                                    \
    UNUSED(VELDARA_FlashProgrammer)                                                                                    \
    UNUSED(VELDARA_AsDownload)                                                                                         \
    UNUSED(VELDARA_AsDownloadPV)                                                                                       \
    UNUSED(VELDARA_IsUsbBlasterDriverReady)                                                                            \
    CALLED(VELDARA_GetQuatusVersion)                                                                                   \
    UNUSED(VELDARA_SetQuartusProgrammerPath)                                                                           \
    UNUSED(VELDARA_quartus_pgm)                                                                                        \
    UNUSED(VELDARA_Nios2Terminal)                                                                                      \
    UNUSED(VELDARA_KillNios2Terminal)                                                                                  \
    UNUSED(VELDARA_EnableBlasterII)                                                                                    \
    UNUSED(VELDARA_SetUB2Name)                                                                                         \
    UNUSED(VELDARA_Jtagconfig)                                                                                         \
    UNUSED(VELDARA_ExecuteJava)                                                                                        \
    UNUSED(VELDARA_quartus_hps)

#define VELDARA_DOWNLOAD_EXPORT_NAME(name) #name,
constexpr const char* DOWNLOAD_EXPORT_NAMES[21] = {
    VELDARA_DOWNLOAD_EXPORTS(VELDARA_DOWNLOAD_EXPORT_NAME, VELDARA_DOWNLOAD_EXPORT_NAME)};
#undef VELDARA_DOWNLOAD_EXPORT_NAME

// The control-panel bitstream that lies beside the program.
constexpr const char* CONTROL_PANEL_BITSTREAM = "QX7MB_ControlPanel.sof";
