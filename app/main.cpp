#include "app/PanelEntry.h"

int main(int argc, char** argv) {
    TPanelApplication application(argc, argv);
    InstallQtNotifications();
    return RunPanel();
}
