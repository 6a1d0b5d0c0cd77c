#pragma once

#include "hardware/JtagCable.h"
#include "platform/ProgramRun.h"

#include <cstdint>
#include <string>
#include <vector>

namespace hardware {

// Quartus's command-line programmer, bin/quartus_pgm of the installation that $QUARTUS_ROOTDIR
// names: configures the FPGA over JTAG and tells the Quartus version. It runs without a shell, its
// output captured; a run still going at the time limit is stopped. Every failure is told on standard
// error in one line.
class QuartusProgrammer {
public:
    static constexpr uint32_t DEFAULT_LIMIT_MS = 60000;

    explicit QuartusProgrammer(uint32_t limitMs = DEFAULT_LIMIT_MS) : limitMs(limitMs) {}

    // True when the bitstream is a file that quartus_pgm can be given; false after saying why.
    bool Accepts(const std::string& bitstream);
    // quartus_pgm -c CABLE -m JTAG -o "p;BITSTREAM" (with "@DEVICE" when the target names the device
    // of the chain) for a bitstream it Accepts; true only when it exits with 0.
    bool Configure(const std::string& bitstream, const JtagTarget& target);
    // The version that "quartus_pgm --version" prints ("Version 13.1.0 Build 162 ..." gives 13.1);
    // 0 when it prints none.
    double Version();

private:
    bool Run(const std::vector<std::string>& arguments, platform::ProgramOutcome& outcome);
    void Fail(const std::string& text);

    uint32_t limitMs;
};

} // namespace hardware
