// The bitstream reader: any bytes are either refused with a reason, or a bitstream that encodes back
// to exactly those bytes, with a printable design name of 1 to 255 characters. Loading the same bytes
// from a file gives the same verdict.
#include "fuzz/FuzzCheck.h"
#include "fuzz/ScratchFolder.h"
#include "vboard/Bitstream.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    vboard::Bitstream bitstream;
    std::string error;
    const bool ok = vboard::Bitstream::Decode(bytes, bitstream, error);
    if (ok) {
        FUZZ_CHECK(bitstream.Encode() == bytes);
        FUZZ_CHECK(!bitstream.design.empty() && bitstream.design.size() <= vboard::Bitstream::MAX_NAME_LEN);
        for (const char c : bitstream.design)
            FUZZ_CHECK(c > 0x20 && c < 0x7F);
    } else {
        FUZZ_CHECK(!error.empty());
    }

    // One input in sixteen goes through a file too, which costs far more than decoding.
    if (size != 0 && data[0] % 16 == 0) {
        const std::string path = fuzzsupport::ScratchFolder() + "/design.sof";
        fuzzsupport::WriteWholeFile(path, bytes);
        vboard::Bitstream loaded;
        std::string loadError;
        FUZZ_CHECK(vboard::Bitstream::Load(path, loaded, loadError) == ok);
        FUZZ_CHECK(loadError == error);
        if (ok)
            FUZZ_CHECK(loaded.design == bitstream.design && loaded.payload == bitstream.payload);
    }
    return 0;
}
