// A library named as libudev once was, libudev.so.0, for the jtagd stand-in to need.
#include "tests/hardware/standins/Udev.h"

extern "C" __attribute__((visibility("default"))) void* udev_new() {
    return nullptr;
}
