// The INI writer updating an existing file: any file text, then up to three writes of a key. After
// each, a plain reader finds the value under its section, every other line is as it was (one line
// replaced, one inserted, or a section added at the end), and the file keeps the line ends its first
// line had.
#include "config/IniFile.h"
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/ScratchFolder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Text {
    std::vector<std::string> lines;
    bool crlf = false;
};

Text Split(const std::string& content) {
    Text text;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos)
            end = content.size();
        std::string line = content.substr(start, end - start);
        if (text.lines.empty())
            text.crlf = !line.empty() && line.back() == '\r';
        // A carriage return before the line break belongs to the line end, however many there are.
        while (!line.empty() && line.back() == '\r')
            line.pop_back();
        text.lines.push_back(line);
        start = end + 1;
    }
    return text;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool IsHeader(const std::string& line, std::string& name) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] != '[' || trimmed.find(']') == std::string::npos)
        return false;
    name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
    return true;
}

// What a profile reader returns: the first section of the name, its first line with the key.
bool ReadValue(const Text& text, const std::string& section, const std::string& key, std::string& value) {
    std::string name;
    auto line = std::find_if(text.lines.begin(), text.lines.end(), [&](const std::string& l) {
        return IsHeader(l, name) && SameIgnoringCase(name, section);
    });
    if (line == text.lines.end())
        return false;
    for (++line; line != text.lines.end() && !IsHeader(*line, name); ++line) {
        const std::string trimmed = Trim(*line);
        const auto equals = trimmed.find('=');
        if (trimmed.empty() || trimmed[0] == ';' || equals == std::string::npos)
            continue;
        if (SameIgnoringCase(Trim(trimmed.substr(0, equals)), key)) {
            value = line->substr(line->find('=') + 1);
            return true;
        }
    }
    return false;
}

// One line replaced, one inserted, or two added at the end; nothing else moved.
bool OnlyTheKeyChanged(const Text& before, const Text& after) {
    const auto& a = before.lines;
    const auto& b = after.lines;
    if (b.size() == a.size() + 2)
        return std::equal(a.begin(), a.end(), b.begin());
    if (b.size() != a.size() && b.size() != a.size() + 1)
        return false;
    std::size_t prefix = 0;
    while (prefix < a.size() && a[prefix] == b[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < a.size() - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
        ++suffix;
    return prefix + suffix + (b.size() == a.size() ? 1 : 0) >= a.size();
}

// A name as the program passes one: printable, no brackets, '=' or ';', no blanks at its ends.
std::string Name(FuzzedDataProvider& in) {
    std::string name = in.ConsumeRandomLengthString(24);
    for (char& c : name) {
        if (c < 0x20 || c > 0x7E || c == '[' || c == ']' || c == '=' || c == ';')
            c = 'k';
    }
    name = Trim(name);
    return name.empty() ? "k" : name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string path = fuzzsupport::ScratchFolder() + "/system.log";
    const int writes = in.ConsumeIntegralInRange(1, 3);
    struct Write {
        std::string section, key, value;
    };
    std::vector<Write> planned;
    for (int i = 0; i < writes; ++i) {
        Write w;
        w.section = Name(in);
        w.key = Name(in);
        w.value = in.ConsumeRandomLengthString(64);
        planned.push_back(w);
    }
    const bool exists = in.ConsumeIntegralInRange(0, 7) != 0;
    const std::string content = in.ConsumeRemainingBytesAsString();
    if (exists) {
        fuzzsupport::WriteWholeFile(path, std::vector<uint8_t>(content.begin(), content.end()));
    } else {
        std::remove(path.c_str());
    }

    Text before = Split(exists ? content : std::string());
    IniFile ini(path);
    for (const Write& w : planned) {
        ini.WriteString(w.section, w.key, w.value);
        const std::vector<uint8_t> bytes = fuzzsupport::ReadWholeFile(path);
        const Text after = Split(std::string(bytes.begin(), bytes.end()));

        std::string expected = w.value;
        std::replace_if(
            expected.begin(), expected.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
        std::string value;
        FUZZ_CHECK(ReadValue(after, w.section, w.key, value));
        FUZZ_CHECK(value == expected);
        FUZZ_CHECK(OnlyTheKeyChanged(before, after));

        // Every line ends as the first line of the file did before, the last one too.
        FUZZ_CHECK(!bytes.empty() && bytes.back() == '\n');
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '\n')
                FUZZ_CHECK(!before.crlf || (i > 0 && bytes[i - 1] == '\r'));
        }
        FUZZ_CHECK(after.crlf == before.crlf || before.lines.empty());
        before = after;
    }
    return 0;
}
