#pragma once

#include "vboard/VirtualBoard.h"

#include <string>
#include <vector>

namespace vboard {

// The board server's text commands, one line in, one line out: "ok ..." or "error: <reason>".
// Every argument is checked; a bad line changes nothing.
class ControlProtocol {
public:
    static constexpr std::size_t MAX_LINE_LEN = 8192;
    static constexpr uint32_t MAX_MEM_READ = 4096;
    static constexpr uint32_t MAX_DELAY_MS = 60000;
    static constexpr uint32_t MAX_FLOOD = 1u << 20;

    explicit ControlProtocol(VirtualBoard& board) : board(board) {}

    // The line without its line end.
    std::string Execute(const std::string& line);

    static std::string StateLine(const BoardSnapshot& state);

private:
    std::string Configure(const std::string& path);
    std::string Key(const std::string& args);
    std::string Switch(const std::string& args);
    std::string Sd(const std::string& args);
    std::string Mem(const std::string& args);
    std::string Fault(const std::string& args);
    std::string SdramFault(const std::vector<std::string>& words);

    VirtualBoard& board;
};

} // namespace vboard
