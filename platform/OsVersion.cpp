#include "platform/OsVersion.h"

namespace platform {

bool GetWindowsVersion(uint32_t&, uint32_t&) {
    return false;
}

} // namespace platform
