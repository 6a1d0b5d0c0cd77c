#include "hardware/QuartusInstall.h"

#include "platform/Files.h"

namespace hardware {

bool QuartusInstall::Find(std::string& problem) {
    root.clear();
    std::string value;
    if (!platform::GetEnv("QUARTUS_ROOTDIR", value) || value.empty()) {
        problem = "Quartus not found: QUARTUS_ROOTDIR is not set; set it to the quartus folder of a Quartus or "
                  "Quartus Programmer installation (the folder that holds bin/ and linux64/)";
        return false;
    }
    while (value.size() > 1 && value.back() == '/')
        value.pop_back();
    if (!platform::FolderExists(value)) {
        problem = "Quartus not found: QUARTUS_ROOTDIR names " + value + ", which is not a folder";
        return false;
    }
    root = value;
    return true;
}

std::string QuartusInstall::Missing(const std::string& what, const std::string& folder) const {
    return "Quartus not found: no " + what + " in " + folder + " (QUARTUS_ROOTDIR=" + root + ")";
}

} // namespace hardware
