// The doctor's checks of a real board's set-up, in the order a person goes through it: Quartus, its
// JTAG server, the cable, the board, the bitstream, the firmware.
#include "board/DownloadApi.h"
#include "cli/DoctorChecks.h"
#include "cli/SystemDevices.h"
#include "hardware/AtlanticLink.h"
#include "hardware/JtagCable.h"
#include "hardware/QuartusInstall.h"
#include "hardware/QuartusProgrammer.h"
#include "hardware/Report.h"
#include "platform/Files.h"
#include "platform/ProgramRun.h"
#include "vboard/Bitstream.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace cli {

namespace {

constexpr uint32_t TOOL_LIMIT_MS = 30000;
// Where Debian and its kin keep the system's libudev.
const char* const SYSTEM_LIBRARY_FOLDERS[] = {"/lib/x86_64-linux-gnu", "/usr/lib/x86_64-linux-gnu", "/lib64",
                                              "/usr/lib64", "/usr/lib"};
constexpr const char* OLD_UDEV = "libudev.so.0";
constexpr const char* NEW_UDEV = "libudev.so.1";

std::string Joined(const std::vector<std::string>& items, const char* separator) {
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : separator) + item;
    return text;
}

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        if (!Trimmed(line).empty())
            lines.push_back(line);
    }
    return lines;
}

std::string LastLine(const std::string& text) {
    const std::vector<std::string> lines = Lines(text);
    return lines.empty() ? std::string("no output") : Trimmed(lines.back());
}

bool IsElf(const std::string& path) {
    char magic[4] = {};
    std::ifstream(path, std::ios::binary).read(magic, sizeof magic);
    return std::memcmp(magic,
                       "\x7f"
                       "ELF",
                       4) == 0;
}

// A cable as jtagconfig lists it, "1) USB-Blaster [1-1.4]", with the devices of its chain: the
// indented lines that follow and start with a device's JTAG ID code ("  020F30DD   EP4CE22"). Other
// indented lines are what jtagconfig says of the chain ("Unable to read device chain ...").
struct ListedCable {
    std::string number;
    std::string name;
    std::vector<std::string> devices;
    std::vector<std::string> notes;
};

bool StartsWithIdCode(const std::string& text) {
    std::size_t digits = 0;
    while (digits < text.size() && std::isxdigit(static_cast<unsigned char>(text[digits])))
        ++digits;
    return digits == 8 && (text.size() == 8 || text[8] == ' ' || text[8] == '\t');
}

std::vector<ListedCable> ParseCables(const std::string& listing) {
    std::vector<ListedCable> cables;
    for (const std::string& line : Lines(listing)) {
        std::size_t digits = 0;
        while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
            ++digits;
        if (digits > 0 && line.compare(digits, 2, ") ") == 0)
            cables.push_back({line.substr(0, digits), Trimmed(line.substr(digits + 2)), {}, {}});
        else if (!cables.empty() && (line[0] == ' ' || line[0] == '\t'))
            (StartsWithIdCode(Trimmed(line)) ? cables.back().devices : cables.back().notes).push_back(Trimmed(line));
    }
    return cables;
}

std::string CableLine(const ListedCable& cable) {
    return cable.number + ") " + cable.name + " (" +
           (!cable.devices.empty() ? Joined(cable.devices, ", ")
            : cable.notes.empty()  ? std::string("no device")
                                   : Joined(cable.notes, ", ")) +
           ")";
}

class HardwareDoctor {
public:
    HardwareDoctor(ToolSession& session, DoctorReport& report) : session(session), report(report) {}

