// The doctor's checks of the virtual program folder, where a board server stands in for the board:
// its folder, its sockets, its state, our bitstream; and the firmware check that both folders share.
#include "board/DownloadApi.h"
#include "cli/DoctorChecks.h"
#include "platform/Files.h"
#include "vboard/Bitstream.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"

#include <sys/stat.h>
#include <unistd.h>

namespace cli {

namespace {

constexpr int STATE_LIMIT_MS = 3000;

// The value of one field of the board server's state line ("configured=1 design=X ..."); empty when
// it has none.
std::string StateField(const std::string& state, const std::string& name) {
    const std::size_t at = (" " + state).find(" " + name + "=");
    if (at == std::string::npos)
        return {};
    const std::size_t start = at + name.size() + 1;
    return state.substr(start, state.find(' ', start) - start);
}

} // namespace

void CheckFirmware(ToolSession& session, DoctorReport& report, bool configured, const std::string& skipReason) {
    const char* title = "the firmware";
    const bool mayConfigure = session.Request().configure;
    if (!configured && !mayConfigure) {
        report.Add("firmware", title, CheckResult::Skip, skipReason);
        return;
    }
    session.Messages().Hold();
    std::string error;
    const bool answered = session.Connection().Connect(mayConfigure, error);
    std::vector<std::string> boxes = session.Messages().Release();
    if (answered) {
        report.Add("firmware", title, CheckResult::Ok,
                   "board \"" + session.Connection().BoardName() + "\" answers on " +
                       session.Board().LinkDescription() +
                       (session.Connection().ConfiguredFpga() ? ", after its FPGA was configured" : ""));
        session.Board().Disconnect();
        return;
    }
    for (const std::string& box : boxes)
        error += " (" + box + ")";
    const char* advice = session.Connection().ConfiguredFpga()
                             ? ": the FPGA took the bitstream, but no control-panel firmware answers; the bitstream is "
                               "not the control-panel design"
                         : mayConfigure ? ": the FPGA could not be configured; see the checks above"
                                        : ": the control-panel firmware does not answer; qx7mb doctor --configure "
                                          "configures the FPGA anew";
    report.Add("firmware", title, CheckResult::Fail, error + advice);
}

void CheckVirtualBoard(ToolSession& session, DoctorReport& report) {
    const int32_t device = session.Request().device;
    const std::string folder = vboard::DefaultBoardFolder(device);
    const std::string start = device == 0 ? "qx7mb-vboard" : "qx7mb-vboard --device " + std::to_string(device);
    struct stat status {};
    bool folderOk = false;
    if (stat(folder.c_str(), &status) != 0) {
        report.Add("folder", "the board server's folder", CheckResult::Fail,
                   "no " + folder + ": no virtual board serves board " + std::to_string(device) +
                       "; start one: " + start + " (qx7mb-panel starts one with its window)");
    } else if (!S_ISDIR(status.st_mode) || status.st_uid != geteuid() || (status.st_mode & 077) != 0) {
        report.Add("folder", "the board server's folder", CheckResult::Fail,
                   folder +
                       " is not a folder of this user's closed to others, so no client trusts it: remove it "
                       "and start " +
                       start + " again");
    } else {
        folderOk = true;
        report.Add("folder", "the board server's folder", CheckResult::Ok, folder);
    }

    vboard::ControlClient control;
    if (!folderOk) {
        report.Add("sockets", "the board server's sockets", CheckResult::Skip, "no usable folder");
    } else if (!control.Connect(folder)) {
        report.Add("sockets", "the board server's sockets", CheckResult::Fail,
                   "nothing answers on " + folder + "/" + vboard::CONTROL_SOCKET_NAME +
                       ": the board server that served there ended; start " + start + " again");
    } else {
        struct stat jtag {};
        const std::string jtagPath = folder + "/" + vboard::JTAG_SOCKET_NAME;
        if (stat(jtagPath.c_str(), &jtag) != 0 || !S_ISSOCK(jtag.st_mode)) {
            control.Close();
            report.Add("sockets", "the board server's sockets", CheckResult::Fail,
                       "no socket " + jtagPath + ": stop the board server and start " + start + " again");
        } else {
            report.Add("sockets", "the board server's sockets", CheckResult::Ok,
                       std::string(vboard::JTAG_SOCKET_NAME) + " and " + vboard::CONTROL_SOCKET_NAME + " answer");
        }
    }

    std::string state;
    bool stateRead = false;
    bool linkFree = false;
    bool runsDesign = false;
    if (!control.IsConnected()) {
        report.Add("state", "the board's state", CheckResult::Skip, "no board server answers");
    } else if (!control.Request("state", state, STATE_LIMIT_MS)) {
        report.Add("state", "the board's state", CheckResult::Fail,
                   "the board server does not tell its state: stop it and start " + start + " again");
    } else {
        stateRead = true;
        const std::string design = StateField(state, "design");
        runsDesign = StateField(state, "configured") == "1" && design == vboard::Bitstream::CONTROL_PANEL_DESIGN;
        linkFree = StateField(state, "link") != "open";
        const std::string configured =
            StateField(state, "configured") == "1" ? "configured with " + design : "not configured";
        if (!linkFree)
            report.Add("state", "the board's state", CheckResult::Fail,
                       configured + "; another program holds its JTAG link (the panel, or another qx7mb): close it");
        else
            report.Add("state", "the board's state", CheckResult::Ok, configured + ", its JTAG link free");
    }

    const std::string path = platform::ProgramFolder() + CONTROL_PANEL_BITSTREAM;
    vboard::Bitstream bitstream;
    std::string error;
    if (!vboard::Bitstream::Load(path, bitstream, error))
        report.Add("bitstream", "the bitstream", CheckResult::Fail,
                   error + "; the build writes " + CONTROL_PANEL_BITSTREAM + " beside the program: build again");
    else if (bitstream.design != vboard::Bitstream::CONTROL_PANEL_DESIGN)
        report.Add("bitstream", "the bitstream", CheckResult::Fail,
                   path + " holds the design " + bitstream.design + ", not the control panel's: build again");
    else
        report.Add("bitstream", "the bitstream", CheckResult::Ok, path + ", design " + bitstream.design);

    control.Close();
    if (!stateRead || !linkFree) {
        report.Add("firmware", "the firmware", CheckResult::Skip,
                   stateRead ? "another program holds the board's JTAG link" : "no board server answers");
        return;
    }
    CheckFirmware(session, report, runsDesign,
                  "the board runs no control-panel design yet: the panel configures it when it connects; qx7mb "
                  "doctor --configure configures it now and asks the firmware");
}

} // namespace cli
