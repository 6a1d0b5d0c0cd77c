#include "fuzz/ScratchFolder.h"

#include "fuzz/FuzzCheck.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fuzzsupport {

namespace {
std::string folder;

void RemoveFolder() {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
}
} // namespace

const std::string& ScratchFolder() {
    if (folder.empty()) {
        // In memory where the system offers it: a disk file system may flush a truncated file on
        // every close, which would cost more than the whole run.
        std::error_code error;
        const std::filesystem::path base = std::filesystem::is_directory("/dev/shm", error)
                                               ? std::filesystem::path("/dev/shm")
                                               : std::filesystem::temp_directory_path();
        std::string pattern = (base / "qx7mb-fuzz-XXXXXX").string();
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        folder = pattern;
        std::atexit(RemoveFolder);
    }
    return folder;
}

void WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    FUZZ_CHECK(file.good());
}

std::vector<uint8_t> ReadWholeFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    FUZZ_CHECK(file.good());
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

} // namespace fuzzsupport
