#pragma once

#include <string>

namespace platform {

// Linux has no registry: values under HKEY_LOCAL_MACHINE live in a registry file in INI syntax,
// one section per key path ("[HKEY_LOCAL_MACHINE\SOFTWARE\Altera Corporation\Quartus]"). The file is
// named by QX7MB_REGISTRY, else /etc/qx7mb/registry.ini.
enum class RegistryView { Default, View64 };

// True when the platform has a registry of its own (Windows); the registry file stands in here.
bool HasNativeRegistry();

std::string RegistryFilePath();

// Reads a text value of a key under HKEY_LOCAL_MACHINE. Key paths and value names match ignoring
// case. Both views read the same section, as the default view of a 64-bit program is the 64-bit
// view. A missing file, key or value gives false and leaves the output alone.
bool ReadLocalMachineString(RegistryView view, const std::string& keyPath, const std::string& valueName,
                            std::string& value);

} // namespace platform
