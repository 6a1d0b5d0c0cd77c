#pragma once

#include <string>
#include <utility>

// An INI file written one key at a time, with the semantics of the Windows profile functions: every
// write reads the file, replaces the key's value in place (or adds the key at the end of its section,
// or the section at the end of the file) and writes the file back, keeping every other section, key,
// comment and blank line as it was. The file is created when it does not exist. Section and key
// names match ignoring case.
class IniFile {
public:
    explicit IniFile(std::string path) : path(std::move(path)) {}

    const std::string& FileName() const { return path; }

    // Throw std::runtime_error naming the file ("Unable to write to <path>") when the file cannot be
    // read back or written. A line break in a value becomes a space: one key is one line.
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    // The number in the user's form (platform::FloatToText): "0", "13.1", "13,1".
    void WriteFloat(const std::string& section, const std::string& key, double value);

private:
    std::string path;
};
