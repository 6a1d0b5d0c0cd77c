#pragma once

// What the relay library uses of the client library: whether the JTAG server answers (0) or not (-1).
extern "C" int aji_get_hardware();
