// The stand-in for Quartus's jtagconfig: lists the cables the JTAG server sees, each as
// "1) USB-Blaster [1-1.4]" followed by the devices of its chain, indented. The virtual board in board
// 0's folder is the board on cable 1: switched off (no board server), its chain cannot be read; its
// devices are those of the chain switch. Without a JTAG server, or without a cable, it says so and
// fails, as the real one does.
#include "tests/hardware/standins/Switches.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"

#include <cstdio>
#include <set>
#include <sstream>
#include <string>

namespace {

constexpr int CONTROL_LIMIT_MS = 5000;

} // namespace

int main() {
    standin::Record("jtagconfig");
    if (standin::Switch(standin::OPEN_ERROR) == "-1") {
        std::printf("Error when scanning hardware - Server error\n");
        return 1;
    }
    if (standin::Switch(standin::CABLE) == "none") {
        std::printf("No JTAG hardware available\n");
        return 1;
    }
    std::printf("1) USB-Blaster [1-1.4]\n");
    vboard::ControlClient control;
    std::string state;
    if (!control.Connect(vboard::DefaultBoardFolder()) || !control.Request("state", state, CONTROL_LIMIT_MS)) {
        std::printf("  Unable to read device chain - JTAG chain broken\n");
        return 0;
    }
    std::string uarts = standin::Switch(standin::UARTS);
    std::set<int> devices;
    std::istringstream items(uarts.empty() ? "1:0" : uarts);
    std::string item;
    while (std::getline(items, item, ','))
        devices.insert(std::stoi(item.substr(0, item.find(':'))));
    for (int device = 1; device <= *devices.rbegin(); ++device)
        std::printf("  020F30DD   EP4CE22\n");
    return 0;
}
