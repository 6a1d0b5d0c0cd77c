// A download library with all 21 exports that records the arguments of VELDARA_JtagDownload and
// answers with a result and a Quartus version that the test chooses.
#include "FakeDownloadRecording.h"

#include <cstring>

namespace {
FakeDownloadCall lastCall;
int callCount = 0;
uint8_t downloadResult = 1;
double quartusVersion = 0.0;
} // namespace

extern "C" {
uint8_t VELDARA_JtagDownload(const char* path, int32_t arg2, uint8_t flag3, int32_t arg4, int32_t arg5, uint8_t flag6,
                             uint8_t flag7) {
    std::strncpy(lastCall.path, path, sizeof(lastCall.path) - 1);
    lastCall.path[sizeof(lastCall.path) - 1] = '\0';
    lastCall.arg2 = arg2;
    lastCall.flag3 = flag3;
    lastCall.arg4 = arg4;
    lastCall.arg5 = arg5;
    lastCall.flag6 = flag6;
    lastCall.flag7 = flag7;
    ++callCount;
    return downloadResult;
}
double VELDARA_GetQuatusVersion() {
    return quartusVersion;
}

const FakeDownloadCall* FakeDownload_LastCall() {
    return &lastCall;
}
int FakeDownload_CallCount() {
    return callCount;
}
void FakeDownload_SetResult(uint8_t result) {
    downloadResult = result;
}
void FakeDownload_SetVersion(double version) {
    quartusVersion = version;
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
int32_t VELDARA_quartus_hps() {
    return 0;
}
}
