// doctor: what stands between this program folder and a connected board, one check a line.
#include "cli/CommandTable.h"
#include "cli/Commands.h"
#include "cli/DoctorChecks.h"
#include "platform/Files.h"

#include <CLI/CLI.hpp>

namespace cli {

static CommandResult RunDoctor(ToolSession& session) {
    // The virtual program folder is the one with the board server beside the tool.
    const bool virtualBoard = platform::FileExists(platform::ProgramFolder() + "qx7mb-vboard");
    DoctorReport report(session, virtualBoard ? "virtual" : "hardware");
    session.Print("Checks of board " + std::to_string(session.Request().device) + " from " + platform::ProgramFolder() +
                  (virtualBoard ? " (a virtual board)" : " (a real board through Quartus)"));
    if (virtualBoard)
        CheckVirtualBoard(session, report);
    else
        CheckHardware(session, report);
    return report.Finish();
}

static const char* const DOCTOR_FOOTER =
    R"(Run it first when the panel does not connect. Each check is one line: ok, fail with what to do,
or skip (it cannot be made because of a failure above, or there is nothing to check yet). In the
hardware program folder (a real board through Quartus):
  Quartus           where it is (QUARTUS_ROOTDIR, else the newest in ~, /opt, /usr/local), its version
  JTAG libraries    libjtag_client.so and libjtag_atlantic.so load
  jtagd             the JTAG server finds every system library it needs (ldd)
  JTAG server       jtagconfig gets an answer from jtagd
  USB-Blaster       on the USB bus (09fb:6001, 6002, 6003, 6010, 6810), and this user may open it
  udev rule         a rule for vendor 09fb is installed
  cables            the cables jtagconfig lists; the board's cable among them with a device
  JTAG UART         the board's JTAG UART opens on its cable (none yet on a board not configured)
  bitstream         QX7MB_ControlPanel.sof beside the program is the maker's, not the virtual board's
  firmware          the control-panel firmware answers (with --configure, configured first if need be)
In the virtual program folder it checks the board server instead: its folder, its sockets, the
board's state, our bitstream and the firmware.
Exit code 0 when no check failed, 4 when one did.)";

static std::string DoctorOptions(CLI::App& command, ToolRequest& request) {
    command.add_flag("--configure", request.configure,
                     "configure the FPGA when the firmware does not answer, then ask it again");
    return DOCTOR_FOOTER;
}

extern const ToolCommand DOCTOR_COMMAND{"doctor", "check, step by step, what a connection to the board needs",
                                        DoctorOptions, RunDoctor};

} // namespace cli
