// VELDARA_DOWNLOAD.DLL, hardware edition: configures the FPGA of a real QX7-MB with quartus_pgm of the
// Quartus installation that $QUARTUS_ROOTDIR names, on the cable of board N (cable N+1, or the cable
// that $QX7MB_CABLE names), as the JTAG edition opens it. Only VELDARA_JtagDownload and VELDARA_GetQuatusVersion do anything; the
// other exports exist because the panel looks them all up, and report failure.
#include "config/DownloadApi.h"
#include "hardware/JtagCable.h"
#include "hardware/QuartusProgrammer.h"

#include <cstdint>
#include <string>

#define QX7MB_EXPORT extern "C" __attribute__((visibility("default")))

// The fourth argument is the device number of the board, as in our virtual edition (the panel passes
// 0, qx7mb --device N passes N); the others mean nothing to quartus_pgm, whose own time limit holds.
QX7MB_EXPORT uint8_t VELDARA_JtagDownload(const char* bitstreamPath, int32_t, uint8_t, int32_t device, int32_t,
                                          uint8_t, uint8_t) {
    const std::string cable = hardware::ChooseCable(device);
    if (cable.empty())
        return 0;
    hardware::QuartusProgrammer programmer;
    return programmer.Configure(bitstreamPath != nullptr ? bitstreamPath : "", cable) ? 1 : 0;
}

QX7MB_EXPORT double VELDARA_GetQuatusVersion() {
    hardware::QuartusProgrammer programmer;
    return programmer.Version();
}

#define QX7MB_CALLED_EXPORT(name)
#define QX7MB_UNUSED_EXPORT(name)                                                                                      \
    QX7MB_EXPORT int32_t name() {                                                                                      \
        return 0;                                                                                                      \
    }
VELDARA_DOWNLOAD_EXPORTS(QX7MB_CALLED_EXPORT, QX7MB_UNUSED_EXPORT)
