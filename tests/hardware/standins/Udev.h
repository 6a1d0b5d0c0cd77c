#pragma once

// What the jtagd stand-in uses of libudev.
extern "C" void* udev_new();
