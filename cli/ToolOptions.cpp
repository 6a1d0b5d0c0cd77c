#include "cli/ToolOptions.h"

#include "board/VgaPatterns.h"

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

const char* const SELFTEST_FOOTER =
    R"(Steps, in this order, each reported as passed, failed or skipped:
  1 Link: the board's name, then 200 pings: failures and round-trip times.
  2 LEDs, digits, VGA: each LED alone, all six digits through 0 to F, each VGA pattern; every
    command must be accepted. The firmware cannot report what the lamps show: watch the board.
  3 Keys and switches: read once; with --interactive, press each key and flip each switch when asked
    (30 s each; Enter skips one): exactly its bit must change.
  4 SDRAM: walking ones and zeros through one location (data lines), a marker at 0 and at each
    power-of-two address (address lines), then a march over the whole 64 MiB (--quick: the first MiB):
    a pattern and its complement, each written and read back. A failure names the first failing
    address, the bits that differ and what they mean ("data bit 5 stuck at 1").
    THE SDRAM'S CONTENT IS NOT KEPT: whatever was in the memory is overwritten.
  5 SD card: present or not, its registers and file system; a capacity of 0 or an unknown register
    structure is a warning, not a failure.
Exit code 0 when no step failed, 4 when any did; 1 when the board or link failed.)";

const char* const DOCTOR_FOOTER =
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

const char* const MEMORY_FOOTER =
    R"(ADDR and LENGTH are bytes: decimal or 0x hexadecimal, optionally followed by K (x1024) or
M (x1048576). The range must lie within the 64M bytes of SDRAM. A FILE named *.hex (any case) is a
.HEX image (two hexadecimal digits per byte, no blanks or line breaks); any other is raw. A range
past the SDRAM's end, a missing file or a malformed .HEX file is refused before anything is sent.)";

const char* const TRACE_FOOTER =
    R"(With QX7MB_TRACE=FILE in its environment, any program that uses VELDARA_JTAG.DLL (the panel, qx7mb,
either edition) appends every write and read of the JTAG link to FILE, with its time. This command
lists each link of FILE and on it, in time order: each frame with its command, payload length,
checksum verdict and arguments or status, a reply with the time since its request; bytes outside
any frame (STRAY), frames cut short (INCOMPLETE), writes the library refused, and pauses (GAP).
Reads that moved nothing are counted, not listed. The trace keeps calls of up to 256 bytes whole
and of longer ones the first 64 and last 32 bytes and the sum of the rest; it stops growing at
64 MiB. The board is not reached.)";

const char* const COMMON_FOOTER =
    R"(Every command also takes --device N (the board), --json (one JSON object on standard output)
and --no-configure (never configure the FPGA), before or after its name. Exit codes: 0 success,
1 the board or link failed, 2 bad usage or input (nothing sent), 3 verify found a difference,
4 a board test step or doctor check failed, 130 interrupted by Ctrl-C. See qx7mb --help.)";

// A command's own notes, then what every command shares.
void Footer(CLI::App* sub, const std::string& notes) {
    sub->footer(notes.empty() ? std::string(COMMON_FOOTER) : notes + "\n\n" + COMMON_FOOTER);
}

CLI::Option* Positional(CLI::App* sub, const std::string& name, std::string& value, const std::string& description) {
    return sub->add_option(name, value, description)->type_name("")->required();
}

