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
    const std::string path = folder + "/" + ATLANTIC_FILE;
    if (!platform::FileExists(path)) {
        problem = install.Missing(ATLANTIC_FILE, folder);
        return false;
    }
    // libjtag_atlantic.so calls into libjtag_client.so without naming it as a dependency: the client
    // library is loaded first, by its full path, with its symbols made global for the other to use.
    const std::string clientPath = folder + "/" + CLIENT_FILE;
    if (!platform::FileExists(clientPath)) {
        problem = install.Missing(CLIENT_FILE, folder);
        return false;
    }
    if (!client.IsLoaded() && !client.Load(clientPath, FOR_GOOD, platform::DynamicLibrary::Symbols::Global)) {
        problem = "cannot load " + clientPath + ": " + client.LoadError();
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
