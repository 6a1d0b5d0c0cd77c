#pragma once

#include <string>
#include <vector>

namespace hardware {

// Tells the user on standard error why an edition failed, in one line: "LIBRARY: text". The panel's
// own boxes stay as they are; this line is what explains them.
void ReportFailure(const char* library, const std::string& text);

// While one lives, the lines of ReportFailure are kept in it (their text alone) instead of being
// written, so that a caller can word them into a report of its own. One at a time, on one thread.
class FailureCapture {
public:
    FailureCapture();
    ~FailureCapture();
    FailureCapture(const FailureCapture&) = delete;
    FailureCapture& operator=(const FailureCapture&) = delete;

    std::vector<std::string> lines;
};

} // namespace hardware
