#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace vboard {

// The board's 64 MiB of SDRAM. Pages are allocated on first write, so an idle board costs almost
// nothing; a page never written reads as zeros.
class Sdram {
public:
    static constexpr uint32_t SIZE = 0x4000000;
    static constexpr uint32_t PAGE_SIZE = 0x100000;

    // False when the range does not lie wholly inside the SDRAM (nothing is written then), or when
    // no memory is left for a page.
    bool Write(uint32_t address, const uint8_t* data, uint32_t count);
    bool Read(uint32_t address, uint8_t* destination, uint32_t count) const;
    void Clear();
    std::size_t PagesInUse() const;

    static bool InRange(uint32_t address, uint32_t count) { return static_cast<uint64_t>(address) + count <= SIZE; }

private:
    struct FreePage {
        void operator()(uint8_t* page) const;
    };
    using Page = std::unique_ptr<uint8_t, FreePage>;

    std::array<Page, SIZE / PAGE_SIZE> pages;
};

} // namespace vboard
