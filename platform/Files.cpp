#include "platform/Files.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace fs = std::filesystem;

namespace {
std::string& ProgramFolderOverride() {
    static std::string folder;
    return folder;
}

std::string WithTrailingSlash(std::string folder) {
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}
} // namespace

std::string ProgramFolder() {
    if (!ProgramFolderOverride().empty())
        return ProgramFolderOverride();
    std::error_code error;
    const fs::path exe = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return WithTrailingSlash(GetWorkingFolder());
    return WithTrailingSlash(exe.parent_path().string());
}

void SetProgramFolder(const std::string& folder) {
    ProgramFolderOverride() = folder.empty() ? std::string() : WithTrailingSlash(folder);
}

std::string GetWorkingFolder() {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return error ? std::string() : current.string();
}

bool SetWorkingFolder(const std::string& folder) {
    std::error_code error;
    fs::current_path(folder, error);
    return !error;
}

bool FolderExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_directory(path, error);
}

bool FolderWritable(const std::string& path) {
    return FolderExists(path) && faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

std::string UserStateFolder() {
    std::string folder;
    // An empty or relative value is to be ignored, as the XDG base directory rules say.
    if (GetEnv("XDG_STATE_HOME", folder) && !folder.empty() && folder.front() == '/')
        return folder;
    const std::string home = HomeFolder();
    return home.empty() ? home : home + "/.local/state";
}

std::string HomeFolder() {
    std::string home;
    if (GetEnv("HOME", home) && !home.empty())
        return home;
    const passwd* user = getpwuid(getuid());
    return user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
}

std::string SystemPath(const std::string& path) {
    std::string root;
    if (!GetEnv("QX7MB_SYSTEM_ROOT", root) || root.empty())
        return path;
    return root + path;
}

bool FileExists(const std::string& path) {
    std::error_code error;
    return !path.empty() && fs::is_regular_file(path, error);
}

bool GetEnv(const std::string& name, std::string& value) {
    const char* text = std::getenv(name.c_str());
    if (text == nullptr)
        return false;
    value = text;
    return true;
}

} // namespace platform
