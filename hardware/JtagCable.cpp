#include "hardware/JtagCable.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>

namespace hardware {

std::string ChooseCable(int32_t deviceNumber) {
    if (deviceNumber < 0)
        return std::string();
    std::string named;
    if (platform::GetEnv("QX7MB_CABLE", named) && !named.empty())
        return named;
    return std::to_string(static_cast<int64_t>(deviceNumber) + 1);
}

std::string CableText(const std::string& cable) {
    const bool number =
        !cable.empty() && std::all_of(cable.begin(), cable.end(), [](unsigned char c) { return std::isdigit(c); });
    return number ? "cable " + cable : "cable \"" + cable + "\"";
}

} // namespace hardware
