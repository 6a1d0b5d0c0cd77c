// A download library with all 21 exports that records the arguments of VELDARA_JtagDownload and
// answers with a result and a Quartus version that the test chooses.
#include "FakeDownloadRecording.h"

#include "board/DownloadApi.h"

#include <cstring>
#include <unistd.h>

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
    if (getcwd(lastCall.workingFolder, sizeof lastCall.workingFolder) == nullptr)
        lastCall.workingFolder[0] = '\0';
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

// Looked up, never called.
#define CALLED_EXPORT(name)
#define UNUSED_EXPORT(name)                                                                                            \
    int32_t name() {                                                                                                   \
        return 0;                                                                                                      \
    }
VELDARA_DOWNLOAD_EXPORTS(CALLED_EXPORT, UNUSED_EXPORT)
}
