#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vboard {

// What sits in the board's SD card slot: no card, or a card with its CSD and CID registers (most
// significant byte first) and the code of the file system found on it (1 FAT16, 2 FAT32).
struct SdCard {
    bool present = false;
    std::string profile = "none";
    std::array<uint8_t, 16> csd{};
    std::array<uint8_t, 16> cid{};
    uint8_t fileSystem = 0;
    // Set for high-capacity cards; the firmware reports it after the file-system code.
    bool highCapacity = false;

    static SdCard None();
    // A 2 GB standard-capacity card: version 1.0 CSD, FAT16.
    static SdCard Sdsc();
    // An 8 GB high-capacity card: version 2.0 CSD, FAT32.
    static SdCard Sdhc();
    // A high-capacity card without a file system the firmware knows (code 0).
    static SdCard Unformatted();
    // The card of a profile name ("none", "sdsc", "sdhc", "unformatted"); false for any other name.
    static bool FromProfile(const std::string& name, SdCard& card);
};

} // namespace vboard
