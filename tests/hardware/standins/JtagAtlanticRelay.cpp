// The stand-in for Quartus's libjtag_atlantic.so, compiled from our header of its published
// interface: the JTAG UART's byte stream is relayed to the "jtag" socket of the virtual board in board
// 0's folder, and each open and close is recorded. As Quartus's library, it calls into
// libjtag_client.so without naming it as a dependency, refuses an open with the published error
// codes, sends written bytes without a flush, and its flush waits until the board has read them all.
// As on a real board, an FPGA that does not run the control-panel design has no JTAG UART to open.
// The switches of Switches.h make it fail as a real installation can.
#include "hardware/JtagAtlantic.h"
#include "tests/hardware/standins/JtagClient.h"
#include "tests/hardware/standins/Switches.h"
#include "vboard/BoardFolder.h"
#include "vboard/ControlClient.h"
#include "vboard/JtagConnect.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <linux/sockios.h>
#include <sstream>
#include <string>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

struct JTAGATLANTIC {
    int fd = -1;
    std::string chain;
    std::string appName;
    int device = 0;
    int instance = 0;
    uint64_t breakAfter = 0;
    uint64_t carried = 0;
    bool bytewise = false;
    unsigned int writeTake = 0;
};

namespace {

constexpr int CONTROL_LIMIT_MS = 5000;
// Where Quartus's flush would wait for good on a board that reads nothing, this one gives up, so
// that a test of a caller that flushes fails instead of hanging.
constexpr auto STALLED_FLUSH = std::chrono::seconds(30);

JATL_ERROR lastError = JTAL_SUCCESS;
std::string lastInfo;
// The program whose link was closed last, and how many more opens find the UART still its.
std::string lingering;
long lingerLeft = 0;

JTAGATLANTIC* Refuse(JATL_ERROR error, const std::string& info) {
    lastError = error;
    lastInfo = info;
    return nullptr;
}

// The board's state line; empty when no board server answers (a board switched off).
std::string BoardState() {
    vboard::ControlClient control;
    std::string reply;
    if (!control.Connect(vboard::DefaultBoardFolder()) || !control.Request("state", reply, CONTROL_LIMIT_MS))
        return std::string();
    return reply;
}

unsigned long Number(const char* name) {
    const std::string value = standin::Switch(name);
    return value.empty() ? 0 : std::stoul(value);
}

bool Broken(const JTAGATLANTIC* link) {
    return link->breakAfter != 0 && link->carried >= link->breakAfter;
}

bool Stalled() {
    return standin::Switch(standin::STALL) == "1";
}

// What the library names a cable given by its number.
std::string CableName(const std::string& chain) {
    const bool number = !chain.empty() && chain.find_first_not_of("0123456789") == std::string::npos;
    return number ? "USB-Blaster [" + chain + "]" : chain;
}

struct Uart {
    int device;
    int instance;
};

std::vector<Uart> ChainUarts() {
    std::string list = standin::Switch(standin::UARTS);
    if (list.empty())
        list = "1:0";
    std::vector<Uart> uarts;
    std::istringstream items(list);
    std::string item;
    while (std::getline(items, item, ','))
        uarts.push_back({std::stoi(item.substr(0, item.find(':'))), std::stoi(item.substr(item.find(':') + 1))});
    return uarts;
}

// The error an open is refused with by the switches, before the board is asked.
bool SwitchedRefusal() {
    const std::string code = standin::Switch(standin::OPEN_ERROR);
    if (aji_get_hardware() != 0) {
        Refuse(JTAL_NO_SERVER, "");
        return true;
    }
    if (!code.empty()) {
        const std::size_t colon = code.find(':');
        Refuse(static_cast<JATL_ERROR>(std::stoi(code.substr(0, colon))),
               colon == std::string::npos ? "" : code.substr(colon + 1));
        return true;
    }
    const std::string cable = standin::Switch(standin::CABLE);
    if (cable == "none") {
        Refuse(JTAL_CABLE_NOT_AVAILABLE, "");
        return true;
    }
    if (cable == "busy") {
        Refuse(JTAL_IN_USE, "nios2-terminal");
        return true;
    }
    if (lingerLeft > 0 && !standin::Switch(standin::LINGER).empty()) {
        --lingerLeft;
        Refuse(JTAL_IN_USE, lingering);
        return true;
    }
    return false;
}

} // namespace

