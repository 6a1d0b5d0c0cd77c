#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace platform {

DynamicLibrary::~DynamicLibrary() {
    Release();
}

bool DynamicLibrary::Load(const std::string& path) {
    Release();
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    return handle != nullptr;
}

void DynamicLibrary::Release() {
    if (handle != nullptr) {
        dlclose(handle);
        handle = nullptr;
    }
}

void* DynamicLibrary::Symbol(const char* name) const {
    return handle != nullptr ? dlsym(handle, name) : nullptr;
}

} // namespace platform
