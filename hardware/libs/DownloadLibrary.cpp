// VELDARA_DOWNLOAD.DLL, hardware edition: configures the FPGA of a real QX7-MB with quartus_pgm of the
// Quartus installation found (hardware/QuartusInstall.h), on the cable and device where the JTAG edition
// opens board N's link (see hardware/JtagCable.h); never a board whose JTAG UART another program
// holds. Only VELDARA_JtagDownload and VELDARA_GetQuatusVersion do anything; the other exports exist
// because the panel looks them all up, and report failure.
#include "board/DownloadApi.h"
#include "hardware/AtlanticLink.h"
#include "hardware/JtagCable.h"
#include "hardware/QuartusProgrammer.h"
#include "hardware/Report.h"

#include <cstdint>
#include <string>

#define QX7MB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Quartus's JTAG UART library, loaded once and kept, as the JTAG edition keeps it: it may run threads
// of its own. Null without it: then nobody can hold the board through Quartus, and quartus_pgm will
// tell what is missing.
const hardware::JtagAtlanticLibrary* Atlantic() {
    static hardware::JtagAtlanticLibrary atlantic;
    hardware::QuartusInstall install;
    std::string problem;
    return install.Find(hardware::QuartusInstall::JTAG_LIBRARIES, problem) && atlantic.Load(install, problem) ? &atlantic : nullptr;
}

} // namespace

// The fourth argument is the device number of the board, as in our virtual edition (the panel passes
// 0, qx7mb --device N passes N); the others mean nothing to quartus_pgm, whose own time limit holds.
QX7MB_EXPORT uint8_t VELDARA_JtagDownload(const char* bitstreamPath, int32_t, uint8_t, int32_t device, int32_t, uint8_t,
                                          uint8_t) {
    hardware::JtagTarget target;
    std::string problem;
    if (!hardware::ChooseTarget(device, target, problem)) {
        hardware::ReportFailure(DOWNLOAD_LIBRARY_NAME, problem);
        return 0;
    }
    hardware::QuartusProgrammer programmer;
    const std::string bitstream = bitstreamPath != nullptr ? bitstreamPath : "";
    if (!programmer.Accepts(bitstream))
        return 0;
    // Configuring would cut the link of the program that holds the board, in the middle of its
    // exchanges: such a board is left as it is.
    const hardware::JtagAtlanticLibrary* atlantic = Atlantic();
    std::string holder;
    if (atlantic != nullptr && hardware::AtlanticLink::HeldElsewhere(*atlantic, target, holder)) {
        hardware::ReportFailure(DOWNLOAD_LIBRARY_NAME, hardware::AtlanticLink::InUseText(target.cable, holder) +
                                                           ": its FPGA is left as it is; close that program and "
                                                           "configure again");
        return 0;
    }
    if (!programmer.Configure(bitstream, target))
        return 0;
    // So that the caller's next open finds the new design's JTAG UART at its first attempt.
    if (atlantic != nullptr)
        hardware::AtlanticLink::AwaitUart(*atlantic, target);
    return 1;
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
