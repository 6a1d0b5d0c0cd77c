#pragma once

#include "board/Board.h"
#include "cli/MemoryTransfer.h"

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

namespace cli {

// One byte as written and as read back.
struct ByteProbe {
    uint32_t address;
    uint8_t wrote;
    uint8_t read;
};

// The reading of data-line probes in words: for each data bit that read 1 where 0 was written, or 0
// where 1 was, "data bit 5 stuck at 1", "data bit 2 stuck at 0" (both ways: "data bit 3 does not hold
// its value"), joined by "; ". Empty when every probe read back what was written.
std::string DescribeDataBits(const std::vector<ByteProbe>& probes);
// The data bits that read back as written in every probe.
uint8_t SoundDataBits(const std::vector<ByteProbe>& probes);

// The reading of an address found holding what another one was given, by the address lines in which
// the two differ: "address bit 20 shorted: 0x100000 aliases 0x0", "address bits 4 and 7 shorted: 0x80
// aliases 0x10".
std::string DescribeAlias(uint32_t address, uint32_t writtenAt);

// The byte a march writes at an address: a hash of it, so that a cell reached by two addresses holds
// the wrong value for one of them.
inline uint8_t MarchByte(uint32_t address) {
    return static_cast<uint8_t>((address * 0x9E3779B1u) >> 24);
}

// The SDRAM tests of a board test, over the firmware's memory commands alone: a data-line test (walking
// ones and zeros through one location), an address-line test (a marker at 0 and at each power-of-two
// offset, checked for aliasing) and a march (a pattern and its complement, each written and read back).
// Each fills a finding with the first failing address, the bits that differ and their reading in
// words. The memory's content is not kept.
class SdramCheck {
public:
    enum class Outcome { Passed, Failed, LinkFailed, Interrupted };

    struct Finding {
        explicit Finding(std::string test) : test(std::move(test)) {}

        std::string test;
        Outcome outcome = Outcome::Passed;
        uint32_t address = 0;
        uint8_t expected = 0;
        uint8_t read = 0;
        uint64_t failures = 0; // bytes that read back wrong
        std::string reading;   // in words

        nlohmann::json Json() const;
        std::string Line() const;
    };

    SdramCheck(TBoard& board, MemoryTransfer& transfer) : board(board), transfer(transfer) {}

    Finding DataLines();
    Finding AddressLines();
    // The march over the first size bytes, with a progress bar for each pass.
    Finding March(uint32_t size, const std::function<ProgressBar(const std::string&, uint64_t)>& progress);

private:
    bool WriteByte(uint32_t address, uint8_t value);
    bool ReadByte(uint32_t address, uint8_t& value);

    TBoard& board;
    MemoryTransfer& transfer;
    uint8_t soundBits = 0xFF; // the data bits the data-line test found sound
};

} // namespace cli
