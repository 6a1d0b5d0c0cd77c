#include "hardware/QuartusInstall.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <tuple>

namespace fs = std::filesystem;

namespace hardware {

const std::vector<std::string> QuartusInstall::JTAG_LIBRARIES = {"linux64/libjtag_atlantic.so",
                                                                 "linux64/libjtag_client.so"};
const std::vector<std::string> QuartusInstall::PROGRAMMER = {"bin/quartus_pgm"};

namespace {

constexpr const char* SET_IT = "set QUARTUS_ROOTDIR to the quartus folder of a Quartus or Quartus Programmer "
                               "installation (the folder that holds bin/ and linux64/)";
// The installers' top folders, in the order that breaks a tie of versions; then altera*.
const char* const FAMILIES[] = {"intelFPGA_lite", "intelFPGA", "intelFPGA_pro"};
const char* const QUARTUS_FOLDERS[] = {"quartus", "qprogrammer/quartus", "qprogrammer"};
// Folders that lack a file, named in the "not found" line.
constexpr std::size_t NAMED_MISSES = 3;

// 0, 1, 2 for the installers' folders, 3 for altera*, -1 for anything else.
int FamilyRank(const std::string& name) {
    for (int rank = 0; rank < 3; ++rank) {
        if (name == FAMILIES[rank])
            return rank;
    }
    return name.rfind("altera", 0) == 0 ? 3 : -1;
}

// The numbers of a version folder's name: "20.1" is {20, 1}, "13.0sp1" {13, 0, 1}. Empty for a
// name that does not start with a digit.
std::vector<long> VersionKey(const std::string& name) {
    std::vector<long> key;
    if (name.empty() || !std::isdigit(static_cast<unsigned char>(name[0])))
        return key;
    long number = -1;
    for (const char c : name) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            number = (number < 0 ? 0 : number * 10) + (c - '0');
            if (number > 1000000)
                return {};
        } else if (number >= 0) {
            key.push_back(number);
            number = -1;
        }
    }
    if (number >= 0)
        key.push_back(number);
    return key;
}

struct Candidate {
    std::vector<long> version;
    int base;
    int family;
    std::string familyName;
    int folder;
    std::string path;
};

// The sub-folders of a folder, sorted by name; none when it cannot be read.
std::vector<std::string> Folders(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (it->is_directory(typeError))
            names.push_back(it->path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string List(const std::vector<std::string>& items, const char* last) {
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += (i == 0 ? "" : i + 1 == items.size() ? std::string(" ") + last + " " : ", ") + items[i];
    return text;
}

} // namespace

bool QuartusInstall::Find(const std::vector<std::string>& needed, std::string& problem) {
    root.clear();
    named = false;
    std::string value;
    if (!platform::GetEnv("QUARTUS_ROOTDIR", value) || value.empty())
        return Search(needed, problem);
    while (value.size() > 1 && value.back() == '/')
        value.pop_back();
    if (!platform::FolderExists(value)) {
        problem = "Quartus not found: QUARTUS_ROOTDIR names " + value + ", which is not a folder";
        return false;
    }
    root = value;
    named = true;
    return true;
}

bool QuartusInstall::Search(const std::vector<std::string>& needed, std::string& problem) {
    std::vector<std::string> bases;
    if (const std::string home = platform::HomeFolder(); !home.empty())
        bases.push_back(home);
    bases.push_back(platform::SystemPath("/opt"));
    bases.push_back(platform::SystemPath("/usr/local"));

    std::vector<Candidate> candidates;
    for (int base = 0; base < static_cast<int>(bases.size()); ++base) {
        for (const std::string& family : Folders(bases[base])) {
            const int rank = FamilyRank(family);
            if (rank < 0)
                continue;
            for (const std::string& version : Folders(bases[base] + "/" + family)) {
                std::vector<long> key = VersionKey(version);
                if (key.empty())
                    continue;
                for (int folder = 0; folder < 3; ++folder) {
                    const std::string path = bases[base] + "/" + family + "/" + version + "/" + QUARTUS_FOLDERS[folder];
                    if (platform::FolderExists(path))
                        candidates.push_back({key, base, rank, family, folder, path});
                }
            }
        }
    }
    // Newest first; of one version, home before /opt before /usr/local, Quartus before its Programmer.
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        if (a.version != b.version)
            return a.version > b.version;
        return std::tie(a.base, a.family, a.familyName, a.folder) < std::tie(b.base, b.family, b.familyName, b.folder);
    });

    std::vector<std::string> misses;
    for (const Candidate& candidate : candidates) {
        const auto lacking = std::find_if(needed.begin(), needed.end(), [&candidate](const std::string& file) {
            return !platform::FileExists(candidate.path + "/" + file);
        });
        if (lacking == needed.end()) {
            root = candidate.path;
            return true;
        }
        if (misses.size() < NAMED_MISSES)
            misses.push_back(candidate.path + " lacks " + *lacking);
    }
    problem = "Quartus not found: QUARTUS_ROOTDIR is not set, and no installation with " + List(needed, "and") +
              " is in " + List(bases, "or") +
              " (looked in intelFPGA_lite, intelFPGA, intelFPGA_pro and altera*, each VERSION/quartus and "
              "VERSION/qprogrammer" +
              (misses.empty() ? std::string() : "; " + List(misses, "and")) + "); " + SET_IT;
    return false;
}

std::string QuartusInstall::Missing(const std::string& what, const std::string& folder) const {
    return "Quartus not found: no " + what + " in " + folder +
           (named ? " (QUARTUS_ROOTDIR=" + root + ")" : " (found without QUARTUS_ROOTDIR, in " + root + ")");
}

} // namespace hardware
