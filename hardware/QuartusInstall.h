#pragma once

#include <string>
#include <vector>

namespace hardware {

// An installed Quartus, or the stand-alone Quartus Programmer: its quartus folder, with the JTAG
// libraries in linux64/ and the tools in bin/. $QUARTUS_ROOTDIR names it (Quartus's own set-up sets
// it); unset, it is looked for where Quartus's installers put it. Nothing is taken from the library
// search path or PATH.
class QuartusInstall {
public:
    // What each user of the installation needs of it, as paths within the quartus folder.
    static const std::vector<std::string> JTAG_LIBRARIES;
    static const std::vector<std::string> PROGRAMMER;

    // The folder $QUARTUS_ROOTDIR names, whatever it holds. Unset or empty: the newest installation
    // that holds everything needed, among VERSION/quartus, VERSION/qprogrammer/quartus and
    // VERSION/qprogrammer of intelFPGA_lite, intelFPGA, intelFPGA_pro and altera* in the user's home,
    // /opt and /usr/local. False, with the reason in the user's words (where it looked), when none.
    bool Find(const std::vector<std::string>& needed, std::string& problem);

    const std::string& Root() const { return root; }
    // Whether $QUARTUS_ROOTDIR named the folder (else it was found by looking).
    bool Named() const { return named; }
    std::string LibraryFolder() const { return root + "/linux64"; }
    std::string ToolFolder() const { return root + "/bin"; }
    // "Quartus not found: no WHAT in FOLDER (QUARTUS_ROOTDIR=ROOT)".
    std::string Missing(const std::string& what, const std::string& folder) const;

private:
    bool Search(const std::vector<std::string>& needed, std::string& problem);

    std::string root;
    bool named = false;
};

} // namespace hardware
