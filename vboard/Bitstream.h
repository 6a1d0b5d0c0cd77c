#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vboard {

// Our own small bitstream file format for the virtual board's FPGA:
//   8 bytes   magic "QX7MBSOF"
//   2 bytes   length N of the design name, little-endian (1 to 255)
//   N bytes   design name (printable ASCII)
//   4 bytes   length P of the payload, little-endian
//   P bytes   payload (the configuration data; the virtual board only checks it)
//   4 bytes   FNV-1a hash of every byte before it, little-endian
struct Bitstream {
    static constexpr const char MAGIC[9] = "QX7MBSOF";
    static constexpr const char* CONTROL_PANEL_DESIGN = "QX7MB_ControlPanel";
    // Larger files are refused unread: no configuration image of this FPGA comes near it.
    static constexpr uint32_t MAX_FILE_SIZE = 64u << 20;
    static constexpr std::size_t MAX_NAME_LEN = 255;

    std::string design;
    std::vector<uint8_t> payload;

    std::vector<uint8_t> Encode() const;
    // False with a reason when the bytes are not a whole, intact bitstream of this format.
    static bool Decode(const std::vector<uint8_t>& bytes, Bitstream& bitstream, std::string& error);
    // Reads and decodes a file; false with a reason for a missing, unreadable, corrupt or foreign file.
    static bool Load(const std::string& path, Bitstream& bitstream, std::string& error);
    static uint32_t Hash(const uint8_t* bytes, std::size_t count);
};

} // namespace vboard
