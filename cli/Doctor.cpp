// doctor: what stands between this program folder and a connected board, one check a line.
#include "cli/Commands.h"
#include "cli/DoctorChecks.h"
#include "platform/Files.h"

namespace cli {

CommandResult RunDoctor(ToolSession& session) {
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

} // namespace cli
