#pragma once

#include "board/Board.h"

#include <cstdint>
#include <functional>
#include <string>

namespace cli {

// The panel's connection workflow for one board: look for the control-panel firmware, configure the
// FPGA when it does not answer, look again, and go on with a freshly opened link. The error texts are
// the panel's.
class BoardConnection {
public:
    BoardConnection(TBoard& board, int32_t device) : board(board), device(device) {}

    // Each step of long work, as a line ("Configure FPGA..."); nothing when unset.
    std::function<void(const std::string&)> onStep;

    // Probes; unless !mayConfigure, configures the FPGA with the control-panel bitstream when the probe
    // fails, probes again and reopens the link. True with the board connected.
    bool Connect(bool mayConfigure, std::string& error);
    // Opens the link and asks the board's name for up to 3000 ms; true when it is "TZ8". A failed probe
    // leaves the link closed.
    bool Probe(std::string& error);
    // Configures the FPGA with this bitstream through VELDARA_DOWNLOAD.DLL; the link is closed first.
    bool Configure(const std::string& bitstream, std::string& error);

    bool ConfiguredFpga() const { return configured; }
    const std::string& BoardName() const { return boardName; }
    // QX7MB_ControlPanel.sof in the program's folder.
    static std::string DefaultBitstream();

private:
    void Step(const std::string& text);

    TBoard& board;
    int32_t device;
    bool configured = false;
    std::string boardName;
};

} // namespace cli
