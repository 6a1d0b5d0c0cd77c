#include "board/JtagApi.h"

#include "platform/DynamicLibrary.h"

namespace {

template <typename Fn> Fn Lookup(const platform::DynamicLibrary& library, const char* name) {
    return reinterpret_cast<Fn>(library.Symbol(name));
}

} // namespace

bool LookUpJtagApi(const platform::DynamicLibrary& library, TJtagApi& api) {
    api.open = Lookup<VELDARA_JtagOpen_t>(library, "VELDARA_JtagOpen");
    api.close = Lookup<VELDARA_JtagClose_t>(library, "VELDARA_JtagClose");
    api.write = Lookup<VELDARA_JtagWrite_t>(library, "VELDARA_JtagWrite");
    api.read = Lookup<VELDARA_JtagRead_t>(library, "VELDARA_JtagRead");
    api.getInfo = Lookup<VELDARA_JtagGetInfo_t>(library, "VELDARA_JtagGetInfo");
    return api.open && api.close && api.write && api.read && api.getInfo;
}
