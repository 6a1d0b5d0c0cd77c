#include "vboard/Sdram.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vboard {

void Sdram::FreePage::operator()(uint8_t* page) const {
    std::free(page);
}

bool Sdram::Write(uint32_t address, const uint8_t* data, uint32_t count) {
    if (!InRange(address, count))
        return false;
    while (count != 0) {
        const uint32_t index = address / PAGE_SIZE;
        const uint32_t offset = address % PAGE_SIZE;
        const uint32_t n = std::min(count, PAGE_SIZE - offset);
        if (!pages[index]) {
            // calloc hands out fresh zero pages from the kernel: only the parts written cost memory.
            auto* page = static_cast<uint8_t*>(std::calloc(PAGE_SIZE, 1));
            if (page == nullptr)
                return false;
            pages[index].reset(page);
        }
        std::memcpy(pages[index].get() + offset, data, n);
        address += n;
        data += n;
        count -= n;
    }
    return true;
}

bool Sdram::Read(uint32_t address, uint8_t* destination, uint32_t count) const {
    if (!InRange(address, count))
        return false;
    while (count != 0) {
        const uint32_t index = address / PAGE_SIZE;
        const uint32_t offset = address % PAGE_SIZE;
        const uint32_t n = std::min(count, PAGE_SIZE - offset);
        if (pages[index])
            std::memcpy(destination, pages[index].get() + offset, n);
        else
            std::memset(destination, 0, n);
        address += n;
        destination += n;
        count -= n;
    }
    return true;
}

void Sdram::Clear() {
    for (auto& page : pages)
        page.reset();
}

std::size_t Sdram::PagesInUse() const {
    return static_cast<std::size_t>(
        std::count_if(pages.begin(), pages.end(), [](const Page& p) { return p != nullptr; }));
}

} // namespace vboard
