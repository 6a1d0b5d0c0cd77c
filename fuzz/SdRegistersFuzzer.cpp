// The SD card register reports: any 16 CSD and 16 CID bytes give a report of whole lines, each a
// "-Name:value" line, in the order the SD card page shows them.
#include "board/Board.h"
#include "fuzz/FuzzCheck.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    FUZZ_CHECK(start == text.size()); // the last line is ended too
    return lines;
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

void CheckCid(const uint8_t* cid) {
    // Fixed-width values, so the report is read by position: a product name may hold any byte, a line
    // break too.
    const std::string text = DescribeCid(cid);
    std::size_t pos = 0;
    const auto expectLine = [&](const char* name, std::size_t valueLength) {
        const std::size_t nameLength = std::strlen(name);
        FUZZ_CHECK(text.compare(pos, nameLength, name) == 0);
        pos += nameLength + valueLength;
        FUZZ_CHECK(pos < text.size() && text[pos] == '\n');
        ++pos;
    };
    expectLine("-Manufacturer ID:", 3);
    expectLine("-OEM/Application ID:", 5);
    const std::size_t name = pos + std::strlen("-Product Name:");
    expectLine("-Product Name:", 5);
    FUZZ_CHECK(text.compare(name, 5, reinterpret_cast<const char*>(cid + 3), 5) == 0);
    expectLine("-Product Revision:", 3);
    expectLine("-Serial No.:", 9);
    expectLine("-Date Code:", 4);
    FUZZ_CHECK(pos == text.size());
}

void CheckCsd(const uint8_t* csd) {
    const std::vector<std::string> lines = Lines(DescribeCsd(csd));
    struct Entry {
        const char* name;
        bool required;
    };
    // In this order; the version for the two known structures alone, the block length when not zero,
    // the capacity when not zero.
    const bool knownVersion = (csd[0] & 0xC0) == 0x00 || (csd[0] & 0xC0) == 0x40;
    const Entry entries[] = {{"-CSD Version ", knownVersion},
                             {"-Read Access Time:", true},
                             {"-Read Access Time (NSAC):", true},
                             {"-Max. Data Transfer Rate:", true},
                             {"-Max. Read Data Block Length:", (csd[5] & 0x0F) != 0},
                             {"-Memory Capacity:", false}};
    std::size_t line = 0;
    for (const Entry& entry : entries) {
        if (line < lines.size() && StartsWith(lines[line], entry.name))
            FUZZ_CHECK(lines[line++].find('\0') == std::string::npos);
        else
            FUZZ_CHECK(!entry.required);
    }
    FUZZ_CHECK(line == lines.size());
    FUZZ_CHECK(knownVersion == (!lines.empty() && StartsWith(lines[0], entries[0].name)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    // Registers exactly 16 bytes long each, so that a read past one is caught.
    std::array<uint8_t, 32> bytes{};
    std::memcpy(bytes.data(), data, std::min(size, bytes.size()));
    const auto csd = std::make_unique<uint8_t[]>(16);
    const auto cid = std::make_unique<uint8_t[]>(16);
    std::memcpy(csd.get(), bytes.data(), 16);
    std::memcpy(cid.get(), bytes.data() + 16, 16);
    CheckCsd(csd.get());
    CheckCid(cid.get());
    return 0;
}