    void Run() {
        const int32_t board = session.Request().device;
        targetChosen = hardware::ChooseTarget(board, target, targetProblem);
        Quartus();
        Libraries();
        JtagdLibraries();
        JtagServer();
        Usb();
        Udev();
        Cables(board);
        Uart();
        Bitstream();
        Firmware();
    }

private:
    // Finds the installation a user of it would; a folder that QUARTUS_ROOTDIR names is taken whatever
    // it holds, so what it lacks is told here.
    static bool Find(hardware::QuartusInstall& install, const std::vector<std::string>& needed, std::string& problem) {
        if (!install.Find(needed, problem))
            return false;
        for (const std::string& file : needed) {
            if (!platform::FileExists(install.Root() + "/" + file)) {
                const std::size_t slash = file.rfind('/');
                problem = install.Missing(file.substr(slash + 1), install.Root() + "/" + file.substr(0, slash)) +
                          "; QUARTUS_ROOTDIR must name the quartus folder itself, the one that holds bin/ and linux64/";
                return false;
            }
        }
        return true;
    }

    void Quartus() {
        std::string problem;
        std::string toolProblem;
        jtagFound = Find(jtagInstall, hardware::QuartusInstall::JTAG_LIBRARIES, problem);
        toolsFound = Find(toolInstall, hardware::QuartusInstall::PROGRAMMER, toolProblem);
        if (!jtagFound || !toolsFound) {
            report.Add("quartus", "Quartus", CheckResult::Fail, !jtagFound ? problem : toolProblem);
            return;
        }
        double version = 0.0;
        {
            hardware::FailureCapture quiet;
            version = hardware::QuartusProgrammer().Version();
        }
        char versionText[64];
        std::snprintf(versionText, sizeof versionText, "version %g", version);
        const std::string where =
            jtagInstall.Root() == toolInstall.Root()
                ? jtagInstall.Root()
                : "JTAG libraries in " + jtagInstall.Root() + ", quartus_pgm in " + toolInstall.Root();
        report.Add("quartus", "Quartus", CheckResult::Ok,
                   where + (jtagInstall.Named() ? " (QUARTUS_ROOTDIR)" : " (found without QUARTUS_ROOTDIR)") + ", " +
                       (version > 0.0 ? std::string(versionText) : "quartus_pgm --version tells no version"));
    }

    void Libraries() {
        const char* title = "Quartus's JTAG libraries";
        if (!jtagFound) {
            report.Add("libraries", title, CheckResult::Skip, "no Quartus");
            return;
        }
        std::string problem;
        if (!atlantic.Load(jtagInstall, problem)) {
            report.Add("libraries", title, CheckResult::Fail,
                       problem.rfind("cannot load", 0) == 0
                           ? problem + "; ldd names the system libraries it lacks: install the packages that have them"
                           : problem + "; reinstall Quartus or the Quartus Programmer");
            return;
        }
        report.Add("libraries", title, CheckResult::Ok,
                   "libjtag_client.so and libjtag_atlantic.so load from " + jtagInstall.LibraryFolder());
    }

