// The stand-in for Quartus's JTAG server jtagd, as far as the doctor's look at it goes: a program that
// needs libudev.so.0, the name older Quartus releases were built against, which newer systems lack.
#include "tests/hardware/standins/Udev.h"

int main() {
    return udev_new() == nullptr ? 0 : 1;
}
