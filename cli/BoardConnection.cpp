#include "cli/BoardConnection.h"

#include "board/BoardCheck.h"
#include "config/Download.h"
#include "config/Quartusinfo.h"
#include "platform/Files.h"
#include "platform/Notify.h"

#include <filesystem>

namespace cli {

namespace {

// What the panel passes to VELDARA_JtagDownload besides the path and the device number.
constexpr int32_t DOWNLOAD_LIMIT_MS = 20000;
constexpr uint8_t DOWNLOAD_FLAG = 1;

} // namespace

bool BoardConnection::Connect(bool mayConfigure, std::string& error) {
    bool ok = Probe(error);
    if (!ok && mayConfigure) {
        std::string configureError;
        ok = Configure(DefaultBitstream(), configureError);
        if (!ok) {
            // The probe's failure may be the cause (a board in use, say): both are told.
            error += " Configure FPGA fail: " + configureError;
        } else {
            ok = Probe(error);
            board.DrainInput();
            if (ok) {
                // The rest of the run uses a fresh link, as the panel's does.
                board.Disconnect();
                ok = board.Connect(error, device);
            }
        }
    }
    return ok;
}

bool BoardConnection::Probe(std::string& error) {
    if (board.IsConnected())
        return true;
    if (!board.Connect(error, device))
        return false;
    std::string name;
    if (!CheckBoardName(board, name, error)) {
        board.Disconnect();
        return false;
    }
    boardName = name;
    return true;
}

bool BoardConnection::Configure(const std::string& bitstream, std::string& error) {
    TDownload download;
    if (ReadQuartusVersion32() == 0.0 && ReadQuartusVersion64() == 0.0)
        platform::ShowMessage(platform::MessageKind::Warning, "Please make sure Quartus has been installed properly!");
    if (!download.IsLoaded()) {
        error = "Download tool not found.";
        return false;
    }
    const std::string name = std::filesystem::path(bitstream).filename().string();
    if (!platform::FileExists(bitstream)) {
        error = "Can not find the file: " + name;
        return false;
    }
    if (board.IsConnected())
        board.Disconnect();
    Step("Configure FPGA...");
    // The fourth argument carries the device number (the panel's 0 configures board 0).
    if (!download.JtagDownload(bitstream, DOWNLOAD_LIMIT_MS, DOWNLOAD_FLAG, device, 0, 0, 0)) {
        error = "download SOPC file (" + name + ") fail!";
        return false;
    }
    configured = true;
    return true;
}

std::string BoardConnection::DefaultBitstream() {
    return platform::ProgramFolder() + CONTROL_PANEL_BITSTREAM;
}

void BoardConnection::Step(const std::string& text) {
    if (onStep)
        onStep(text);
}

} // namespace cli
