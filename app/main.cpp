#include "app/PanelEntry.h"

#include <csignal>

int main(int argc, char** argv) {
    // A save over the file size limit, or into a pipe whose reader went away, fails with its box
    // instead of ending the panel.
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    TPanelApplication application(argc, argv);
    InstallQtNotifications();
    return RunPanel();
}
