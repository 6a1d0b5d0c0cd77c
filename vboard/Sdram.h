#pragma once

#include <bitset>
#include <cstddef>
#include <cstdint>

namespace vboard {

// Broken lines between the firmware and the SDRAM, as a faulty board would have them: a data line
// stuck at 0 or 1 (every byte reads back with that bit fixed), an address line the memory ignores
// (addresses that differ only in that bit reach the same cell).
struct SdramLineFaults {
    int stuckDataBit = -1; // 0 to 7, or -1
    bool stuckHigh = false;
    int ignoredAddressBit = -1; // 0 to 25, or -1

    bool Any() const { return stuckDataBit >= 0 || ignoredAddressBit >= 0; }
    friend bool operator==(const SdramLineFaults&, const SdramLineFaults&) = default;
};

// The board's 64 MiB of SDRAM. The address range is reserved on the first write and memory is taken
// only for the pages written (2 MiB each, backed by huge pages where the system offers them, since
// touching memory 4 KiB at a time costs far more than the copy); a page never written reads as zeros
// and costs nothing.
class Sdram {
public:
    static constexpr uint32_t SIZE = 0x4000000;
    static constexpr uint32_t PAGE_SIZE = 0x200000;

    Sdram() = default;
    ~Sdram();
    Sdram(const Sdram&) = delete;
    Sdram& operator=(const Sdram&) = delete;

    // False when the range does not lie wholly inside the SDRAM (nothing is written then), or when
    // the system has no memory to reserve for it.
    bool Write(uint32_t address, const uint8_t* data, uint32_t count);
    bool Read(uint32_t address, uint8_t* destination, uint32_t count) const;
    // The same through the memory's lines, as the firmware's memory commands reach it.
    bool Write(uint32_t address, const uint8_t* data, uint32_t count, const SdramLineFaults& lines);
    bool Read(uint32_t address, uint8_t* destination, uint32_t count, const SdramLineFaults& lines) const;
    // Every byte back to zero, and the memory given back.
    void Clear();
    std::size_t PagesInUse() const { return written.count(); }

    static bool InRange(uint32_t address, uint32_t count) { return static_cast<uint64_t>(address) + count <= SIZE; }

private:
    bool Reserve();

    uint8_t* base = nullptr;
    // Where the reservation began, before it was aligned to a page.
    void* mapping = nullptr;
    std::size_t mappingSize = 0;
    std::bitset<SIZE / PAGE_SIZE> written;
};

} // namespace vboard
