#include "hardware/JtagCable.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <charconv>

extern char** environ;

namespace hardware {

namespace {

constexpr const char* BOARD_CABLE_PREFIX = "QX7MB_CABLE_";

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

// A whole decimal number, no sign, no spaces.
bool ParseNumber(const std::string& text, int64_t& number) {
    if (!AllDigits(text))
        return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

// The setting that names board N's own cable.
std::string CableSetting(int64_t board) {
    return board == 0 ? "QX7MB_CABLE" : BOARD_CABLE_PREFIX + std::to_string(board);
}

// The cable board N's own setting names; empty when it names none.
std::string NamedCable(int64_t board) {
    std::string value;
    return platform::GetEnv(CableSetting(board), value) ? value : std::string();
}

// Another board than N that the cable belongs to, by a setting of its own or by its number; -1 when
// none does. Why, in words, goes into how.
int64_t OtherBoardOfCable(int64_t board, const std::string& cable, std::string& how) {
    if (board != 0 && !NamedCable(0).empty() && NamedCable(0) == cable) {
        how = "QX7MB_CABLE names it";
        return 0;
    }
    const std::string prefix = BOARD_CABLE_PREFIX;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const std::size_t equals = text.find('=');
        int64_t other = -1;
        if (text.rfind(prefix, 0) != 0 || equals == std::string::npos ||
            !ParseNumber(text.substr(prefix.size(), equals - prefix.size()), other))
            continue;
        if (other != 0 && other != board && text.substr(equals + 1) == cable) {
            how = text.substr(0, equals) + " names it";
            return other;
        }
    }
    int64_t number = 0;
    if (ParseNumber(cable, number) && number >= 1 && number - 1 != board && NamedCable(number - 1).empty()) {
        how = "by its number";
        return number - 1;
    }
    return -1;
}

// A number setting of at least `least`; false with the problem when it is set to anything else.
bool ReadSetting(const char* name, int least, int& value, std::string& problem) {
    std::string text;
    value = -1;
    if (!platform::GetEnv(name, text) || text.empty())
        return true;
    int64_t number = 0;
    if (!ParseNumber(text, number) || number < least || number > INT32_MAX) {
        problem = std::string(name) + "=" + text + " is no " + (least == 1 ? "device" : "instance") +
                  " number: the devices of a JTAG chain are 1, 2, ... as jtagconfig lists them, the JTAG UARTs of a "
                  "device 0, 1, ...";
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

} // namespace

bool ChooseTarget(int32_t deviceNumber, JtagTarget& target, std::string& problem) {
    target = JtagTarget{};
    if (deviceNumber < 0) {
        problem = "no board has the device number " + std::to_string(deviceNumber);
        return false;
    }
    const int64_t board = deviceNumber;
    target.cable = NamedCable(board);
    if (target.cable.empty())
        target.cable = std::to_string(board + 1);
    std::string how;
    const int64_t other = OtherBoardOfCable(board, target.cable, how);
    if (other >= 0) {
        problem = "board " + std::to_string(board) + " would be reached on " + CableText(target.cable) +
                  ", which is board " + std::to_string(other) + "'s (" + how + "): set " + CableSetting(board) +
                  " to board " + std::to_string(board) + "'s own cable as jtagconfig prints it";
        return false;
    }
    return ReadSetting("QX7MB_JTAG_DEVICE", 1, target.device, problem) &&
           ReadSetting("QX7MB_JTAG_INSTANCE", 0, target.instance, problem);
}

std::string CableText(const std::string& cable) {
    return AllDigits(cable) ? "cable " + cable : "cable \"" + cable + "\"";
}

} // namespace hardware
