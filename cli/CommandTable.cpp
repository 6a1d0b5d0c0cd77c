#include "cli/CommandTable.h"

namespace cli {

// Each command's own file defines its entry; a new command is one line here.
extern const ToolCommand INFO_COMMAND;
extern const ToolCommand CONFIGURE_COMMAND;
extern const ToolCommand LEDS_COMMAND;
extern const ToolCommand HEX_COMMAND;
extern const ToolCommand INPUTS_COMMAND;
extern const ToolCommand WATCH_COMMAND;
extern const ToolCommand SD_COMMAND;
extern const ToolCommand VGA_COMMAND;
extern const ToolCommand MEM_COMMAND;
extern const ToolCommand MEM_READ_COMMAND;
extern const ToolCommand MEM_WRITE_COMMAND;
extern const ToolCommand MEM_VERIFY_COMMAND;
extern const ToolCommand SELFTEST_COMMAND;
extern const ToolCommand DOCTOR_COMMAND;
extern const ToolCommand TRACE_COMMAND;

const std::vector<const ToolCommand*>& ToolCommands() {
    static const std::vector<const ToolCommand*> commands = {
        &INFO_COMMAND,      &CONFIGURE_COMMAND,  &LEDS_COMMAND,     &HEX_COMMAND,    &INPUTS_COMMAND,
        &WATCH_COMMAND,     &SD_COMMAND,         &VGA_COMMAND,      &MEM_COMMAND,    &MEM_READ_COMMAND,
        &MEM_WRITE_COMMAND, &MEM_VERIFY_COMMAND, &SELFTEST_COMMAND, &DOCTOR_COMMAND, &TRACE_COMMAND,
    };
    return commands;
}

} // namespace cli
