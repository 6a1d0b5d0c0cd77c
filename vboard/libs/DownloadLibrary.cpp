// VELDARA_DOWNLOAD.DLL, our edition: configures the virtual board by handing the bitstream to the
// board server's control socket. Only VELDARA_JtagDownload and VELDARA_GetQuatusVersion do anything;
// the other exports exist because the panel looks them all up, and report failure.
#include "board/DownloadApi.h"
#include "vboard/Bitstream.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define QX7MB_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int DEFAULT_LIMIT_MS = 20000;

} // namespace

// The second argument is taken as the time the board may take, in milliseconds (the panel passes
// 20000), and the fourth as the device number of the board to configure (the panel passes 0); the
// others mean nothing to a virtual board.
QX7MB_EXPORT uint8_t VELDARA_JtagDownload(const char* bitstreamPath, int32_t limitMs, uint8_t, int32_t device, int32_t,
                                          uint8_t, uint8_t) {
    if (bitstreamPath == nullptr || *bitstreamPath == '\0' || device < 0)
        return 0;
    // A file that is not a bitstream never reaches the board.
    vboard::Bitstream bitstream;
    std::string error;
    if (!vboard::Bitstream::Load(bitstreamPath, bitstream, error))
        return 0;
    char absolute[PATH_MAX];
    if (realpath(bitstreamPath, absolute) == nullptr)
        return 0;
    const int limit = limitMs > 0 ? limitMs : DEFAULT_LIMIT_MS;
    vboard::ControlClient client;
    std::string reply;
    if (!client.Connect(vboard::DefaultBoardFolder(device)) || !client.Request("state", reply, limit))
        return 0;
    // Configuring would reset the design under the program that holds the board's link, in the
    // middle of its exchanges: such a board is left as it is. (A link to a board without a design
    // carries nothing; real hardware has none.)
    if (reply.find(" configured=1 ") != std::string::npos && reply.find(" link=open ") != std::string::npos) {
        std::fprintf(stderr,
                     "VELDARA_DOWNLOAD.DLL: board %d is in use: another program holds its JTAG link; its FPGA is left "
                     "as it is\n",
                     device);
        return 0;
    }
    if (!client.Request(std::string("configure ") + absolute, reply, limit))
        return 0;
    return reply == "ok configured " + bitstream.design ? 1 : 0;
}

QX7MB_EXPORT double VELDARA_GetQuatusVersion() {
    return 0.0;
}

#define QX7MB_CALLED_EXPORT(name)
#define QX7MB_UNUSED_EXPORT(name)                                                                                      \
    QX7MB_EXPORT int32_t name() {                                                                                      \
        return 0;                                                                                                      \
    }
VELDARA_DOWNLOAD_EXPORTS(QX7MB_CALLED_EXPORT, QX7MB_UNUSED_EXPORT)
