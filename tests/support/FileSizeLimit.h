#pragma once

#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace testsupport {

// Limits the size of the files this process writes while it lives, as a full disk stops a file from
// growing, and ignores the signal that a write over the limit raises, so that the write fails instead
// of ending the test program. Both are restored on destruction.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) : handler(std::signal(SIGXFSZ, SIG_IGN)) {
        EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit limited = old;
        limited.rlim_cur = bytes;
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, handler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit old{};
    void (*handler)(int);
};

} // namespace testsupport
