// A download library that lacks VELDARA_quartus_hps, the last export looked up.
#include <cstdint>

extern "C" {
uint8_t VELDARA_JtagDownload(const char*, int32_t, uint8_t, int32_t, int32_t, uint8_t, uint8_t) {
    return 1;
}
double VELDARA_GetQuatusVersion() {
    return 13.1;
}
// Looked up, never called.
#define UNUSED_EXPORT(name)                                                                                            \
    int32_t name() {                                                                                                   \
        return 0;                                                                                                      \
    }
UNUSED_EXPORT(VELDARA_DownloadEEPROMByByteBlaster)
UNUSED_EXPORT(VELDARA_JtagDownloadByteBlaster)
UNUSED_EXPORT(VELDARA_JtagDownloadChain)
UNUSED_EXPORT(VELDARA_Programming)
UNUSED_EXPORT(VELDARA_DownloadNios2)
UNUSED_EXPORT(VELDARA_DownloadNios2Ex)
UNUSED_EXPORT(VELDARA_FlashProgrammer)
UNUSED_EXPORT(VELDARA_AsDownload)
UNUSED_EXPORT(VELDARA_AsDownloadPV)
UNUSED_EXPORT(VELDARA_IsUsbBlasterDriverReady)
UNUSED_EXPORT(VELDARA_SetQuartusProgrammerPath)
UNUSED_EXPORT(VELDARA_quartus_pgm)
UNUSED_EXPORT(VELDARA_Nios2Terminal)
UNUSED_EXPORT(VELDARA_KillNios2Terminal)
UNUSED_EXPORT(VELDARA_EnableBlasterII)
UNUSED_EXPORT(VELDARA_SetUB2Name)
UNUSED_EXPORT(VELDARA_Jtagconfig)
UNUSED_EXPORT(VELDARA_ExecuteJava)
}
