#pragma once

#include <string>
#include <vector>

namespace fuzzsupport {

// A private folder for the files a target writes, made on first use and removed when the run ends.
const std::string& ScratchFolder();

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> ReadWholeFile(const std::string& path);

} // namespace fuzzsupport
