#pragma once

#include "board/Board.h"

#include <cstdint>

// The board operations that the memory page's file transfers are made of. The program goes to the
// board object; a stand-in may count, watch or fail them.
class TMemoryAccess {
public:
    virtual ~TMemoryAccess() = default;
    virtual bool KeepAlive() = 0;
    virtual bool MemoryWrite(uint8_t memoryType, uint32_t address, const uint8_t* data, uint32_t count) = 0;
    virtual bool MemoryRead(uint8_t memoryType, uint32_t address, uint8_t* destination, uint32_t count) = 0;
};

// The board object behind TMemoryAccess; without a board every operation fails.
class TBoardMemoryAccess : public TMemoryAccess {
public:
    void Bind(TBoard* board) { m_pBoard = board; }

    bool KeepAlive() override { return m_pBoard != nullptr && m_pBoard->KeepAlive(); }
    bool MemoryWrite(uint8_t memoryType, uint32_t address, const uint8_t* data, uint32_t count) override {
        return m_pBoard != nullptr && m_pBoard->MemoryWrite(memoryType, address, data, count);
    }
    bool MemoryRead(uint8_t memoryType, uint32_t address, uint8_t* destination, uint32_t count) override {
        return m_pBoard != nullptr && m_pBoard->MemoryRead(memoryType, address, destination, count);
    }

private:
    TBoard* m_pBoard = nullptr;
};
