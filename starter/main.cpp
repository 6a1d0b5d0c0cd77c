// qx7mb-hardware-start: the real board's panel from the menu. Runs the doctor beside it first and, when
// a check fails, shows its lines in a window where the person may start the panel anyway or quit.
#include "platform/Files.h"
#include "starter/DoctorWindow.h"
#include "starter/HardwareStart.h"

#include <QApplication>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    starter::HardwareStart start;
    start.folder = platform::ProgramFolder();
    start.ask = [&argc, argv](const std::vector<std::string>& lines) {
        QApplication application(argc, argv);
        starter::DoctorWindow window(lines);
        return window.exec() == QDialog::Accepted;
    };
    start.startPanel = [](const std::string& panel) {
        char* const arguments[] = {const_cast<char*>(panel.c_str()), nullptr};
        execv(panel.c_str(), arguments);
        std::cerr << "qx7mb-hardware-start: cannot start " << panel << ": " << std::strerror(errno) << '\n';
        return 1;
    };
    return start.Run();
}
