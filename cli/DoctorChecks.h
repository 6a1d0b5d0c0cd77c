#pragma once

#include "cli/DoctorReport.h"
#include "cli/ToolSession.h"

namespace cli {

// The doctor's checks of the hardware program folder: Quartus, its libraries, the JTAG server, the
// cable on the USB bus and its udev rule, the cables the server lists, the board's JTAG UART, the
// maker's bitstream and the firmware.
void CheckHardware(ToolSession& session, DoctorReport& report);
// The doctor's checks of the virtual program folder: the board server's folder, sockets and state,
// our bitstream and the firmware.
void CheckVirtualBoard(ToolSession& session, DoctorReport& report);
// The firmware check of both: a probe as the panel's, configuring first only when asked.
void CheckFirmware(ToolSession& session, DoctorReport& report, bool configured, const std::string& skipReason);

} // namespace cli
