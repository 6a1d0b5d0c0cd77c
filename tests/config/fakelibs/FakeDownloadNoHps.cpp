// A download library that lacks VELDARA_quartus_hps, the last export looked up.
#include <cstdint>

extern "C" {
uint8_t VELDARA_JtagDownload(const char*, int32_t, uint8_t, int32_t, int32_t, uint8_t, uint8_t) {
    return 1;
}
double VELDARA_GetQuatusVersion() {
    return 13.1;
}
int32_t VELDARA_DownloadEEPROMByByteBlaster() {
    return 0;
}
int32_t VELDARA_JtagDownloadByteBlaster() {
    return 0;
}
int32_t VELDARA_JtagDownloadChain() {
    return 0;
}
int32_t VELDARA_Programming() {
    return 0;
}
int32_t VELDARA_DownloadNios2() {
    return 0;
}
int32_t VELDARA_DownloadNios2Ex() {
    return 0;
}
int32_t VELDARA_FlashProgrammer() {
    return 0;
}
int32_t VELDARA_AsDownload() {
    return 0;
}
int32_t VELDARA_AsDownloadPV() {
    return 0;
}
int32_t VELDARA_IsUsbBlasterDriverReady() {
    return 0;
}
int32_t VELDARA_SetQuartusProgrammerPath() {
    return 0;
}
int32_t VELDARA_quartus_pgm() {
    return 0;
}
int32_t VELDARA_Nios2Terminal() {
    return 0;
}
int32_t VELDARA_KillNios2Terminal() {
    return 0;
}
int32_t VELDARA_EnableBlasterII() {
    return 0;
}
int32_t VELDARA_SetUB2Name() {
    return 0;
}
int32_t VELDARA_Jtagconfig() {
    return 0;
}
int32_t VELDARA_ExecuteJava() {
    return 0;
}
}
