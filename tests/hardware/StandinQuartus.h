#pragma once

#include "hardware/AtlanticLink.h"
#include "tests/hardware/standins/Switches.h"
#include "tests/support/Recorders.h"

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace hardwaretest {

using Record = std::vector<std::vector<std::string>>;

// The Quartus stand-ins for one test: QUARTUS_ROOTDIR names the stand-in installation of the build,
// the stand-ins record into a file of the test's own, every switch is off and no cable is named.
class StandinQuartus {
public:
    // The recorded lines, each split at its tabs.
    Record Recorded() const {
        Record lines;
        std::ifstream file(recordFile);
        std::string line;
        while (std::getline(file, line)) {
            std::istringstream fields(line);
            std::vector<std::string> split;
            std::string field;
            while (std::getline(fields, field, '\t'))
                split.push_back(field);
            lines.push_back(split);
        }
        return lines;
    }
    void ClearRecord() { std::ofstream(recordFile, std::ios::trunc); }

    // A link to board 0 opened in the test's own process, as an edition opens it; null when it cannot be.
    std::unique_ptr<hardware::AtlanticLink> OpenLink() {
        hardware::QuartusInstall install;
        std::string problem;
        if (!install.Find(hardware::QuartusInstall::JTAG_LIBRARIES, problem) || !atlantic.Load(install, problem))
            return nullptr;
        return hardware::AtlanticLink::Open(atlantic, hardware::JtagTarget{"1"});
    }

    testsupport::TempFolder folder;
    std::string recordFile = folder / "record";

private:
    hardware::JtagAtlanticLibrary atlantic;
    testsupport::ScopedEnv root{"QUARTUS_ROOTDIR", QX7MB_FAKE_QUARTUS_DIR};
    testsupport::ScopedEnv record{standin::RECORD, recordFile.c_str()};
    testsupport::ScopedEnv cable{"QX7MB_CABLE", nullptr};
    testsupport::ScopedEnv cableSwitch{standin::CABLE, nullptr};
    testsupport::ScopedEnv breakAfter{standin::BREAK_AFTER, nullptr};
    testsupport::ScopedEnv bytewise{standin::BYTEWISE, nullptr};
    testsupport::ScopedEnv writeTake{standin::WRITE_TAKE, nullptr};
    testsupport::ScopedEnv programmer{standin::PROGRAMMER, nullptr};
    testsupport::ScopedEnv version{standin::VERSION, nullptr};
};

} // namespace hardwaretest
