#pragma once

#include <string>

namespace platform {

// A shared library loaded by its full path and released on destruction.
class DynamicLibrary {
public:
    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool Load(const std::string& path);
    void Release();
    bool IsLoaded() const { return handle != nullptr; }
    // The address of an export, or null when the library lacks it or is not loaded.
    void* Symbol(const char* name) const;

private:
    void* handle = nullptr;
};

} // namespace platform
