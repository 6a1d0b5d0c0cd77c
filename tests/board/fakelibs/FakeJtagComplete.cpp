// A JTAG library with all five exports whose link never opens; it remembers where it was opened
// from, so tests can check the working folder at the time of the call.
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace {
char openFolder[4096];
int openCalls;
} // namespace

extern "C" {
uint32_t VELDARA_JtagOpen(int32_t, const char*) {
    ++openCalls;
    if (getcwd(openFolder, sizeof openFolder) == nullptr)
        openFolder[0] = '\0';
    return 0;
}
void VELDARA_JtagClose(uint32_t) {}
int32_t VELDARA_JtagWrite(uint32_t, const uint8_t*, uint32_t) {
    return 0;
}
int32_t VELDARA_JtagRead(uint32_t, uint8_t*, uint32_t) {
    return 0;
}
int32_t VELDARA_JtagGetInfo(uint32_t, uint8_t*) {
    return 0;
}

const char* FakeJtagOpenFolder() {
    return openFolder;
}
int FakeJtagOpenCalls() {
    return openCalls;
}
}
