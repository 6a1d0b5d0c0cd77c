#pragma once

#include <string>

namespace hardware {

// An installed Quartus, or the stand-alone Quartus Programmer: the folder that $QUARTUS_ROOTDIR
// names (Quartus's own set-up sets it), with the JTAG libraries in linux64/ and the tools in bin/.
// Nothing is taken from the library search path or PATH.
class QuartusInstall {
public:
    // Reads $QUARTUS_ROOTDIR; false, with the reason in the user's words, when it is unset or names no
    // folder.
    bool Find(std::string& problem);

    const std::string& Root() const { return root; }
    std::string LibraryFolder() const { return root + "/linux64"; }
    std::string ToolFolder() const { return root + "/bin"; }
    // "Quartus not found: no WHAT in FOLDER (QUARTUS_ROOTDIR=ROOT)".
    std::string Missing(const std::string& what, const std::string& folder) const;

private:
    std::string root;
};

} // namespace hardware
