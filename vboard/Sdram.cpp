#include "vboard/Sdram.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>

namespace vboard {

Sdram::~Sdram() {
    if (mapping != nullptr)
        munmap(mapping, mappingSize);
}

bool Sdram::Reserve() {
    // One page more than needed, so that the SDRAM can start on a page boundary, as huge pages need.
    mappingSize = SIZE + PAGE_SIZE;
    void* p = mmap(nullptr, mappingSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (p == MAP_FAILED) {
        mappingSize = 0;
        return false;
    }
    mapping = p;
    const auto address = reinterpret_cast<uintptr_t>(p);
    base = reinterpret_cast<uint8_t*>((address + PAGE_SIZE - 1) & ~static_cast<uintptr_t>(PAGE_SIZE - 1));
    madvise(base, SIZE, MADV_HUGEPAGE);
    return true;
}

bool Sdram::Write(uint32_t address, const uint8_t* data, uint32_t count) {
    if (!InRange(address, count) || (base == nullptr && !Reserve()))
        return false;
    if (count == 0)
        return true;
    std::memcpy(base + address, data, count);
    for (uint32_t page = address / PAGE_SIZE; page <= (address + count - 1) / PAGE_SIZE; ++page)
        written.set(page);
    return true;
}

bool Sdram::Read(uint32_t address, uint8_t* destination, uint32_t count) const {
    if (!InRange(address, count))
        return false;
    while (count != 0) {
        const uint32_t page = address / PAGE_SIZE;
        const uint32_t n = std::min(count, PAGE_SIZE - address % PAGE_SIZE);
        // A page never written is not touched, so reading it takes no memory.
        if (written.test(page))
            std::memcpy(destination, base + address, n);
        else
            std::memset(destination, 0, n);
        address += n;
        destination += n;
        count -= n;
    }
    return true;
}

namespace {

// Calls step(cell address, offset, n) for the runs of a range inside which the ignored address bit
// does not change, each run moved to the cells that bit 0 of the ignored line selects.
template <class Step> bool ForEachCellRun(uint32_t address, uint32_t count, int ignoredBit, const Step& step) {
    if (!Sdram::InRange(address, count))
        return false;
    if (ignoredBit < 0)
        return step(address, 0u, count);
    const uint32_t run = 1u << ignoredBit;
    for (uint32_t done = 0; done < count;) {
        const uint32_t at = address + done;
        const uint32_t n = std::min(count - done, run - at % run);
        if (!step(at & ~run, done, n))
            return false;
        done += n;
    }
    return true;
}

} // namespace

bool Sdram::Write(uint32_t address, const uint8_t* data, uint32_t count, const SdramLineFaults& lines) {
    return ForEachCellRun(address, count, lines.ignoredAddressBit,
                          [&](uint32_t cell, uint32_t offset, uint32_t n) { return Write(cell, data + offset, n); });
}

bool Sdram::Read(uint32_t address, uint8_t* destination, uint32_t count, const SdramLineFaults& lines) const {
    const bool read =
        ForEachCellRun(address, count, lines.ignoredAddressBit,
                       [&](uint32_t cell, uint32_t offset, uint32_t n) { return Read(cell, destination + offset, n); });
    if (read && lines.stuckDataBit >= 0) {
        const auto bit = static_cast<uint8_t>(1u << lines.stuckDataBit);
        for (uint32_t i = 0; i < count; ++i)
            destination[i] = lines.stuckHigh ? destination[i] | bit : destination[i] & ~bit;
    }
    return read;
}

void Sdram::Clear() {
    for (uint32_t page = 0; page < written.size(); ++page) {
        if (written.test(page))
            madvise(base + static_cast<std::size_t>(page) * PAGE_SIZE, PAGE_SIZE, MADV_DONTNEED);
    }
    written.reset();
}

} // namespace vboard
