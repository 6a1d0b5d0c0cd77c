#include "platform/Registry.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace platform {

namespace {
std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return std::string();
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

std::string Unquoted(const std::string& text) {
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        return text.substr(1, text.size() - 2);
    return text;
}
} // namespace

bool HasNativeRegistry() {
    return false;
}

std::string RegistryFilePath() {
    std::string path;
    if (GetEnv("QX7MB_REGISTRY", path) && !path.empty())
        return path;
    return "/etc/qx7mb/registry.ini";
}

bool ReadLocalMachineString(RegistryView, const std::string& keyPath, const std::string& valueName,
                            std::string& value) {
    std::ifstream file(RegistryFilePath());
    if (!file)
        return false;
    const std::string section = "HKEY_LOCAL_MACHINE\\" + keyPath;
    bool inSection = false;
    std::string line;
    while (std::getline(file, line)) {
        line = Trim(line);
        if (line.empty() || line[0] == ';' || line[0] == '#')
            continue;
        if (line.front() == '[' && line.back() == ']') {
            inSection = SameIgnoringCase(Trim(line.substr(1, line.size() - 2)), section);
            continue;
        }
        const auto equals = line.find('=');
        if (inSection && equals != std::string::npos && SameIgnoringCase(Trim(line.substr(0, equals)), valueName)) {
            value = Unquoted(Trim(line.substr(equals + 1)));
            return true;
        }
    }
    return false;
}

} // namespace platform