std::string PatternList() {
    std::string list = "Patterns:";
    for (int i = 0; i < VGA_PATTERN_COUNT; ++i)
        list += "\n  " + std::to_string(i) + "  " + VGA_PATTERNS[i].name;
    return list;
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

    // Each command sets what it is when the command line names it.
    const auto command = [&request](CLI::App* sub, ToolCommand which, const std::string& name) {
        sub->parse_complete_callback([&request, which, name] {
            request.command = which;
            request.name = name;
        });
        return sub;
    };

    Footer(command(app.add_subcommand("info", "the board's name, the link's description and the Quartus version found"),
                   ToolCommand::Info, "info"),
           "");

    auto* configure = command(app.add_subcommand("configure", "configure the FPGA, then look for the firmware"),
                              ToolCommand::Configure, "configure");
    configure->add_option("FILE", request.file, "the bitstream (default: QX7MB_ControlPanel.sof beside the program)")
        ->type_name("");
    Footer(configure, "The FPGA is configured whatever runs on it; the output then says whether the control-panel\n"
                      "firmware answers.");

    auto* leds = command(app.add_subcommand("leds", "light the ten red LEDs"), ToolCommand::Leds, "leds");
    Positional(leds, "MASK", request.value, "0 to 0x3FF, decimal or 0x hexadecimal; bit i lights LEDR i");
    Footer(leds, "");

    auto* hex = command(app.add_subcommand("hex", "set the six 7-segment digits"), ToolCommand::Hex, "hex");
    Positional(hex, "DIGITS", request.value, "six hexadecimal digits, HEX5 first (\"0123AB\" shows B on HEX0)");
    Footer(hex, "");

    auto* inputs = command(app.add_subcommand("inputs", "read the four keys and the ten switches once"),
                           ToolCommand::Inputs, "inputs");
    Footer(inputs, "As the switches page reads them: a key that is held is down, a switch that is set is on.");

    auto* watch =
        command(app.add_subcommand("watch", "show each change of the keys and switches"), ToolCommand::Watch, "watch");
    watch->add_option("--count", request.count, "end after N changes (default: run until Ctrl-C)")
        ->type_name("N")
        ->check(CLI::PositiveNumber.description(""));
    Footer(watch, "The keys and switches are read ten times a second, as the switches page does. The state at\n"
                  "the start comes first, then one line per change; with --json one object at the end.");

    auto* sd = command(app.add_subcommand("sd", "read the SD card's identification, as the SD card page shows it"),
                       ToolCommand::Sd, "sd");
    Footer(sd, "Exit code 1 when no card is in the slot.");

    auto* vga =
        command(app.add_subcommand("vga", "put a test pattern out on the VGA connector"), ToolCommand::Vga, "vga");
    Positional(vga, "PATTERN", request.value, "the pattern's index or its name (any case)");
    Footer(vga, PatternList());

    auto* mem = app.add_subcommand("mem", "move bytes between the SDRAM and files");
    mem->require_subcommand(1);
    Footer(mem, MEMORY_FOOTER);
    auto* read = command(mem->add_subcommand("read", "copy SDRAM bytes to a file"), ToolCommand::MemRead, "mem read");
    Positional(read, "ADDR", request.address, "the first byte");
    Positional(read, "LENGTH", request.length, "the number of bytes");
    Positional(read, "FILE", request.file, "the file to write (replaced only once all of it is read)");
    Footer(read, MEMORY_FOOTER);
    auto* write =
        command(mem->add_subcommand("write", "copy a file into the SDRAM"), ToolCommand::MemWrite, "mem write");
    Positional(write, "ADDR", request.address, "where the file's first byte goes");
    Positional(write, "FILE", request.file, "the image to write, all of it");
    write->add_flag("--verify", request.verify, "read the bytes back and compare them (exit code 3 on a difference)");
    Footer(write, MEMORY_FOOTER);
    auto* verify =
        command(mem->add_subcommand("verify", "compare the SDRAM with a file"), ToolCommand::MemVerify, "mem verify");
    Positional(verify, "ADDR", request.address, "where the file's first byte should be");
    Positional(verify, "FILE", request.file, "the image to compare with");
    Footer(verify, "Reports the first differing address and the number of differing bytes; exit code 3 when any\n"
                   "differ. " +
                       std::string(MEMORY_FOOTER));

    auto* selftest = command(app.add_subcommand("selftest", "test the board: link, outputs, inputs, SDRAM, SD card"),
                             ToolCommand::SelfTest, "selftest");
    selftest->add_flag("--quick", request.quick, "march over the first MiB of SDRAM only");
    selftest->add_flag("--interactive", request.interactive, "ask for each key and switch to be tried");
    Footer(selftest, SELFTEST_FOOTER);

    auto* doctor = command(app.add_subcommand("doctor", "check, step by step, what a connection to the board needs"),
                           ToolCommand::Doctor, "doctor");
    doctor->add_flag("--configure", request.configure,
                     "configure the FPGA when the firmware does not answer, then ask it again");
    Footer(doctor, DOCTOR_FOOTER);
    auto* trace = command(app.add_subcommand("trace", "decode a JTAG trace that QX7MB_TRACE recorded"),
                          ToolCommand::Trace, "trace");
    Positional(trace, "FILE", request.file, "the trace");
    trace->add_option("--gap", request.gap, "mark pauses of at least MS without bytes (default 200)")
        ->type_name("MS")
        ->check(CLI::PositiveNumber.description(""));
    Footer(trace, TRACE_FOOTER);

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
