#include "hardware/Report.h"

#include <cerrno>
#include <unistd.h>

namespace hardware {

namespace {

FailureCapture* capture = nullptr;

} // namespace

FailureCapture::FailureCapture() {
    capture = this;
}

FailureCapture::~FailureCapture() {
    capture = nullptr;
}

void ReportFailure(const char* library, const std::string& text) {
    if (capture != nullptr) {
        capture->lines.push_back(text);
        return;
    }
    std::string line = std::string(library) + ": " + text;
    // One line, whatever a quoted tool printed.
    for (char& c : line) {
        if (c == '\n' || c == '\r')
            c = ' ';
    }
    line += '\n';
    // One write, so that lines of two threads or processes do not interleave.
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = write(STDERR_FILENO, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        done += static_cast<std::size_t>(n);
    }
}

} // namespace hardware