    void JtagdLibraries() {
        const char* title = "the JTAG server's libraries";
        if (!toolsFound) {
            report.Add("jtagd", title, CheckResult::Skip, "no Quartus");
            return;
        }
        // bin/jtagd may be a script that starts the program in linux64/.
        std::string jtagd;
        for (const std::string& path : {toolInstall.ToolFolder() + "/jtagd", toolInstall.LibraryFolder() + "/jtagd"}) {
            if (jtagd.empty() && platform::FileExists(path) && IsElf(path))
                jtagd = path;
        }
        if (jtagd.empty()) {
            report.Add("jtagd", title, CheckResult::Fail,
                       "no jtagd in " + toolInstall.ToolFolder() + " or " + toolInstall.LibraryFolder() +
                           ": the installation lacks the JTAG server; reinstall Quartus or the Quartus Programmer");
            return;
        }
        const std::string ldd = platform::FileExists("/usr/bin/ldd") ? "/usr/bin/ldd" : "/bin/ldd";
        platform::ProgramOutcome outcome;
        std::string failure;
        // Quartus's programs find its own libraries in linux64/, as its start scripts arrange.
        if (!platform::RunProgram("/usr/bin/env", {"LD_LIBRARY_PATH=" + toolInstall.LibraryFolder(), ldd, jtagd},
                                  TOOL_LIMIT_MS, outcome, failure) ||
            outcome.timedOut) {
            report.Add("jtagd", title, CheckResult::Fail,
                       "cannot run " + ldd + " " + jtagd + (failure.empty() ? "" : ": " + failure) +
                           " (Debian package libc-bin)");
            return;
        }
        std::vector<std::string> missing;
        for (const std::string& line : Lines(outcome.output)) {
            const std::size_t arrow = line.find("=> not found");
            if (arrow != std::string::npos)
                missing.push_back(Trimmed(line.substr(0, arrow)));
        }
        if (missing.empty()) {
            report.Add("jtagd", title, CheckResult::Ok, jtagd + " finds every library it needs");
            return;
        }
        std::string text = jtagd + " lacks " + Joined(missing, ", ") + ": ";
        if (std::find(missing.begin(), missing.end(), OLD_UDEV) != missing.end()) {
            // Older Quartus releases were built against the old name of libudev.
            std::string found;
            for (const char* folder : SYSTEM_LIBRARY_FOLDERS) {
                const std::string path = platform::SystemPath(std::string(folder) + "/" + NEW_UDEV);
                if (found.empty() && platform::FileExists(path))
                    found = path;
            }
            const std::string link = "ln -s " + (found.empty() ? "/usr/lib/x86_64-linux-gnu/libudev.so.1" : found) +
                                     " " + toolInstall.LibraryFolder() + "/" + OLD_UDEV;
            text += found.empty() ? std::string("this Quartus wants the old name of libudev; install libudev1 "
                                                "(sudo apt install libudev1), then ") +
                                        link
                                  : std::string("this Quartus wants the old name of ") + NEW_UDEV +
                                        ", which this system has: " + link;
            text += " gives it that name in Quartus's own folder (stop a jtagd that runs already; jtagconfig "
                    "starts it again)";
            missing.erase(std::find(missing.begin(), missing.end(), OLD_UDEV));
            if (!missing.empty())
                text += "; ";
        }
        if (!missing.empty())
            text += "install the packages that have " + Joined(missing, ", ") + " (apt-file search NAME finds them)";
        report.Add("jtagd", title, CheckResult::Fail, text);
    }

    void JtagServer() {
        const char* title = "the JTAG server";
        if (!toolsFound) {
            report.Add("server", title, CheckResult::Skip, "no Quartus");
            return;
        }
        const std::string jtagconfig = toolInstall.ToolFolder() + "/jtagconfig";
        if (!platform::FileExists(jtagconfig)) {
            report.Add("server", title, CheckResult::Fail,
                       "no jtagconfig in " + toolInstall.ToolFolder() +
                           ": reinstall Quartus or the Quartus Programmer");
            return;
        }
        platform::ProgramOutcome outcome;
        std::string failure;
        if (!platform::RunProgram(jtagconfig, {}, TOOL_LIMIT_MS, outcome, failure)) {
            report.Add("server", title, CheckResult::Fail, "cannot start " + jtagconfig + ": " + failure);
            return;
        }
        if (outcome.timedOut) {
            report.Add("server", title, CheckResult::Fail,
                       "jtagconfig did not finish within 30 s: jtagd hangs; stop it, then run jtagconfig again");
            return;
        }
        // jtagconfig asks the server for the cables; "No JTAG hardware available" is the server's answer.
        serverAnswered =
            outcome.exitCode == 0 || outcome.output.find("No JTAG hardware available") != std::string::npos;
        if (!serverAnswered) {
            report.Add("server", title, CheckResult::Fail,
                       "jtagconfig gets no answer from jtagd (" + LastLine(outcome.output) +
                           "): run jtagconfig in a terminal, which starts jtagd; a jtagd of another user, or one "
                           "started before the udev rule, must be stopped first");
            return;
        }
        listing = outcome.output;
        report.Add("server", title, CheckResult::Ok, "jtagconfig gets an answer from jtagd");
    }

