#pragma once

#include <string>
#include <vector>

namespace cli {

// The USB-Blaster family's vendor and products (USB-Blaster, its variants, USB-Blaster II).
constexpr const char* BLASTER_VENDOR = "09fb";
constexpr const char* BLASTER_PRODUCTS[] = {"6001", "6002", "6003", "6010", "6810"};

// A USB-Blaster on the USB bus, as /sys describes it.
struct UsbBlaster {
    std::string product;
    // Its device node, /dev/bus/usb/BBB/DDD.
    std::string node;
    bool nodeExists = false;
    // This user may read and write the node (its mode, owner, group and access lists allow it).
    bool mayOpen = false;
    // "crw-rw-r-- root:plugdev", for a user who may not.
    std::string access;
};

// The USB-Blasters in /sys/bus/usb/devices, in the order of their bus and device numbers. Paths are
// read through platform::SystemPath, so that tests can give a system of their own.
std::vector<UsbBlaster> FindUsbBlasters();

// The udev rules files of /etc/udev/rules.d, /lib/udev/rules.d and /usr/lib/udev/rules.d with a rule
// (a line that is no comment) for vendor 09fb.
std::vector<std::string> FindBlasterRules();
// Those three folders, as a user reads them.
std::string RuleFolders();

} // namespace cli
