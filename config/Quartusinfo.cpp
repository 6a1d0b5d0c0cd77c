#include "config/Quartusinfo.h"

#include "config/Download.h"
#include "config/IniFile.h"
#include "platform/Files.h"
#include "platform/Locale.h"
#include "platform/OsVersion.h"
#include "platform/Registry.h"

#include <filesystem>
#include <initializer_list>
#include <system_error>

namespace {

const char* QUARTUS_KEY = "SOFTWARE\\Altera Corporation\\Quartus";
const char* QUARTUS_VERSION_VALUE = "Quartus Version";
// The 64-bit reader's buffer, terminating zero included.
constexpr size_t VERSION_BUFFER_SIZE = 256;

std::string Environment(const char* name) {
    std::string value;
    platform::GetEnv(name, value);
    return value;
}

std::string FirstExistingFolder(std::initializer_list<const char*> suffixes) {
    const std::string root = GetQuartusRootDir();
    if (root.empty())
        return std::string();
    for (const char* suffix : suffixes) {
        if (platform::FolderExists(root + suffix))
            return root + suffix;
    }
    return std::string();
}

} // namespace

std::string OsKindName(OsKind kind) {
    switch (kind) {
    case OS_WIN2000:
        return "WIN2000";
    case OS_XP:
        return "XP";
    case OS_VISTA:
        return "VISTA";
    case OS_WIN7:
        return "Win7";
    case OS_WIN8:
        return "Win8";
    case OS_UNKNOWN:
        break;
    }
    return "Unknown OS";
}

OsKind OsKindOfWindowsVersion(uint32_t major, uint32_t minor) {
    if (major == 5 && minor == 0)
        return OS_WIN2000;
    if (major == 5 && (minor == 1 || minor == 2))
        return OS_XP;
    if (major == 6 && minor == 0)
        return OS_VISTA;
    if (major == 6 && minor == 1)
        return OS_WIN7;
    if (major == 6 && (minor == 2 || minor == 3))
        return OS_WIN8;
    return OS_UNKNOWN;
}

OsKind GetOsKind() {
    uint32_t major = 0;
    uint32_t minor = 0;
    if (!platform::GetWindowsVersion(major, minor))
        return OS_UNKNOWN;
    return OsKindOfWindowsVersion(major, minor);
}

double ReadQuartusVersion32() {
    std::string text;
    double version = 0.0;
    if (platform::ReadLocalMachineString(platform::RegistryView::Default, QUARTUS_KEY, QUARTUS_VERSION_VALUE, text))
        platform::TextToFloat(text, version);
    return version;
}

double ReadQuartusVersion64() {
    std::string text;
    double version = 0.0;
    if (platform::ReadLocalMachineString(platform::RegistryView::View64, QUARTUS_KEY, QUARTUS_VERSION_VALUE, text) &&
        text.size() < VERSION_BUFFER_SIZE)
        platform::TextToFloat(text, version);
    return version;
}

std::string GetQuartusRootDir() {
    return Environment("QUARTUS_ROOTDIR");
}

std::string GetNiosKitDir() {
    return Environment("SOPC_KIT_NIOS2");
}

std::string GetQuartusBin64Dir() {
    return FirstExistingFolder({"/bin64"});
}

std::string GetQuartusBin32Dir() {
    return FirstExistingFolder({"/bin32", "/bin"});
}

std::string GetQuartusBinDir() {
    return FirstExistingFolder({"/bin64", "/bin32", "/bin"});
}

namespace {

// An installed program's folder (PREFIX/lib/qx7mb/ and its hardware/) belongs to the package: nothing
// written there, even by root, would go when the package goes.
bool InstalledProgramFolder(const std::string& folder) {
    const std::string installed = "/" QX7MB_INSTALL_PROGRAMS "/";
    for (const std::string& end : {installed, installed + "hardware/"}) {
        if (folder.size() >= end.size() && folder.compare(folder.size() - end.size(), end.size(), end) == 0)
            return true;
    }
    return false;
}

} // namespace

std::string SystemInfoFolder() {
    const std::string program = platform::ProgramFolder();
    if (platform::FolderWritable(program) && !InstalledProgramFolder(program))
        return program;
    const std::string state = platform::UserStateFolder();
    if (state.empty())
        return program;
    const std::string folder = state + "/qx7mb";
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder + "/";
}

void WriteSystemInfo(const std::string& fileName) {
    double libraryVersion = 0.0;
    {
        TDownload download;
        libraryVersion = download.GetQuatusVersion();
    }
    const std::string os = OsKindName(GetOsKind());
    const std::string qsysRoot = Environment("QSYS_ROOTDIR");

    IniFile file(SystemInfoFolder() + fileName);
    const char* section = "System";
    file.WriteFloat(section, "Quartus Version(x32 Registry)", ReadQuartusVersion32());
    file.WriteFloat(section, "Quartus Version(x64 Registry)", ReadQuartusVersion64());
    file.WriteFloat(section, "Quartus Version(VELDARA_DOWNLOAD.DLL)", libraryVersion);
    file.WriteString(section, "OS", os);
    file.WriteString(section, "QUARTUS_ROOTDIR", GetQuartusRootDir());
    file.WriteString(section, "SOPC_KIT_NIOS2", GetNiosKitDir());
    file.WriteString(section, "QuartusBin64", GetQuartusBin64Dir());
    file.WriteString(section, "QuartusBin32", GetQuartusBin32Dir());
    file.WriteString(section, "QuartusBin", GetQuartusBinDir());
    file.WriteString(section, "QSYS_ROOTDIR", qsysRoot);
}
