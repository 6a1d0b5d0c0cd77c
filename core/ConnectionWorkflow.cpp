#include "core/ConnectionWorkflow.h"

#include "board/BoardCheck.h"
#include "config/Download.h"
#include "config/Quartusinfo.h"
#include "platform/Files.h"
#include "platform/Notify.h"

#include <filesystem>

namespace {

// What VELDARA_JtagDownload takes besides the path and the device number.
constexpr int32_t DOWNLOAD_LIMIT_MS = 20000;
constexpr uint8_t DOWNLOAD_FLAG = 1;

const std::string CONFIGURE_STEP = "Configure FPGA";

} // namespace

bool ConnectionWorkflow::Connect(bool mayConfigure, std::string& error) {
    // A firmware that runs already is found without configuring, and quietly when it is not there.
    bool ok = Probe(false, error);
    if (!ok && mayConfigure) {
        std::string configureError;
        ok = Configure(DefaultBitstream(), configureError);
        if (!ok) {
            // The probe's failure may be the cause (a board in use, say): both are told.
            error += " Configure FPGA fail: " + configureError;
        } else {
            ok = Probe(true, error);
            board.DrainInput();
            if (ok) {
                // The rest of the run uses a fresh link.
                board.Disconnect();
                ok = board.Connect(error, device);
            }
        }
    }
    return ok;
}

bool ConnectionWorkflow::Probe(bool lastTry, std::string& error) {
    std::string why;
    bool ok = true;
    hooks.Status("Connecting Board...", ConnectionHooks::Tone::Busy);
    if (!board.IsConnected()) {
        hooks.Status("Detect board type...", ConnectionHooks::Tone::Busy);
        hooks.Detecting();
        ok = board.Connect(why, device);
        if (ok) {
            hooks.Status("Check board ID...", ConnectionHooks::Tone::Busy);
            std::string name;
            ok = CheckBoardName(board, name, why);
            if (ok)
                boardName = name;
            else
                board.Disconnect();
        }
    }
    if (!ok)
        error = why.empty() ? "Connect NG!" : why;
    hooks.Probed(ok, error, lastTry);
    return ok;
}

bool ConnectionWorkflow::Configure(const std::string& bitstream, std::string& error) {
    TDownload download;
    bool ok = download.IsLoaded();
    if (!ok)
        error = "Download tool not found.";
    if (ReadQuartusVersion32() == 0.0 && ReadQuartusVersion64() == 0.0)
        platform::ShowMessage(platform::MessageKind::Warning, "Please make sure Quartus has been installed properly!");
    const std::string inProgress = CONFIGURE_STEP + "...";
    hooks.Status(inProgress, ConnectionHooks::Tone::Busy);
    hooks.ConfigureBegins();
    const std::string name = std::filesystem::path(bitstream).filename().string();
    if (ok && !platform::FileExists(bitstream)) {
        error = "Can not find the file: " + name;
        ok = false;
    }
    if (ok) {
        if (board.IsConnected())
            board.Disconnect();
        hooks.DownloadBegins();
        hooks.Status(inProgress, ConnectionHooks::Tone::Busy);
        // The fourth argument carries the device number (the panel's 0 configures board 0).
        ok = download.JtagDownload(bitstream, DOWNLOAD_LIMIT_MS, DOWNLOAD_FLAG, device, 0, 0, 0);
        if (!ok)
            error = "download SOPC file (" + name + ") fail!";
    }
    if (!ok)
        hooks.ConfigureFailed(error);
    hooks.Status(CONFIGURE_STEP + (ok ? " success" : " fail"),
                 ok ? ConnectionHooks::Tone::Good : ConnectionHooks::Tone::Bad);
    configured = configured || ok;
    return ok;
}

std::string ConnectionWorkflow::DefaultBitstream() {
    return platform::ProgramFolder() + CONTROL_PANEL_BITSTREAM;
}
