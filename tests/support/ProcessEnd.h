#pragma once

#include <chrono>
#include <fstream>
#include <string>
#include <sys/types.h>
#include <thread>

namespace testsupport {

// True when the process ends within a second: it is gone, or a zombie that its new parent has yet to
// collect.
inline bool EndsSoon(pid_t pid) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    for (;;) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string line;
        if (!std::getline(stat, line) || line.find(") Z ") != std::string::npos)
            return true;
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace testsupport
