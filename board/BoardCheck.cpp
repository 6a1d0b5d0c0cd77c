#include "board/BoardCheck.h"

#include "board/Protocol.h"
#include "platform/Clock.h"

namespace {

constexpr uint32_t NAME_QUERY_LIMIT_MS = 3000;

} // namespace

bool CheckBoardName(TBoard& board, std::string& name, std::string& error) {
    bool ok;
    const uint32_t start = platform::GetTickCount();
    do {
        ok = board.QueryBoardName(name);
    } while (!ok && static_cast<uint32_t>(platform::GetTickCount() - start) < NAME_QUERY_LIMIT_MS);
    if (!ok) {
        error = "Failed to query board name.";
        return false;
    }
    if (name != EXPECTED_BOARD_NAME) {
        error = "Invalid Board Name";
        return false;
    }
    return true;
}
