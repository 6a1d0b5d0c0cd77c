#pragma once

#include <string>
#include <vector>

namespace testsupport {

// Takes what the process writes to standard error (file descriptor 2, so also what a loaded library
// writes) into a file while it lives, and gives it back.
class StderrCapture {
public:
    StderrCapture();
    ~StderrCapture();
    StderrCapture(const StderrCapture&) = delete;
    StderrCapture& operator=(const StderrCapture&) = delete;

    // The lines written so far, without their line ends.
    std::vector<std::string> Lines() const;

private:
    std::string path;
    int saved = -1;
};

} // namespace testsupport
