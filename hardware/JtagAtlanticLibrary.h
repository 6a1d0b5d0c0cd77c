#pragma once

#include "hardware/JtagAtlantic.h"
#include "hardware/QuartusInstall.h"
#include "platform/DynamicLibrary.h"

#include <string>

namespace hardware {

// Quartus's JTAG UART client library, loaded from an installation by its full path after the
// libjtag_client.so it calls into, and its functions looked up by their mangled names. Once loaded both stay for the
// rest of the process: the client library may run threads of its own.
class JtagAtlanticLibrary {
public:
    // Loads the library of this installation unless one is loaded already; false, with the reason in
    // the user's words, when the library is missing, cannot be loaded or lacks a function.
    bool Load(const QuartusInstall& install, std::string& problem);
    bool IsLoaded() const { return atlantic.IsLoaded(); }

    // The library's functions, named as the library names them; valid while it is loaded.
#define JTAGATLANTIC_ENTRY(result, name, parameters) decltype(&::name) name = nullptr;
    JTAGATLANTIC_FUNCTIONS(JTAGATLANTIC_ENTRY)
#undef JTAGATLANTIC_ENTRY

private:
    platform::DynamicLibrary client;
    platform::DynamicLibrary atlantic;
};

} // namespace hardware
