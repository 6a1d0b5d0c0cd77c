#pragma once

#include <functional>
#include <string>
#include <vector>

namespace starter {

// How the real board's panel starts from the menu, where nobody sees standard error: "qx7mb doctor
// --configure" of the program folder first; when it finds everything in order, the panel at once;
// otherwise its lines (and what the editions said on standard error) go to the person, who may start
// the panel anyway or quit.
struct HardwareStart {
    // The program folder, with a trailing '/': the doctor and the panel beside each other.
    std::string folder;
    // Shows the doctor's lines; true when the person chose to start the panel anyway.
    std::function<bool(const std::vector<std::string>& lines)> ask;
    // Starts the panel (replacing this process); its return value is the exit code when it cannot.
    std::function<int(const std::string& panel)> startPanel;

    // The exit code: the panel's start's, or 1 when the person quit.
    int Run();
};

} // namespace starter
