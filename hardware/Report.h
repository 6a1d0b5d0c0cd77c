#pragma once

#include <string>

namespace hardware {

// Tells the user on standard error why an edition failed, in one line: "LIBRARY: text". The panel's
// own boxes stay as they are; this line is what explains them.
void ReportFailure(const char* library, const std::string& text);

} // namespace hardware
