#include "app/PanelEntry.h"

#include "app/UnitMain.h"
#include "platform/InstanceLock.h"
#include "platform/Notify.h"
#include "skin/SkinResources.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <exception>

namespace {

void ShowErrorBox(const char* text) {
    platform::ShowMessage(platform::MessageKind::Error, text);
}

void RunMainWindow() {
    TFormMain form;
    FormMain = &form;
    if (QScreen* screen = QGuiApplication::primaryScreen())
        form.move(screen->availableGeometry().center() - form.rect().center());
    form.show();
    QApplication::exec();
    FormMain = nullptr;
}

} // namespace

int RunPanel() {
    platform::InstanceLock instance;
    if (!instance.Acquire(INSTANCE_NAME)) {
        platform::ShowMessage(platform::MessageKind::Information, "The application is running.");
        return 0;
    }
    try {
        RunMainWindow();
    } catch (const std::exception& error) {
        FormMain = nullptr;
        ShowErrorBox(error.what());
    } catch (...) {
        FormMain = nullptr;
        ShowErrorBox("");
    }
    instance.Release();
    return 0;
}

void InstallQtNotifications() {
    platform::SetBeepHandler([] { QApplication::beep(); });
    platform::SetMessageHandler([](platform::MessageKind kind, const std::string& text) {
        QMessageBox::Icon icon = QMessageBox::Information;
        QString title = "Information";
        if (kind == platform::MessageKind::Warning) {
            icon = QMessageBox::Warning;
            title = "Warning";
        } else if (kind == platform::MessageKind::Error) {
            icon = QMessageBox::Critical;
            title = "Error";
        }
        QMessageBox box(icon, title, QString::fromStdString(text), QMessageBox::Ok, QApplication::activeWindow());
        box.exec();
    });
}

TPanelApplication::TPanelApplication(int& argc, char** argv) : QApplication(argc, argv) {
    // The desktop entry's name and icon, so that the window and its task bar button match the menu.
    setDesktopFileName(QStringLiteral("org.qx7mb.controlpanel"));
    setWindowIcon(skin::ProgramIcon());
}

bool TPanelApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowErrorBox(error.what());
    } catch (...) {
        ShowErrorBox("");
    }
    QCoreApplication::exit(0);
    return false;
}
