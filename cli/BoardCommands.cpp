// The commands on the board as a whole and its outputs: info, configure, leds, hex, sd and vga.
#include "board/Protocol.h"
#include "board/VgaPatterns.h"
#include "cli/CommandTable.h"
#include "cli/Commands.h"
#include "cli/Numbers.h"
#include "config/Download.h"
#include "config/Quartusinfo.h"
#include "platform/Files.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <sstream>

namespace cli {

namespace {

std::string Version(double version) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", version);
    return text;
}

} // namespace

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

static CommandResult RunInfo(ToolSession& session) {
    std::string error;
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    const double registry = ReadQuartusVersion32();
    const double registry64 = ReadQuartusVersion64();
    const double library = TDownload().GetQuatusVersion();
    CommandResult result;
    result.fields["board"] = session.Connection().BoardName();
    result.fields["link"] = session.Board().LinkDescription();
    result.fields["quartus"] = {{"registry", registry}, {"registry64", registry64}, {"library", library}};
    session.Print("board    " + session.Connection().BoardName());
    session.Print("link     " + session.Board().LinkDescription());
    if (registry == 0.0 && registry64 == 0.0 && library == 0.0)
        session.Print("quartus  none found");
    else
        session.Print("quartus  " + Version(registry) + " (registry), " + Version(registry64) + " (64-bit registry), " +
                      Version(library) + " (VELDARA_DOWNLOAD.DLL)");
    return result;
}

static CommandResult RunConfigure(ToolSession& session) {
    const ToolRequest& request = session.Request();
    if (request.noConfigure)
        return CommandResult::Failure(EXIT_USAGE, "configure cannot run with --no-configure");
    const std::string bitstream = request.file.empty() ? ConnectionWorkflow::DefaultBitstream() : request.file;
    // A file the user names must be there; a missing default is the installation's fault, told below.
    if (!request.file.empty() && !platform::FileExists(bitstream))
        return CommandResult::Failure(EXIT_USAGE, "no such file: " + bitstream);
    std::string error;
    if (!session.Connection().Configure(bitstream, error))
        return CommandResult::Failure(EXIT_BOARD, error);
    // Whatever the design, the FPGA is configured; whether the control-panel firmware runs is news.
    std::string probeError;
    const bool firmware = session.Connection().Probe(false, probeError);
    CommandResult result;
    result.fields["bitstream"] = bitstream;
    result.fields["firmware"] = firmware ? nlohmann::json(session.Connection().BoardName()) : nlohmann::json();
    session.Print("Configure FPGA success: " + bitstream);
    session.Print(firmware ? "the control-panel firmware answers (" + session.Connection().BoardName() + ")"
                           : "no control-panel firmware answers: " + probeError);
    return result;
}

static CommandResult RunLeds(ToolSession& session) {
    uint64_t mask = 0;
    std::string error;
    if (!ParseNumber(session.Request().value, false, mask, error))
        return CommandResult::Failure(EXIT_USAGE, "MASK " + error);
    if (mask > LED_MASK)
        return CommandResult::Failure(EXIT_USAGE,
                                      "MASK " + Hex(mask) + " is above " + Hex(LED_MASK) + ": the board has ten LEDs");
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    if (!session.Board().SetLeds(static_cast<uint32_t>(mask)))
        return CommandResult::Failure(EXIT_BOARD, "Failed to set the LEDs.");
    CommandResult result;
    result.fields["leds"] = mask;
    session.Print("LEDs " + Hex(mask, 3));
    return result;
}

static CommandResult RunHex(ToolSession& session) {
    uint32_t word = 0;
    std::string error;
    if (!ParseDigits(session.Request().value, word, error))
        return CommandResult::Failure(EXIT_USAGE, "DIGITS " + error);
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    if (!session.Board().SetSevenSegment(word, 0))
        return CommandResult::Failure(EXIT_BOARD, "Failed to set the 7-segment digits.");
    const std::string digits = Hex(word, 6).substr(2);
    CommandResult result;
    result.fields["digits"] = digits;
    result.fields["digit_word"] = word;
    session.Print("HEX5..HEX0 " + digits);
    return result;
}

