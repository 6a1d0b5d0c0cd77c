#pragma once

#include "board/Board.h"

#include <cstdint>
#include <string>

// What a front end shows of a connection: the panel's status lines, boxes and gauge; the CLI's steps.
class ConnectionHooks {
public:
    enum class Tone { Busy, Good, Bad };

    virtual ~ConnectionHooks() = default;
    // A line on what the workflow does now, or on how a step ended.
    virtual void Status(const std::string&, Tone) {}
    // The link is about to be opened to find the board.
    virtual void Detecting() {}
    // A probe ended; error says why it failed. lastTry: the probe after configuring, whose failure is
    // told in a box.
    virtual void Probed(bool, const std::string&, bool) {}
    // Configuring begins, before the bitstream is looked for.
    virtual void ConfigureBegins() {}
    // The link is closed and the bitstream goes to the FPGA now.
    virtual void DownloadBegins() {}
    // Configuring failed with this error, before the closing status line.
    virtual void ConfigureFailed(const std::string&) {}
};

// The connection of both front ends: look for the control-panel firmware, configure the FPGA when it
// does not answer, look again, drain what the fresh firmware left on the link and go on with a
// freshly opened link.
class ConnectionWorkflow {
public:
    ConnectionWorkflow(TBoard& board, int32_t device, ConnectionHooks& hooks)
        : board(board), device(device), hooks(hooks) {}

    // Probes; unless !mayConfigure, configures the FPGA with the control-panel bitstream when the probe
    // fails, probes again and reopens the link. True with the board connected; error tells both the
    // probe's and the configuration's failure.
    bool Connect(bool mayConfigure, std::string& error);
    // Opens the link and asks the board's name; true when it is the control-panel firmware's. A failed
    // probe leaves the link closed.
    bool Probe(bool lastTry, std::string& error);
    // Configures the FPGA with this bitstream through VELDARA_DOWNLOAD.DLL; the link is closed first.
    bool Configure(const std::string& bitstream, std::string& error);

    bool ConfiguredFpga() const { return configured; }
    const std::string& BoardName() const { return boardName; }

    // QX7MB_ControlPanel.sof in the program's folder.
    static std::string DefaultBitstream();

private:
    TBoard& board;
    int32_t device;
    ConnectionHooks& hooks;
    bool configured = false;
    std::string boardName;
};