JTAGATLANTIC* jtagatlantic_open(const char* chain, int device_index, int link_instance, const char* app_name) {
    standin::Record(std::string("open\t") + (chain != nullptr ? chain : "(null)") + "\t" +
                    std::to_string(device_index) + "\t" + std::to_string(link_instance) + "\t" +
                    (app_name != nullptr ? app_name : "(null)"));
    if (SwitchedRefusal())
        return nullptr;
    const std::string state = BoardState();
    if (state.empty())
        return Refuse(JTAL_NO_BOARD, "");
    if (state.find(" design=QX7MB_ControlPanel ") == std::string::npos)
        return Refuse(JTAL_NO_UART, "");
    if (const long late = standin::ReadCount("late"); late > 0) {
        standin::WriteCount("late", late - 1);
        return Refuse(JTAL_NO_UART, "");
    }
    std::vector<Uart> matching;
    for (const Uart& uart : ChainUarts()) {
        if ((device_index == -1 || uart.device == device_index) &&
            (link_instance == -1 || uart.instance == link_instance))
            matching.push_back(uart);
    }
    if (matching.empty())
        return Refuse(JTAL_NO_UART, "");
    if (matching.size() > 1)
        return Refuse(JTAL_UART_NOT_UNIQUE, "");
    // The virtual board takes one link at a time, as the JTAG UART does.
    vboard::JtagConnectResult result = vboard::JtagConnectResult::NoBoard;
    const int fd = vboard::ConnectJtag(vboard::DefaultBoardFolder(), CONTROL_LIMIT_MS, result);
    if (result == vboard::JtagConnectResult::InUse)
        return Refuse(JTAL_IN_USE, "another program");
    if (fd < 0)
        return Refuse(JTAL_NO_BOARD, "");
    auto* link = new JTAGATLANTIC;
    link->fd = fd;
    link->chain = CableName(chain != nullptr ? chain : "1");
    link->appName = app_name != nullptr ? app_name : "";
    link->device = matching[0].device;
    link->instance = matching[0].instance;
    link->breakAfter = Number(standin::BREAK_AFTER);
    link->bytewise = standin::Switch(standin::BYTEWISE) == "1";
    link->writeTake = static_cast<unsigned int>(Number(standin::WRITE_TAKE));
    lastError = JTAL_SUCCESS;
    return link;
}

JATL_ERROR jtagatlantic_get_error(const char** other_info) {
    if (other_info != nullptr)
        *other_info = lastInfo.c_str();
    return lastError;
}

void jtagatlantic_close(JTAGATLANTIC* link) {
    standin::Record("close");
    if (link == nullptr)
        return;
    lingering = link->appName;
    lingerLeft = static_cast<long>(Number(standin::LINGER));
    close(link->fd);
    delete link;
}

int jtagatlantic_write(JTAGATLANTIC* link, const char* data, unsigned int count) {
    if (Broken(link))
        return -1;
    if (Stalled())
        return 0;
    const unsigned int offered = link->writeTake != 0 ? std::min(count, link->writeTake) : count;
    const ssize_t n = send(link->fd, data, offered, MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
    link->carried += static_cast<uint64_t>(n);
    return static_cast<int>(n);
}

int jtagatlantic_flush(JTAGATLANTIC* link) {
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        if (Broken(link))
            return -1;
        int unread = 0;
        if (ioctl(link->fd, SIOCOUTQ, &unread) != 0)
            return -1;
        if (unread == 0 && !Stalled())
            return 0;
        if (std::chrono::steady_clock::now() - start > STALLED_FLUSH)
            return 0;
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

int jtagatlantic_read(JTAGATLANTIC* link, char* buffer, unsigned int buffsize) {
    if (Broken(link))
        return -1;
    const ssize_t n = recv(link->fd, buffer, link->bytewise ? std::min(buffsize, 1u) : buffsize, MSG_DONTWAIT);
    if (n == 0 && buffsize != 0)
        return -1; // the board server closed the link
    if (n < 0)
        return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
    link->carried += static_cast<uint64_t>(n);
    return static_cast<int>(n);
}

int jtagatlantic_bytes_available(JTAGATLANTIC* link) {
    int available = 0;
    return ioctl(link->fd, FIONREAD, &available) == 0 ? available : -1;
}

void jtagatlantic_get_info(JTAGATLANTIC* link, const char** chain, int* device_index, int* link_instance) {
    if (chain != nullptr)
        *chain = link->chain.c_str();
    if (device_index != nullptr)
        *device_index = link->device;
    if (link_instance != nullptr)
        *link_instance = link->instance;
}
