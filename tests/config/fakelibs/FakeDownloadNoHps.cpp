// A download library that lacks VELDARA_quartus_hps, the last export looked up.
#include "board/DownloadApi.h"

extern "C" {
uint8_t VELDARA_JtagDownload(const char*, int32_t, uint8_t, int32_t, int32_t, uint8_t, uint8_t) {
    return 1;
}
double VELDARA_GetQuatusVersion() {
    return 13.1;
}
// Looked up, never called. The export list defines VELDARA_quartus_hps under another name, which is
// how this library comes to lack it.
#define VELDARA_quartus_hps FakeDownload_WithheldQuartusHps
#define CALLED_EXPORT(name)
#define UNUSED_EXPORT(name)                                                                                            \
    int32_t name() {                                                                                                   \
        return 0;                                                                                                      \
    }
VELDARA_DOWNLOAD_EXPORTS(CALLED_EXPORT, UNUSED_EXPORT)
}