    void Usb() {
        const char* title = "the USB-Blaster";
        const std::vector<UsbBlaster> blasters = FindUsbBlasters();
        if (blasters.empty()) {
            report.Add("usb", title, CheckResult::Fail,
                       "none on the USB bus (vendor 09fb, product 6001, 6002, 6003, 6010 or 6810): plug the cable "
                       "into this computer and the board (lsusb lists it as 09fb:...)");
            return;
        }
        std::vector<std::string> found;
        std::string problem;
        for (const UsbBlaster& blaster : blasters) {
            const std::string name = std::string(BLASTER_VENDOR) + ":" + blaster.product + " at " + blaster.node;
            found.push_back(name);
            if (!problem.empty())
                continue;
            if (!blaster.nodeExists)
                problem = name + " has no device node: plug the cable in again";
            else if (!blaster.mayOpen)
                problem = name + " (" + blaster.access +
                          ") may not be opened by this user: install the udev rule (see the next check), then plug "
                          "the cable in again";
        }
        if (!problem.empty())
            report.Add("usb", title, CheckResult::Fail, problem);
        else
            report.Add("usb", title, CheckResult::Ok, Joined(found, ", ") + ", which this user may open");
    }

    void Udev() {
        const char* title = "the udev rule";
        const std::vector<std::string> rules = FindBlasterRules();
        if (!rules.empty()) {
            report.Add("udev", title, CheckResult::Ok, Joined(rules, ", ") + " names vendor 09fb");
            return;
        }
        report.Add("udev", title, CheckResult::Fail,
                   "no rule for the USB-Blaster (vendor 09fb) in " + RuleFolders() +
                       ": add one as the README's \"Using a real board\" shows, then sudo udevadm control "
                       "--reload-rules && sudo udevadm trigger, and plug the cable in again");
    }

    void Cables(int32_t board) {
        const char* title = "the cables";
        if (!serverAnswered) {
            report.Add("cables", title, CheckResult::Skip, "no answer from the JTAG server");
            return;
        }
        const std::vector<ListedCable> cables = ParseCables(listing);
        if (cables.empty()) {
            report.Add("cables", title, CheckResult::Fail,
                       "jtagconfig lists none: plug the USB-Blaster in (see the USB-Blaster and udev checks)");
            return;
        }
        std::vector<std::string> lines;
        for (const ListedCable& cable : cables)
            lines.push_back(CableLine(cable));
        const std::string listed = "jtagconfig lists " + Joined(lines, "; ");
        if (!targetChosen) {
            report.Add("cables", title, CheckResult::Fail, listed + "; " + targetProblem);
            return;
        }
        const ListedCable* chosen = nullptr;
        for (const ListedCable& cable : cables) {
            if (cable.number == target.cable || cable.name == target.cable)
                chosen = &cable;
        }
        const std::string whose = "board " + std::to_string(board) + "'s " + hardware::CableText(target.cable);
        if (chosen == nullptr) {
            report.Add("cables", title, CheckResult::Fail,
                       listed + "; " + whose + " is not among them: plug it in, or set " +
                           (board == 0 ? std::string("QX7MB_CABLE") : "QX7MB_CABLE_" + std::to_string(board)) +
                           " to one of them as jtagconfig prints it");
        } else if (chosen->devices.empty()) {
            report.Add("cables", title, CheckResult::Fail,
                       listed + "; " + whose +
                           " reaches no device: switch the board's power on and put the cable in its JTAG socket");
        } else {
            report.Add("cables", title, CheckResult::Ok, listed + "; " + whose + " is there, with a device");
        }
    }

