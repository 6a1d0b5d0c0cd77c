// VELDARA_DOWNLOAD.DLL, hardware edition: configures the FPGA of a real QX7-MB with quartus_pgm of the
// Quartus installation that $QUARTUS_ROOTDIR names, on the cable of board N (cable N+1, or the cable
// that $QX7MB_CABLE names), as the JTAG edition opens it; never a board whose JTAG UART another
// program holds. Only VELDARA_JtagDownload and VELDARA_GetQuatusVersion do anything; the other
// exports exist because the panel looks them all up, and report failure.
#include "config/DownloadApi.h"
#include "hardware/AtlanticLink.h"
#include "hardware/JtagCable.h"
#include "hardware/QuartusProgrammer.h"
#include "hardware/Report.h"

#include <cstdint>
#include <string>

#define QX7MB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Whether another program holds the JTAG UART of the board on the cable. Without Quartus's JTAG UART
// library nobody can hold it through Quartus, and quartus_pgm will tell what is missing.
bool HeldElsewhere(const std::string& cable, std::string& holder) {
    // Loaded once and kept, as the JTAG edition keeps it: the library may run threads of its own.
    static hardware::JtagAtlanticLibrary atlantic;
    hardware::QuartusInstall install;
    std::string problem;
    if (!install.Find(problem) || !atlantic.Load(install, problem))
        return false;
    return hardware::AtlanticLink::HeldElsewhere(atlantic, cable, holder);
}

} // namespace

// The fourth argument is the device number of the board, as in our virtual edition (the panel passes
// 0, qx7mb --device N passes N); the others mean nothing to quartus_pgm, whose own time limit holds.
QX7MB_EXPORT uint8_t VELDARA_JtagDownload(const char* bitstreamPath, int32_t, uint8_t, int32_t device, int32_t, uint8_t,
                                          uint8_t) {
    const std::string cable = hardware::ChooseCable(device);
    if (cable.empty())
        return 0;
    hardware::QuartusProgrammer programmer;
    const std::string bitstream = bitstreamPath != nullptr ? bitstreamPath : "";
    if (!programmer.Accepts(bitstream))
        return 0;
    // Configuring would cut the link of the program that holds the board, in the middle of its
    // exchanges: such a board is left as it is.
    std::string holder;
    if (HeldElsewhere(cable, holder)) {
        hardware::ReportFailure(DOWNLOAD_LIBRARY_NAME, hardware::AtlanticLink::InUseText(cable, holder) +
                                                           ": its FPGA is left as it is; close that program and "
                                                           "configure again");
        return 0;
    }
    return programmer.Configure(bitstream, cable) ? 1 : 0;
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
