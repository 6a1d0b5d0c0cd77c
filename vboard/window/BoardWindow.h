#pragma once

#include "vboard/ControlProtocol.h"
#include "vboard/VirtualBoard.h"
#include "vboard/window/TrafficMeter.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QTimer>
#include <atomic>
#include <string>

class QAction;
class QActionGroup;
class QMenu;

namespace vboard {

class BoardView;

// The virtual board's window: the board view, a menu for the SD card slot, one for the fault switches
// and one for the board itself. Every change it makes goes through the control protocol, so it means
// exactly what the same line on the control socket means. It follows changes made elsewhere through
// the board's listeners, which post a refresh to the window's thread; it takes the board's lock only
// to copy a snapshot, so the link thread is never held up by the window.
class BoardWindow : public QMainWindow {
    Q_OBJECT

public:
    BoardWindow(VirtualBoard& board, const QString& folder, QWidget* parent = nullptr);
    ~BoardWindow() override;
    BoardWindow(const BoardWindow&) = delete;
    BoardWindow& operator=(const BoardWindow&) = delete;

    BoardView* View() const { return view; }
    QMenu* SdMenu() const { return sdMenu; }
    QMenu* FaultMenu() const { return faultMenu; }

    // Updates the view and the menus from the board now.
    void Refresh();

private:
    void Control(const std::string& line);
    void BuildBoardMenu();
    void BuildSdMenu();
    void BuildFaultMenu();
    void AddFaultAction(const QString& text, const std::string& line);
    void AskBoardName(bool on);
    void SampleTraffic();

    VirtualBoard& board;
    ControlProtocol protocol;
    BoardView* view = nullptr;
    QMenu* sdMenu = nullptr;
    QMenu* faultMenu = nullptr;
    QActionGroup* sdGroup = nullptr;
    QActionGroup* delayGroup = nullptr;
    QAction* nameAction = nullptr;
    QAction* silentAction = nullptr;
    QAction* vgaProbeAction = nullptr;
    TrafficMeter meter;
    QElapsedTimer clock;
    QTimer trafficTimer;
    std::atomic<bool> refreshPosted = false;
    int listenerId = -1;
};

} // namespace vboard
