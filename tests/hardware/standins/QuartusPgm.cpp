// The stand-in for Quartus's quartus_pgm: records its arguments and configures the virtual board in
// board 0's folder through its control socket, printing what the real programmer prints in the cases
// the tests need. Understands "--version" and "-c CABLE -m JTAG -o p;FILE[@DEVICE]", where DEVICE is
// the device of the chain (1 is the first), a device with a JTAG UART of the chain switch.
#include "tests/hardware/standins/Switches.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int CONTROL_LIMIT_MS = 20000;

int Fail(const std::string& error) {
    std::printf("Info: Running Quartus Prime Programmer\n%s\n"
                "Error: Quartus Prime Programmer was unsuccessful. 1 error, 0 warnings\n",
                error.c_str());
    return 3;
}

// Never ends, nor does the process it starts: both only end when killed.
[[noreturn]] void Hang() {
    const pid_t helper = fork();
    if (helper == 0) {
        for (;;)
            pause();
    }
    standin::Record("hanging\t" + std::to_string(getpid()) + "\t" + std::to_string(helper > 0 ? helper : getpid()));
    std::printf("Info: Started Programmer operation\n");
    std::fflush(stdout);
    for (;;)
        pause();
}

// Whether the chain switch names a JTAG UART of the device.
bool ChainHasDevice(const std::string& device) {
    std::string uarts = standin::Switch(standin::UARTS);
    if (uarts.empty())
        uarts = "1:0";
    return ("," + uarts).find("," + device + ":") != std::string::npos;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string line = "quartus_pgm";
    for (const std::string& argument : arguments)
        line += "\t" + argument;
    standin::Record(line);

    if (arguments == std::vector<std::string>{"--version"}) {
        std::printf("Quartus Prime Programmer\n");
        const std::string version = standin::Switch(standin::VERSION);
        if (!version.empty())
            std::printf("Version %s Build 100 01/01/2024 SC Standard Edition\n", version.c_str());
        std::printf("Copyright (C) 2024 Stand-in. All rights reserved.\n");
        return 0;
    }
    if (arguments.size() != 6 || arguments[0] != "-c" || arguments[2] != "-m" || arguments[3] != "JTAG" ||
        arguments[4] != "-o" || arguments[5].rfind("p;", 0) != 0)
        return Fail("Error (213008): Programming option string is illegal");

    const std::string mode = standin::Switch(standin::PROGRAMMER);
    if (mode == "hang")
        Hang();
    if (mode == "fail" || standin::Switch(standin::CABLE) == "none")
        return Fail(standin::NO_CABLE_LINE);

    std::string file = arguments[5].substr(2);
    if (const std::size_t at = file.rfind('@'); at != std::string::npos) {
        if (!ChainHasDevice(file.substr(at + 1)))
            return Fail("Error (213019): Can't scan JTAG chain. Device " + file.substr(at + 1) + " not found");
        file.erase(at);
    }
    vboard::ControlClient control;
    std::string reply;
    if (!control.Connect(vboard::DefaultBoardFolder()) ||
        !control.Request("configure " + file, reply, CONTROL_LIMIT_MS))
        return Fail("Error (209040): Can't access JTAG chain");
    if (reply.rfind("ok configured", 0) != 0)
        return Fail("Error (209012): Operation failed: " + reply);
    standin::WriteCount("late", static_cast<long>(std::stoul("0" + standin::Switch(standin::UART_LATE))));
    std::printf("Info (209060): Started Programmer operation\nInfo (209011): Successfully performed operation(s)\n"
                "Info: Quartus Prime Programmer was successful. 0 errors, 0 warnings\n");
    return 0;
}
