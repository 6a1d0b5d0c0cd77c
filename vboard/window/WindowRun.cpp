#include "vboard/window/WindowRun.h"

#include "vboard/window/BoardWindow.h"

#include <QApplication>
#include <QFont>
#include <atomic>
#include <cstdlib>
#include <pthread.h>
#include <thread>

namespace vboard {

bool DisplayAvailable() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && value[0] != '\0')
            return true;
    }
    return false;
}

int RunBoardWindow(int& argc, char** argv, VirtualBoard& board, const std::string& folder,
                   const sigset_t& stopSignals) {
    QApplication app(argc, argv);
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    BoardWindow window(board, QString::fromStdString(folder));
    window.show();

    // The signals stay blocked everywhere; this thread takes them and asks the event loop to end.
    std::atomic<bool> waiting = true;
    std::thread waiter([&] {
        int received = 0;
        while (sigwait(&stopSignals, &received) != 0) {
        }
        waiting = false;
        QMetaObject::invokeMethod(&app, &QCoreApplication::quit, Qt::QueuedConnection);
    });
    const int code = app.exec();
    if (waiting)
        pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return code;
}

} // namespace vboard
