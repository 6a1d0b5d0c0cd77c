#include "cli/ToolOptions.h"

#include "cli/CommandTable.h"

#include <CLI/CLI.hpp>
#include <climits>
#include <filesystem>
#include <ostream>
#include <sstream>

namespace cli {

namespace {

const char* const TOOL_DESCRIPTION = R"(qx7mb: the QX7-MB board from the command line, for scripts and labs.
Every command but doctor connects as the control panel does: it looks for the board's firmware
and, unless --no-configure, configures the FPGA with QX7MB_ControlPanel.sof when none answers; it
disconnects at its end. doctor checks, one line a check, what a connection needs.)";

const char* const TOOL_FOOTER =
    R"(Numbers: ADDR and LENGTH are bytes, decimal or 0x hexadecimal, with an optional K (x1024)
or M (x1048576): 0x100000, 1M and 1024K are the same. The SDRAM holds 64M bytes (0 to 0x3FFFFFF).
Files: a FILE whose name ends in .hex (any case) is a .HEX image, two hexadecimal digits per byte
and nothing else; any other FILE is a raw image of the bytes.

Output: results on standard output, as text or, with --json, as one JSON object per command
("ok", the command's results, "error" on failure). Transfers show a progress bar on standard
error when it is a terminal; Ctrl-C ends a transfer after its current exchange.

Exit codes: 0 success; 1 the board or link failed, or the output file or the standard output
could not be written (one line on standard error says what); 2 bad usage or input (nothing was
sent to the board); 3 verify found a difference; 4 a step of the board test (selftest) or a check
of the doctor failed; 130 Ctrl-C ended a transfer or a watch with --count.

Boards: --device N reaches board N. A virtual board N is served by "qx7mb-vboard --device N".
A board takes one JTAG link at a time: while the panel or another qx7mb holds it, commands fail.

Examples:
  qx7mb info
  qx7mb leds 0x3FF
  qx7mb --device 1 hex 0123AB
  qx7mb --json inputs
  qx7mb watch --count 1
  qx7mb vga "Color Scale"
  qx7mb mem write 0 image.bin --verify
  qx7mb mem read 0x100000 4K dump.hex
  qx7mb mem verify 0 image.bin
  qx7mb selftest --quick
  qx7mb doctor)";

const char* const COMMON_FOOTER =
    R"(Every command also takes --device N (the board), --json (one JSON object on standard output)
and --no-configure (never configure the FPGA), before or after its name. Exit codes: 0 success,
1 the board or link failed, 2 bad usage or input (nothing sent), 3 verify found a difference,
4 a board test step or doctor check failed, 130 interrupted by Ctrl-C. See qx7mb --help.)";

// A command's own notes, then what every command shares.
void Footer(CLI::App* sub, const std::string& notes) {
    sub->footer(notes.empty() ? std::string(COMMON_FOOTER) : notes + "\n\n" + COMMON_FOOTER);
}

// Each command from the table, below its group when its name has one; a group needs a member.
void AddCommands(CLI::App& app, ToolRequest& request) {
    for (const ToolCommand* entry : ToolCommands()) {
        const std::string name = entry->name;
        const size_t space = name.rfind(' ');
        CLI::App* parent = space == std::string::npos ? &app : app.get_subcommand(name.substr(0, space));
        CLI::App* sub = parent->add_subcommand(name.substr(space == std::string::npos ? 0 : space + 1), entry->summary);
        Footer(sub, entry->options != nullptr ? entry->options(*sub, request) : std::string());
        if (entry->run == nullptr) {
            sub->require_subcommand(1);
            continue;
        }
        sub->parse_complete_callback([&request, entry] {
            request.command = entry;
            request.name = entry->name;
        });
    }
}

// The name made absolute, with "." parts dropped but ".." kept: the kernel resolves "link/.." to the
// parent of the link's target, which no shortening of the text can know.
std::string Absolute(const std::string& file) {
    if (file.empty())
        return file;
    std::error_code error;
    const std::filesystem::path path = std::filesystem::absolute(file, error);
    if (error)
        return file;
    std::filesystem::path kept;
    for (const std::filesystem::path& part : path) {
        if (part != "." && !part.empty())
            kept /= part;
    }
    return kept.string();
}

} // namespace

CLI::Option* Positional(CLI::App& command, const std::string& name, std::string& value,
                        const std::string& description) {
    return command.add_option(name, value, description)->type_name("")->required();
}

ParseOutcome ParseToolArguments(const std::vector<std::string>& args, ToolRequest& request, std::ostream& out,
                                std::string& error) {
    CLI::App app(TOOL_DESCRIPTION, "qx7mb");
    app.footer(TOOL_FOOTER);
    app.set_version_flag("--version", std::string("qx7mb ") + QX7MB_VERSION, "print the version and exit");
    app.get_formatter()->column_width(32);
    // The global options are also taken after the command.
    app.fallthrough();
    app.require_subcommand(1);
    app.add_option("--device", request.device, "the board: the device number passed to VELDARA_JtagOpen (default 0)")
        ->type_name("N")
        ->check(CLI::Range(0, INT32_MAX).description(""));
    app.add_flag("--json", request.json, "print one JSON object on standard output instead of text");
    app.add_flag("--no-configure", request.noConfigure,
                 "never configure the FPGA: fail when the control-panel firmware does not answer");
    AddCommands(app, request);

    std::vector<const char*> argv = {"qx7mb"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& refusal) {
        if (refusal.get_exit_code() == 0) {
            std::ostringstream ignored;
            app.exit(refusal, out, ignored);
            return ParseOutcome::Help;
        }
        error = std::string(refusal.what()) + " (see qx7mb --help)";
        return ParseOutcome::Refused;
    }
    request.file = Absolute(request.file);
    return ParseOutcome::Run;
}

} // namespace cli
