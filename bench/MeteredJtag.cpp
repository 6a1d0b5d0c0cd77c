#include "bench/MeteredJtag.h"

#include "platform/Files.h"

namespace {

const TJtagApi* library = nullptr;
uint64_t writes = 0;
MeteredJtag::Clock::duration drainTime{};

uint32_t Open(int32_t index, const char* name) {
    return library->open(index, name);
}
void Close(uint32_t handle) {
    library->close(handle);
}
int32_t Write(uint32_t handle, const uint8_t* bytes, uint32_t count) {
    ++writes;
    return library->write(handle, bytes, count);
}
// Only the drain reads one byte at a time.
int32_t Read(uint32_t handle, uint8_t* buffer, uint32_t count) {
    if (count != 1)
        return library->read(handle, buffer, count);
    const auto start = MeteredJtag::Clock::now();
    const int32_t got = library->read(handle, buffer, count);
    drainTime += MeteredJtag::Clock::now() - start;
    return got;
}
int32_t GetInfo(uint32_t handle, uint8_t* info) {
    return library->getInfo(handle, info);
}

} // namespace

bool MeteredJtag::Load(std::string& error) {
    return Load(platform::ProgramFolder() + JTAG_LIBRARY_NAME, error);
}

bool MeteredJtag::Load(const std::string& path, std::string& error) {
    if (!dll.Load(path) || !LookUpJtagApi(dll, api)) {
        error = "cannot load " + path;
        return false;
    }
    Select();
    return true;
}

void MeteredJtag::Select() const {
    library = &api;
}

TJtagApi MeteredJtag::Api() {
    return {Open, Close, Write, Read, GetInfo};
}

void MeteredJtag::Reset() {
    writes = 0;
    drainTime = {};
}

uint64_t MeteredJtag::Exchanges() {
    return writes;
}

MeteredJtag::Clock::duration MeteredJtag::DrainTime() {
    return drainTime;
}
