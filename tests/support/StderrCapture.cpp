#include "tests/support/StderrCapture.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <unistd.h>

namespace testsupport {

StderrCapture::StderrCapture() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qx7mb-stderr-XXXXXX").string();
    const int fd = mkstemp(pattern.data());
    if (fd < 0)
        throw std::runtime_error("cannot create a file for standard error");
    path = pattern;
    std::fflush(stderr);
    saved = dup(STDERR_FILENO);
    dup2(fd, STDERR_FILENO);
    close(fd);
}

StderrCapture::~StderrCapture() {
    std::fflush(stderr);
    dup2(saved, STDERR_FILENO);
    close(saved);
    std::remove(path.c_str());
}

std::vector<std::string> StderrCapture::Lines() const {
    std::fflush(stderr);
    std::ifstream file(path);
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(file, line))
        lines.push_back(line);
    return lines;
}

} // namespace testsupport
