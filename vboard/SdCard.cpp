#include "vboard/SdCard.h"

namespace vboard {

SdCard SdCard::None() {
    return SdCard{};
}

SdCard SdCard::Sdsc() {
    SdCard card;
    card.present = true;
    card.profile = "sdsc";
    // TAAC 1.5 ms, TRAN_SPEED 25 Mbit/s, READ_BL_LEN 10, C_SIZE 4095, C_SIZE_MULT 7: 2048 MB.
    card.csd = {0x00, 0x26, 0x00, 0x32, 0x5F, 0x5A, 0x83, 0xFF, 0xFF, 0x83, 0xBF, 0x80, 0x16, 0x80, 0x00, 0x01};
    // Manufacturer 03h, OEM "SD", product "SU02G", revision 80h, serial 1A2B3C4Dh, made 2010-06.
    card.cid = {0x03, 0x53, 0x44, 0x53, 0x55, 0x30, 0x32, 0x47, 0x80, 0x1A, 0x2B, 0x3C, 0x4D, 0x00, 0xA6, 0x01};
    card.fileSystem = 1;
    return card;
}

SdCard SdCard::Sdhc() {
    SdCard card;
    card.present = true;
    card.profile = "sdhc";
    card.highCapacity = true;
    // TAAC 1 ms, TRAN_SPEED 25 Mbit/s, READ_BL_LEN 9, C_SIZE 16383: 8192 MB.
    card.csd = {0x40, 0x0E, 0x00, 0x32, 0x5B, 0x59, 0x00, 0x00, 0x3F, 0xFF, 0x7F, 0x80, 0x0A, 0x40, 0x00, 0x01};
    // Manufacturer 27h, OEM "PH", product "SD08G", revision 30h, serial 5566778899h, made 2014-03.
    card.cid = {0x27, 0x50, 0x48, 0x53, 0x44, 0x30, 0x38, 0x47, 0x30, 0x55, 0x66, 0x77, 0x88, 0x00, 0xE3, 0x01};
    card.fileSystem = 2;
    return card;
}

SdCard SdCard::Unformatted() {
    SdCard card = Sdhc();
    card.profile = "unformatted";
    card.cid[9] = 0x01;
    card.fileSystem = 0;
    return card;
}

bool SdCard::FromProfile(const std::string& name, SdCard& card) {
    if (name == "none")
        card = None();
    else if (name == "sdsc")
        card = Sdsc();
    else if (name == "sdhc")
        card = Sdhc();
    else if (name == "unformatted")
        card = Unformatted();
    else
        return false;
    return true;
}

} // namespace vboard
