#pragma once

#include <QApplication>

// The single-instance name of the panel.
inline constexpr const char* INSTANCE_NAME = "VELDARA_Zqi_150_CONTROL_PANEL";

// The program's body on an application that exists: the single-instance check, the main window and
// its event loop, the error box for an error that escapes them, and the release of the lock. The
// result is the exit code, 0 in every case.
int RunPanel();

// Routes the lower layers' boxes and beeps to Qt: a modal box with one OK, and the system's beep.
void InstallQtNotifications();

// The application of the program: an error that escapes an event handler is shown in the error box
// and ends the event loop, as one that escapes the window's construction ends the start-up.
class TPanelApplication : public QApplication {
    Q_OBJECT
public:
    TPanelApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};
