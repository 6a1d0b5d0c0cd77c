#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>

// The open links of an edition of VELDARA_JTAG.DLL and the handles the caller knows them by: a small
// fixed table, so that the library exports nothing but its five functions. Handles count up from 1
// and skip 0, which means "no link" to every caller. Not locked: each edition guards its table as its
// links need.
template <typename Link, std::size_t Capacity> class TLinkTable {
public:
    bool Full() const {
        for (const Slot& slot : slots) {
            if (slot.handle == 0)
                return false;
        }
        return true;
    }

    // Takes the link in and returns its new handle; 0 when the table is full, and the link is then
    // left with the caller.
    uint32_t Add(Link&& link) {
        for (Slot& slot : slots) {
            if (slot.handle != 0)
                continue;
            if (nextHandle == 0)
                nextHandle = 1;
            slot.handle = nextHandle++;
            slot.link = std::move(link);
            return slot.handle;
        }
        return 0;
    }

    // The link of an open handle; null for 0 and for a handle that is not open.
    Link* Find(uint32_t handle) {
        for (Slot& slot : slots) {
            if (handle != 0 && slot.handle == handle)
                return &slot.link;
        }
        return nullptr;
    }

    // Hands the link of an open handle back to the caller and frees its slot; false when the handle
    // is not open.
    bool Remove(uint32_t handle, Link& link) {
        for (Slot& slot : slots) {
            if (handle != 0 && slot.handle == handle) {
                link = std::move(slot.link);
                slot = Slot{};
                return true;
            }
        }
        return false;
    }

private:
    struct Slot {
        uint32_t handle = 0;
        Link link{};
    };
    Slot slots[Capacity];
    uint32_t nextHandle = 1;
};
