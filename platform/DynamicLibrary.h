#pragma once

#include <string>

namespace platform {

// A shared library loaded by its full path and released on destruction.
class DynamicLibrary {
public:
    // How long the code stays mapped: until the library is released, or for the rest of the process
    // (for libraries that may start threads of their own, whose code must outlive any release).
    enum class Lifetime { UntilReleased, Process };
    // Whose symbols the library's may satisfy: its own dependencies' alone, or also those of libraries
    // loaded later (a library that calls into another without naming it as a dependency).
    enum class Symbols { Local, Global };

    DynamicLibrary() = default;
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    bool Load(const std::string& path, Lifetime lifetime = Lifetime::UntilReleased, Symbols symbols = Symbols::Local);
    void Release();
    bool IsLoaded() const { return handle != nullptr; }
    // The address of an export, or null when the library lacks it or is not loaded.
    void* Symbol(const char* name) const;
    // The loader's own words for why the last Load failed; empty after a success.
    const std::string& LoadError() const { return loadError; }

private:
    void* handle = nullptr;
    std::string loadError;
};

} // namespace platform
