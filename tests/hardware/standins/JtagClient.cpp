// The stand-in for Quartus's libjtag_client.so: the connection to the JTAG server. The relay library
// calls into it without naming it as a dependency, as Quartus's libjtag_atlantic.so does, so the relay
// loads only where this library was loaded first with its symbols made global.
#include "tests/hardware/standins/JtagClient.h"

#include "tests/hardware/standins/Switches.h"

extern "C" __attribute__((visibility("default"))) int aji_get_hardware() {
    return standin::Switch(standin::OPEN_ERROR) == "-1" ? -1 : 0;
}
