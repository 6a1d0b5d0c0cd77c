#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

namespace platform {

DynamicLibrary::~DynamicLibrary() {
    Release();
}

bool DynamicLibrary::Load(const std::string& path, Lifetime lifetime, Symbols symbols) {
    Release();
    const int flags = RTLD_NOW | (symbols == Symbols::Global ? RTLD_GLOBAL : RTLD_LOCAL) |
                      (lifetime == Lifetime::Process ? RTLD_NODELETE : 0);
    handle = dlopen(path.c_str(), flags);
    if (handle == nullptr) {
        const char* reason = dlerror();
        loadError = reason != nullptr ? reason : "cannot load " + path;
        return false;
    }
    loadError.clear();
    return true;
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
