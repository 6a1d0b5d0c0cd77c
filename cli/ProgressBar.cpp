#include "cli/ProgressBar.h"

#include "platform/Clock.h"

#include <cstdio>
#include <ostream>
#include <utility>

namespace cli {

namespace {

constexpr int BAR_WIDTH = 20;
constexpr uint32_t REDRAW_MS = 100;
constexpr double MIB = 1024.0 * 1024.0;

} // namespace

ProgressBar::ProgressBar(std::ostream& stream, bool enabled, std::string label, uint64_t total)
    : stream(stream), enabled(enabled), label(std::move(label)), total(total), start(platform::GetTickCount()) {}

ProgressBar::~ProgressBar() {
    Finish();
}

void ProgressBar::Update(uint64_t done) {
    if (!enabled)
        return;
    const uint32_t now = platform::GetTickCount();
    if (drawn && done < total && static_cast<uint32_t>(now - lastDraw) < REDRAW_MS)
        return;
    lastDraw = now;
    std::string line = Line(done, now - start);
    const std::size_t width = line.size();
    // Blanks over what a longer line before left behind.
    if (width < lastWidth)
        line.append(lastWidth - width, ' ');
    lastWidth = width;
    stream << '\r' << line << std::flush;
    drawn = true;
}

void ProgressBar::Finish() {
    if (drawn)
        stream << '\n' << std::flush;
    drawn = false;
}

std::string ProgressBar::Line(uint64_t done, uint32_t elapsedMs) const {
    const int percent = total == 0 ? 100 : static_cast<int>(done * 100 / total);
    const int filled = total == 0 ? BAR_WIDTH : static_cast<int>(done * BAR_WIDTH / total);
    std::string line = label + " [" + std::string(filled, '#') + std::string(BAR_WIDTH - filled, '-') + "]";
    char text[96];
    std::snprintf(text, sizeof text, " %3d%%  %.1f of %.1f MiB", percent, static_cast<double>(done) / MIB,
                  static_cast<double>(total) / MIB);
    line += text;
    // The rate needs some time behind it to mean anything.
    if (elapsedMs >= REDRAW_MS && done > 0) {
        const double rate = static_cast<double>(done) * 1000.0 / elapsedMs;
        const auto left = static_cast<unsigned long>(static_cast<double>(total - done) / rate + 0.5);
        std::snprintf(text, sizeof text, "  %.1f MiB/s  %lu s left", rate / MIB, left);
        line += text;
    }
    return line;
}

} // namespace cli