    void Uart() {
        const char* title = "the board's JTAG UART";
        if (!atlantic.IsLoaded()) {
            report.Add("uart", title, CheckResult::Skip, "Quartus's JTAG libraries did not load");
            return;
        }
        if (!targetChosen) {
            uart = UartState::Refused;
            report.Add("uart", title, CheckResult::Fail, targetProblem);
            return;
        }
        hardware::FailureCapture capture;
        std::unique_ptr<hardware::AtlanticLink> link = hardware::AtlanticLink::Open(atlantic, target);
        std::string description;
        if (link && link->Describe(description)) {
            uart = UartState::Open;
            report.Add("uart", title, CheckResult::Ok, description + " opens");
            return;
        }
        const char* info = nullptr;
        if (!link && atlantic.jtagatlantic_get_error(&info) == JTAL_NO_UART) {
            // A board just switched on: the FPGA runs no design until it is configured.
            uart = UartState::NoDesign;
            report.Add("uart", title, CheckResult::Ok,
                       hardware::CableText(target.cable) +
                           " reaches the FPGA, which has no JTAG UART yet: it does not run the control-panel design "
                           "(the panel configures it when it connects)");
            return;
        }
        uart = UartState::Refused;
        report.Add("uart", title, CheckResult::Fail, Joined(capture.lines, "; "));
    }

    void Bitstream() {
        const char* title = "the bitstream";
        const std::string path = platform::ProgramFolder() + CONTROL_PANEL_BITSTREAM;
        if (!platform::FileExists(path)) {
            report.Add("bitstream", title, CheckResult::Fail,
                       "no " + std::string(CONTROL_PANEL_BITSTREAM) + " in " + platform::ProgramFolder() +
                           ": copy the board maker's control-panel bitstream there");
            return;
        }
        std::ifstream file(path, std::ios::binary | std::ios::ate);
        const std::streamoff size = file.tellg();
        char magic[sizeof vboard::Bitstream::MAGIC - 1] = {};
        file.seekg(0);
        file.read(magic, sizeof magic);
        if (size <= 0) {
            report.Add("bitstream", title, CheckResult::Fail,
                       path + " is empty: copy the board maker's bitstream over it");
            return;
        }
        if (std::memcmp(magic, vboard::Bitstream::MAGIC, sizeof magic) == 0) {
            report.Add("bitstream", title, CheckResult::Fail,
                       path +
                           " is the virtual board's bitstream, in our own format, which no FPGA takes: copy the "
                           "board maker's " +
                           CONTROL_PANEL_BITSTREAM + " over it");
            return;
        }
        hardware::FailureCapture capture;
        if (!hardware::QuartusProgrammer().Accepts(path)) {
            report.Add("bitstream", title, CheckResult::Fail, Joined(capture.lines, "; "));
            return;
        }
        report.Add("bitstream", title, CheckResult::Ok,
                   path + " (" + std::to_string(size) + " bytes, not the virtual board's format)");
    }

    void Firmware() {
        if (uart == UartState::Unchecked || uart == UartState::Refused) {
            report.Add("firmware", "the firmware", CheckResult::Skip, "the board's JTAG UART did not open");
            return;
        }
        CheckFirmware(session, report, uart == UartState::Open,
                      "the FPGA does not run the control-panel design yet: the panel configures it when it "
                      "connects; qx7mb doctor --configure configures it now and asks the firmware");
    }

    enum class UartState { Unchecked, Open, NoDesign, Refused };

    ToolSession& session;
    DoctorReport& report;
    hardware::JtagTarget target;
    bool targetChosen = false;
    std::string targetProblem;
    hardware::QuartusInstall jtagInstall;
    hardware::QuartusInstall toolInstall;
    bool jtagFound = false;
    bool toolsFound = false;
    hardware::JtagAtlanticLibrary atlantic;
    bool serverAnswered = false;
    std::string listing;
    UartState uart = UartState::Unchecked;
};

} // namespace

void CheckHardware(ToolSession& session, DoctorReport& report) {
    HardwareDoctor(session, report).Run();
}

} // namespace cli