static CommandResult RunSd(ToolSession& session) {
    std::string error;
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    bool present = false;
    bool flag = false;
    std::string csd;
    std::string cid;
    std::string fileSystem;
    TBoard& board = session.Board();
    board.DrainInput();
    if (!board.ReadSdCardInfo(present, csd, cid, fileSystem, flag))
        return CommandResult::Failure(EXIT_BOARD, "Failed to access SDCARD.");
    if (!present)
        return CommandResult::Failure(EXIT_BOARD,
                                      "Failed to access the SDCARD. Please make sure a SDCARD is pluged into the "
                                      "Cyclone V Vantrel Board.",
                                      {{"card", false}});
    CommandResult result;
    result.fields["card"] = true;
    result.fields["cid"] = Lines(cid);
    result.fields["csd"] = Lines(csd);
    result.fields["file_system"] = fileSystem;
    session.Print("Card Identification");
    for (const std::string& line : Lines(cid))
        session.Print(line);
    session.Print("Card Specific Data");
    for (const std::string& line : Lines(csd))
        session.Print(line);
    session.Print("File System:");
    session.Print(fileSystem);
    return result;
}

static CommandResult RunVga(ToolSession& session) {
    int pattern = 0;
    std::string error;
    if (!ParseVgaPattern(session.Request().value, pattern, error))
        return CommandResult::Failure(EXIT_USAGE, "PATTERN " + error);
    if (!session.Connect(error))
        return CommandResult::Failure(EXIT_BOARD, error);
    TBoard& board = session.Board();
    // As the VGA page does when it is shown: the output is probed before a pattern is sent.
    bool accepted = false;
    if (!board.SendControl(accepted, CONTROL_TARGET_VGA_OUT, CONTROL_OP_PROBE, 0) || !accepted)
        return CommandResult::Failure(EXIT_BOARD, "The board's VGA output does not answer its probe.");
    board.DrainInput();
    if (!board.SendControl(accepted, CONTROL_TARGET_VGA, CONTROL_OP_SET_PATTERN, static_cast<uint8_t>(pattern)) ||
        !accepted)
        return CommandResult::Failure(EXIT_BOARD, "Failed to set VGA-OUT.");
    CommandResult result;
    result.fields["pattern"] = pattern;
    result.fields["name"] = VGA_PATTERNS[pattern].name;
    session.Print("Set VGA-OUT Success: " + std::to_string(pattern) + " " + VGA_PATTERNS[pattern].name);
    return result;
}

static std::string ConfigureOptions(CLI::App& command, ToolRequest& request) {
    command.add_option("FILE", request.file, "the bitstream (default: QX7MB_ControlPanel.sof beside the program)")
        ->type_name("");
    return "The FPGA is configured whatever runs on it; the output then says whether the control-panel\n"
           "firmware answers.";
}

static std::string LedsOptions(CLI::App& command, ToolRequest& request) {
    Positional(command, "MASK", request.value, "0 to 0x3FF, decimal or 0x hexadecimal; bit i lights LEDR i");
    return {};
}

static std::string HexOptions(CLI::App& command, ToolRequest& request) {
    Positional(command, "DIGITS", request.value, "six hexadecimal digits, HEX5 first (\"0123AB\" shows B on HEX0)");
    return {};
}

static std::string SdOptions(CLI::App&, ToolRequest&) {
    return "Exit code 1 when no card is in the slot.";
}

static std::string PatternList() {
    std::string list = "Patterns:";
    for (int i = 0; i < VGA_PATTERN_COUNT; ++i)
        list += "\n  " + std::to_string(i) + "  " + VGA_PATTERNS[i].name;
    return list;
}

static std::string VgaOptions(CLI::App& command, ToolRequest& request) {
    Positional(command, "PATTERN", request.value, "the pattern's index or its name (any case)");
    return PatternList();
}

extern const ToolCommand INFO_COMMAND{"info", "the board's name, the link's description and the Quartus version found",
                                      nullptr, RunInfo};
extern const ToolCommand CONFIGURE_COMMAND{"configure", "configure the FPGA, then look for the firmware",
                                           ConfigureOptions, RunConfigure};
extern const ToolCommand LEDS_COMMAND{"leds", "light the ten red LEDs", LedsOptions, RunLeds};
extern const ToolCommand HEX_COMMAND{"hex", "set the six 7-segment digits", HexOptions, RunHex};
extern const ToolCommand SD_COMMAND{"sd", "read the SD card's identification, as the SD card page shows it", SdOptions,
                                    RunSd};
extern const ToolCommand VGA_COMMAND{"vga", "put a test pattern out on the VGA connector", VgaOptions, RunVga};

} // namespace cli
