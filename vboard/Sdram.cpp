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

void Sdram::Clear() {
    for (uint32_t page = 0; page < written.size(); ++page) {
        if (written.test(page))
            madvise(base + static_cast<std::size_t>(page) * PAGE_SIZE, PAGE_SIZE, MADV_DONTNEED);
    }
    written.reset();
}

} // namespace vboard
