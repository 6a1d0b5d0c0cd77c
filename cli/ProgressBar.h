#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>

namespace cli {

// A one-line progress bar with the rate and the time left, redrawn in place on a terminal:
//   mem write [############--------]  61%  39.0 of 64.0 MiB  30.2 MiB/s  1 s left
// A disabled bar writes nothing. Times come from the tick counter.
class ProgressBar {
public:
    ProgressBar(std::ostream& stream, bool enabled, std::string label, uint64_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // Redraws at most ten times a second, and always when done reaches the total.
    void Update(uint64_t done);
    // Ends the line, when anything was drawn.
    void Finish();

    // The line for this much done after elapsedMs, without the carriage return.
    std::string Line(uint64_t done, uint32_t elapsedMs) const;

private:
    std::ostream& stream;
    bool enabled;
    std::string label;
    uint64_t total;
    uint32_t start;
    uint32_t lastDraw = 0;
    bool drawn = false;
    std::size_t lastWidth = 0;
};

} // namespace cli
