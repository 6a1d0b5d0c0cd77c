#pragma once

#include <string>

// Numbers as the user writes them: the decimal separator comes from the user's locale settings (the
// environment's LC_ALL, LC_NUMERIC or LANG), as the panel reads and records version numbers with it.
namespace platform {

// The user's decimal separator; "." when the locale named by the environment is not installed.
std::string DecimalSeparator();

// Converts a whole text to a number with the user's decimal separator. Blanks around the number are
// allowed; anything else that is not part of the number (another separator, a thousands separator, a
// second number) makes the text not convert. False leaves the output alone.
bool TextToFloat(const std::string& text, double& value);

// The shortest general form with up to 15 significant digits and the user's decimal separator:
// "0", "13.1", "-0.5", "1E20", "1.5E-7" (scientific from 1E15 and below 0.00001).
std::string FloatToText(double value);

} // namespace platform
