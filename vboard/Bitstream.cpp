#include "vboard/Bitstream.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vboard {

namespace {

constexpr std::size_t MAGIC_LEN = 8;

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

uint32_t GetLe(const uint8_t* at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | at[i];
    return value;
}

bool PrintableName(const std::string& name) {
    if (name.empty() || name.size() > Bitstream::MAX_NAME_LEN)
        return false;
    for (const char c : name) {
        if (c < 0x21 || c > 0x7E)
            return false;
    }
    return true;
}

} // namespace

uint32_t Bitstream::Hash(const uint8_t* bytes, std::size_t count) {
    uint32_t hash = 2166136261u;
    for (std::size_t i = 0; i < count; ++i) {
        hash ^= bytes[i];
        hash *= 16777619u;
    }
    return hash;
}

std::vector<uint8_t> Bitstream::Encode() const {
    std::vector<uint8_t> out(MAGIC, MAGIC + MAGIC_LEN);
    PutLe(out, static_cast<uint32_t>(design.size()), 2);
    out.insert(out.end(), design.begin(), design.end());
    PutLe(out, static_cast<uint32_t>(payload.size()), 4);
    out.insert(out.end(), payload.begin(), payload.end());
    PutLe(out, Hash(out.data(), out.size()), 4);
    return out;
}

bool Bitstream::Decode(const std::vector<uint8_t>& bytes, Bitstream& bitstream, std::string& error) {
    const std::size_t size = bytes.size();
    if (size < MAGIC_LEN || std::memcmp(bytes.data(), MAGIC, MAGIC_LEN) != 0) {
        error = "not a QX7-MB bitstream";
        return false;
    }
    std::size_t pos = MAGIC_LEN;
    if (size - pos < 2) {
        error = "bitstream truncated";
        return false;
    }
    const std::size_t nameLen = GetLe(&bytes[pos], 2);
    pos += 2;
    if (size - pos < nameLen + 4) {
        error = "bitstream truncated";
        return false;
    }
    const std::string design(reinterpret_cast<const char*>(&bytes[pos]), nameLen);
    if (!PrintableName(design)) {
        error = "bitstream has no valid design name";
        return false;
    }
    pos += nameLen;
    const std::size_t payloadLen = GetLe(&bytes[pos], 4);
    pos += 4;
    if (size - pos < payloadLen || size - pos - payloadLen != 4) {
        error = "bitstream length does not match its file";
        return false;
    }
    const std::size_t hashAt = pos + payloadLen;
    if (GetLe(&bytes[hashAt], 4) != Hash(bytes.data(), hashAt)) {
        error = "bitstream checksum mismatch";
        return false;
    }
    bitstream.design = design;
    bitstream.payload.assign(bytes.begin() + static_cast<std::ptrdiff_t>(pos),
                             bytes.begin() + static_cast<std::ptrdiff_t>(hashAt));
    return true;
}

bool Bitstream::Load(const std::string& path, Bitstream& bitstream, std::string& error) {
    // Opened without waiting and taken only as a plain file: a pipe or a device named as the
    // bitstream would otherwise hold up the whole board server.
    const int fd = open(path.c_str(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = "cannot open " + path;
        return false;
    }
    struct stat info {};
    const bool plain = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    if (!plain || info.st_size > static_cast<off_t>(MAX_FILE_SIZE)) {
        close(fd);
        error = plain ? "file too large for a bitstream: " + path : "not a plain file: " + path;
        return false;
    }
    std::vector<uint8_t> bytes(static_cast<std::size_t>(info.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    close(fd);
    if (done != bytes.size()) {
        error = "cannot read " + path;
        return false;
    }
    return Decode(bytes, bitstream, error);
}

} // namespace vboard
