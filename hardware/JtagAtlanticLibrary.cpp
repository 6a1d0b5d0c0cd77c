#include "hardware/JtagAtlanticLibrary.h"

#include "hardware/JtagAtlanticSymbols.h"
#include "platform/Files.h"

namespace hardware {

namespace {

constexpr const char* CLIENT_FILE = "libjtag_client.so";
constexpr const char* ATLANTIC_FILE = "libjtag_atlantic.so";
constexpr auto FOR_GOOD = platform::DynamicLibrary::Lifetime::Process;

} // namespace

bool JtagAtlanticLibrary::Load(const QuartusInstall& install, std::string& problem) {
    if (IsLoaded())
        return true;
    const std::string folder = install.LibraryFolder();
    // libjtag_atlantic.so names libjtag_client.so as a dependency without a folder: loaded first by its
    // full path, it is the one that satisfies that, and nothing comes from the library search path.
    const std::string clientPath = folder + "/" + CLIENT_FILE;
    if (platform::FileExists(clientPath) && !client.IsLoaded() && !client.Load(clientPath, FOR_GOOD)) {
        problem = "cannot load " + clientPath + ": " + client.LoadError();
        return false;
    }
    const std::string path = folder + "/" + ATLANTIC_FILE;
    if (!platform::FileExists(path)) {
        problem = install.Missing(ATLANTIC_FILE, folder);
        return false;
    }
    if (!atlantic.Load(path, FOR_GOOD)) {
        problem = "cannot load " + path + ": " + atlantic.LoadError();
        return false;
    }

    std::string missing;
#define JTAGATLANTIC_LOOKUP(result, name, parameters)                                                                  \
    name = reinterpret_cast<decltype(name)>(atlantic.Symbol(JTAGATLANTIC_SYMBOL_##name));                              \
    if (name == nullptr)                                                                                               \
        missing += std::string(missing.empty() ? "" : ", ") + #name;
    JTAGATLANTIC_FUNCTIONS(JTAGATLANTIC_LOOKUP)
#undef JTAGATLANTIC_LOOKUP
    if (!missing.empty()) {
        problem = path + " lacks " + missing + " (not the JTAG UART library of a Quartus release)";
#define JTAGATLANTIC_FORGET(result, name, parameters) name = nullptr;
        JTAGATLANTIC_FUNCTIONS(JTAGATLANTIC_FORGET)
#undef JTAGATLANTIC_FORGET
        atlantic.Release();
        return false;
    }
    return true;
}

} // namespace hardware
