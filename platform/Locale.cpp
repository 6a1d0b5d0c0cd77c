#include "platform/Locale.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>
#include <string_view>

namespace platform {

namespace {
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Copies a run of digits from text[at] into plain; gives how many there were.
int TakeDigits(std::string_view text, size_t& at, std::string& plain) {
    int count = 0;
    while (at < text.size() && IsDigit(text[at])) {
        plain += text[at++];
        ++count;
    }
    return count;
}

// The fixed-point form of the significant digits (no sign, no trailing zeros) times 10^exponent.
std::string FixedForm(const std::string& digits, int exponent, const std::string& separator) {
    if (exponent < 0)
        return "0" + separator + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    const size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole)
        return digits + std::string(whole - digits.size(), '0');
    return digits.substr(0, whole) + separator + digits.substr(whole);
}
} // namespace

std::string DecimalSeparator() {
    const locale_t user = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
    if (user == static_cast<locale_t>(0))
        return ".";
    std::string separator = nl_langinfo_l(RADIXCHAR, user);
    freelocale(user);
    return separator.empty() ? std::string(".") : separator;
}

bool TextToFloat(const std::string& text, double& value) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return false;
    const std::string_view number(text.data() + first, text.find_last_not_of(" \t") - first + 1);
    const std::string separator = DecimalSeparator();

    // Rewritten with '.' for the locale-independent parser, once its form has been checked here.
    std::string plain;
    size_t at = 0;
    if (number[at] == '+' || number[at] == '-') {
        if (number[at] == '-')
            plain += '-';
        ++at;
    }
    int digits = TakeDigits(number, at, plain);
    if (number.substr(at).starts_with(separator)) {
        plain += '.';
        at += separator.size();
        digits += TakeDigits(number, at, plain);
    }
    if (digits == 0)
        return false;
    if (at < number.size() && (number[at] == 'e' || number[at] == 'E')) {
        plain += 'e';
        ++at;
        if (at < number.size() && (number[at] == '+' || number[at] == '-'))
            plain += number[at++];
        if (TakeDigits(number, at, plain) == 0)
            return false;
    }
    if (at != number.size())
        return false;

    double result = 0.0;
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), result);
    if (error != std::errc() || end != plain.data() + plain.size())
        return false;
    value = result;
    return true;
}

std::string FloatToText(double value) {
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0.0)
        return "0";

    // 15 significant digits, rounded once: "d.ddddddddddddddde±x".
    char buffer[40];
    const auto result =
        std::to_chars(buffer, buffer + sizeof(buffer), std::fabs(value), std::chars_format::scientific, 14);
    const std::string scientific(buffer, result.ptr);
    const auto e = scientific.find('e');
    std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
    digits.erase(digits.find_last_not_of('0') + 1);
    const int exponent = std::atoi(scientific.c_str() + e + 1);

    const std::string separator = DecimalSeparator();
    std::string text = value < 0 ? "-" : "";
    if (exponent >= 15 || exponent < -5) {
        text += digits.substr(0, 1);
        if (digits.size() > 1)
            text += separator + digits.substr(1);
        text += "E" + std::to_string(exponent);
    } else {
        text += FixedForm(digits, exponent, separator);
    }
    return text;
}

} // namespace platform
