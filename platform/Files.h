#pragma once

#include <string>

namespace platform {

// The folder of the running program with a trailing '/': where the maker's libraries, the
// bitstream and "system.log" live.
std::string ProgramFolder();
// Tests point the program's folder at a folder of their own (a library with a missing export,
// say); an empty text restores the real one.
void SetProgramFolder(const std::string& folder);

std::string GetWorkingFolder();
bool SetWorkingFolder(const std::string& folder);
bool FolderExists(const std::string& path);
// Whether this process may create files in the folder (an existing folder, writable, searchable).
bool FolderWritable(const std::string& path);
// The folder where this user's programs keep state that outlives a run: $XDG_STATE_HOME, else
// ~/.local/state; empty when neither is known. No trailing '/'.
std::string UserStateFolder();
bool FileExists(const std::string& path);
// The user's home folder: $HOME, else the user database's; empty when neither is known.
std::string HomeFolder();
// A path of the system's own folders (/opt, /sys, /dev, /etc/udev, ...) as this process reads it: the
// path itself, or under $QX7MB_SYSTEM_ROOT when that is set, so that tests can make a
// system of their own.
std::string SystemPath(const std::string& path);

// The value of an environment variable, read whole; false when it is not set.
bool GetEnv(const std::string& name, std::string& value);

} // namespace platform
