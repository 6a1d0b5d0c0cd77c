// Writes a bitstream file for the virtual board: qx7mb-mkbitstream OUTPUT DESIGN [PAYLOAD_BYTES].
// The build makes QX7MB_ControlPanel.sof with it.
#include "vboard/Bitstream.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4) {
        std::fprintf(stderr, "usage: qx7mb-mkbitstream OUTPUT DESIGN [PAYLOAD_BYTES]\n");
        return 2;
    }
    vboard::Bitstream bitstream;
    bitstream.design = argv[2];
    const unsigned long size = argc == 4 ? std::strtoul(argv[3], nullptr, 10) : 65536;
    // Reproducible filler standing for the configuration data.
    uint32_t state = 0x51A7B17Eu;
    bitstream.payload.resize(size);
    for (auto& byte : bitstream.payload) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    const std::vector<uint8_t> bytes = bitstream.Encode();
    std::string error;
    vboard::Bitstream check;
    if (!vboard::Bitstream::Decode(bytes, check, error)) {
        std::fprintf(stderr, "qx7mb-mkbitstream: %s\n", error.c_str());
        return 1;
    }
    const std::string temporary = std::string(argv[1]) + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "qx7mb-mkbitstream: cannot write %s\n", temporary.c_str());
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), argv[1]) != 0) {
        std::fprintf(stderr, "qx7mb-mkbitstream: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
