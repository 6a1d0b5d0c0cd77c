#pragma once

#include <cstdint>
#include <string>

// What the panel can find out about the Quartus installation and the operating system, from the
// registry, the environment and the file system, and the system-information file that records it.
// Every lookup that fails gives 0.0 or the empty text; nothing here shows a message of its own.

enum OsKind { OS_WIN2000 = 0, OS_XP, OS_VISTA, OS_WIN7, OS_WIN8, OS_UNKNOWN };

// "WIN2000", "XP", "VISTA", "Win7", "Win8", "Unknown OS".
std::string OsKindName(OsKind kind);
// The kind of a Windows version (5.0 is OS_WIN2000, 6.1 OS_WIN7, ...).
OsKind OsKindOfWindowsVersion(uint32_t major, uint32_t minor);
OsKind GetOsKind();

// "Quartus Version" under HKEY_LOCAL_MACHINE\SOFTWARE\Altera Corporation\Quartus, converted with the
// user's decimal separator; 0.0 when absent or not a number. The 64-bit view reads at most 255
// characters and gives 0.0 for a longer value.
double ReadQuartusVersion32();
double ReadQuartusVersion64();

std::string GetQuartusRootDir(); // "QUARTUS_ROOTDIR"
std::string GetNiosKitDir();     // "SOPC_KIT_NIOS2"
// The first existing folder of root + "/bin64" (GetQuartusBin64Dir), root + "/bin32", root + "/bin"
// (GetQuartusBin32Dir) and all three in that order (GetQuartusBinDir). Empty when none exists, and
// always when the root is unset or empty: "/bin" alone is the system's own folder, not Quartus's.
std::string GetQuartusBin64Dir();
std::string GetQuartusBin32Dir();
std::string GetQuartusBinDir();

// The folder of the system-information file, with a trailing '/': the program's folder, or where
// that cannot be written or is an installed program's (PREFIX/lib/qx7mb/, also for root) qx7mb/ in
// the user's state folder, created when missing.
std::string SystemInfoFolder();

// Records the ten keys of section "System" in the INI file of that name in SystemInfoFolder(),
// replacing their old values and keeping everything else in the file. Loads the download library
// once for its version (so its boxes appear when it is missing). Throws std::runtime_error naming
// the file when it cannot be written.
void WriteSystemInfo(const std::string& fileName);
