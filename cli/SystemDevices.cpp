#include "cli/SystemDevices.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <iterator>
#include <pwd.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

namespace fs = std::filesystem;

namespace cli {

namespace {

const char* const RULE_FOLDERS[] = {"/etc/udev/rules.d", "/lib/udev/rules.d", "/usr/lib/udev/rules.d"};

// The first line of a /sys attribute, without blanks around it; empty when there is none.
std::string Attribute(const fs::path& device, const char* name) {
    std::ifstream file(device / name);
    std::string value;
    std::getline(file, value);
    const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    value.erase(value.begin(), std::find_if_not(value.begin(), value.end(), blank));
    value.erase(std::find_if_not(value.rbegin(), value.rend(), blank).base(), value.end());
    return value;
}

// "crw-rw-r-- root:plugdev".
std::string AccessText(const struct stat& status) {
    std::string mode = S_ISCHR(status.st_mode) ? "c" : "-";
    const char* letters = "rwxrwxrwx";
    for (int bit = 0; bit < 9; ++bit)
        mode += (status.st_mode & (0400 >> bit)) ? letters[bit] : '-';
    const passwd* owner = getpwuid(status.st_uid);
    const group* group = getgrgid(status.st_gid);
    return mode + " " + (owner != nullptr ? owner->pw_name : std::to_string(status.st_uid)) + ":" +
           (group != nullptr ? group->gr_name : std::to_string(status.st_gid));
}

bool IsBlasterRule(const std::string& line) {
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#')
        return false;
    std::string lower;
    std::transform(line.begin(), line.end(), std::back_inserter(lower),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find(BLASTER_VENDOR) != std::string::npos;
}

} // namespace

std::vector<UsbBlaster> FindUsbBlasters() {
    std::vector<std::tuple<int, int, UsbBlaster>> found;
    std::error_code error;
    for (fs::directory_iterator it(platform::SystemPath("/sys/bus/usb/devices"), error), end; !error && it != end;
         it.increment(error)) {
        if (Attribute(it->path(), "idVendor") != BLASTER_VENDOR)
            continue;
        const std::string product = Attribute(it->path(), "idProduct");
        if (std::find(std::begin(BLASTER_PRODUCTS), std::end(BLASTER_PRODUCTS), product) == std::end(BLASTER_PRODUCTS))
            continue;
        int bus = 0;
        int device = 0;
        if (std::sscanf(Attribute(it->path(), "busnum").c_str(), "%d", &bus) != 1 ||
            std::sscanf(Attribute(it->path(), "devnum").c_str(), "%d", &device) != 1)
            continue;
        char node[64];
        std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", bus, device);
        UsbBlaster blaster;
        blaster.product = product;
        blaster.node = node;
        const std::string path = platform::SystemPath(node);
        struct stat status {};
        blaster.nodeExists = stat(path.c_str(), &status) == 0;
        if (blaster.nodeExists) {
            // The effective user's rights, access lists included (udev's "uaccess" grants them by one).
            blaster.mayOpen = faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) == 0;
            blaster.access = AccessText(status);
        }
        found.emplace_back(bus, device, blaster);
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b));
    });
    std::vector<UsbBlaster> blasters;
    for (const auto& entry : found)
        blasters.push_back(std::get<2>(entry));
    return blasters;
}

std::vector<std::string> FindBlasterRules() {
    std::vector<std::string> files;
    for (const char* folder : RULE_FOLDERS) {
        std::vector<std::string> names;
        std::error_code error;
        for (fs::directory_iterator it(platform::SystemPath(folder), error), end; !error && it != end;
             it.increment(error)) {
            if (it->path().extension() == ".rules")
                names.push_back(it->path().filename().string());
        }
        std::sort(names.begin(), names.end());
        for (const std::string& name : names) {
            std::ifstream file(platform::SystemPath(folder) + "/" + name);
            std::string line;
            bool rule = false;
            while (!rule && std::getline(file, line))
                rule = IsBlasterRule(line);
            if (rule)
                files.push_back(std::string(folder) + "/" + name);
        }
    }
    return files;
}

std::string RuleFolders() {
    return std::string(RULE_FOLDERS[0]) + ", " + RULE_FOLDERS[1] + " or " + RULE_FOLDERS[2];
}

} // namespace cli
