#include "config/IniFile.h"

#include "platform/Locale.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

// The name of a section header line ("[System]"), or false for any other line.
bool SectionName(const std::string& line, std::string& name) {
    const std::string trimmed = Trim(line);
    const auto close = trimmed.find(']');
    if (trimmed.empty() || trimmed.front() != '[' || close == std::string::npos)
        return false;
    name = Trim(trimmed.substr(1, close - 1));
    return true;
}

// The key of a "key=value" line; comments (';') and lines without '=' have none.
bool KeyName(const std::string& line, std::string& name) {
    const std::string trimmed = Trim(line);
    const auto equals = trimmed.find('=');
    if (trimmed.empty() || trimmed.front() == ';' || equals == std::string::npos)
        return false;
    name = Trim(trimmed.substr(0, equals));
    return true;
}

std::string OnOneLine(std::string value) {
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return value;
}

// The error for a file that cannot be read back or written, with the system's reason when it gave one.
[[noreturn]] void WriteFailed(const std::string& path, int error) {
    std::string text = "Unable to write to " + path;
    if (error != 0)
        text += ": " + std::generic_category().message(error);
    throw std::runtime_error(text);
}

struct Lines {
    std::vector<std::string> text;
    std::string newline = "\n";
};

Lines ReadLines(const std::string& path) {
    Lines lines;
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return lines;
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file)
        WriteFailed(path, errno);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
            if (lines.text.empty())
                lines.newline = "\r\n";
        }
        lines.text.push_back(line);
    }
    return lines;
}

void WriteLines(const std::string& path, const Lines& lines) {
    errno = 0;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines.text)
        file << line << lines.newline;
    file.close();
    if (!file)
        WriteFailed(path, errno);
}

} // namespace

void IniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    Lines lines = ReadLines(path);
    std::vector<std::string>& text = lines.text;

    auto header = std::find_if(text.begin(), text.end(), [&](const std::string& line) {
        std::string name;
        return SectionName(line, name) && SameIgnoringCase(name, section);
    });
    if (header == text.end()) {
        text.push_back("[" + section + "]");
        text.push_back(key + "=" + OnOneLine(value));
        WriteLines(path, lines);
        return;
    }

    // Within the section: replace the key's line, or add one after the section's last non-blank line.
    auto insertAt = header + 1;
    for (auto line = header + 1; line != text.end(); ++line) {
        std::string name;
        if (SectionName(*line, name))
            break;
        if (KeyName(*line, name) && SameIgnoringCase(name, key)) {
            *line = name + "=" + OnOneLine(value);
            WriteLines(path, lines);
            return;
        }
        if (!Trim(*line).empty())
            insertAt = line + 1;
    }
    text.insert(insertAt, key + "=" + OnOneLine(value));
    WriteLines(path, lines);
}

void IniFile::WriteFloat(const std::string& section, const std::string& key, double value) {
    WriteString(section, key, platform::FloatToText(value));
}
