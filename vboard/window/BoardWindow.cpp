#include "vboard/window/BoardWindow.h"

#include "vboard/window/BoardView.h"

#include <QActionGroup>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace vboard {

namespace {

struct Choice {
    const char* text;
    const char* line;
};

const Choice SD_CHOICES[] = {
    {"No card", "none"},
    {"SDSC card, 2 GB, FAT16", "sdsc"},
    {"SDHC card, 8 GB, FAT32", "sdhc"},
    {"Unformatted SDHC card", "unformatted"},
};

const uint32_t DELAYS_MS[] = {0, 200, 1000, 5000, 15000};

// The fault switches that are on, in words; the one-shot faults show until the reply they spoil.
QStringList FaultWords(const Faults& faults) {
    QStringList words;
    if (faults.nameOverride)
        words << QStringLiteral("answers the name \"%1\"").arg(QString::fromStdString(faults.name));
    if (faults.silent)
        words << QStringLiteral("answers nothing");
    if (faults.delayMs != 0)
        words << QStringLiteral("replies %1 ms late").arg(faults.delayMs);
    if (faults.wrongChecksum)
        words << QStringLiteral("wrong checksum next");
    if (faults.wrongEcho)
        words << QStringLiteral("wrong command code next");
    if (faults.floodBytes != 0)
        words << QStringLiteral("%1 stale bytes next").arg(faults.floodBytes);
    if (faults.refuseVgaProbe)
        words << QStringLiteral("refuses the VGA probe");
    if (faults.sdram.stuckDataBit >= 0)
        words << QStringLiteral("SDRAM data bit %1 stuck at %2")
                     .arg(faults.sdram.stuckDataBit)
                     .arg(faults.sdram.stuckHigh ? 1 : 0);
    if (faults.sdram.ignoredAddressBit >= 0)
        words << QStringLiteral("SDRAM address bit %1 ignored").arg(faults.sdram.ignoredAddressBit);
    return words;
}

} // namespace

BoardWindow::BoardWindow(VirtualBoard& board, const QString& folder, QWidget* parent)
    : QMainWindow(parent), board(board), protocol(board), view(new BoardView(this)) {
    setWindowTitle(QStringLiteral("QX7-MB virtual board - %1").arg(folder));
    setCentralWidget(view);
    BuildBoardMenu();
    BuildSdMenu();
    BuildFaultMenu();
    faultLabel = new QLabel(this);
    statusBar()->addPermanentWidget(faultLabel);
    statusBar()->showMessage(QStringLiteral("Serving %1").arg(folder));

    connect(view, &BoardView::KeyChanged, this,
            [this](int index, bool down) { Control("key " + std::to_string(index) + (down ? " down" : " up")); });
    connect(view, &BoardView::SwitchClicked, this, [this](int index) {
        const bool on = (view->State().switches >> index) & 1;
        Control("switch " + std::to_string(index) + (on ? " off" : " on"));
    });
    connect(view, &BoardView::SdSlotClicked, this, [this](const QPoint& at) { sdMenu->popup(at); });

    // Listeners run on whichever thread changed the board; one posted refresh at a time is enough,
    // since it reads the whole state when it runs.
    listenerId = board.AddListener([this] {
        if (!refreshPosted.exchange(true))
            QMetaObject::invokeMethod(this, &BoardWindow::Refresh, Qt::QueuedConnection);
    });
    clock.start();
    meter.Sample(board.Snapshot().jtagBytes, 0);
    connect(&trafficTimer, &QTimer::timeout, this, &BoardWindow::SampleTraffic);
    trafficTimer.start(1000);
    Refresh();
}

BoardWindow::~BoardWindow() {
    board.RemoveListener(listenerId);
}

void BoardWindow::Refresh() {
    refreshPosted = false;
    const BoardSnapshot state = board.Snapshot();
    Faults faults;
    board.Inspect([&faults](const Firmware& firmware) { faults = firmware.faults; });
    view->SetState(state, meter.BytesPerSecond());

    const QList<QAction*> cards = sdGroup->actions();
    for (int i = 0; i < cards.size(); ++i)
        cards[i]->setChecked(state.sdProfile == SD_CHOICES[i].line);
    nameAction->setChecked(faults.nameOverride);
    silentAction->setChecked(faults.silent);
    vgaProbeAction->setChecked(faults.refuseVgaProbe);
    for (QAction* delay : delayGroup->actions())
        delay->setChecked(delay->data().toUInt() == faults.delayMs);
    const QStringList words = FaultWords(faults);
    faultLabel->setText(words.isEmpty() ? QStringLiteral("No faults")
                                        : QStringLiteral("Faults: %1").arg(words.join(QStringLiteral(", "))));
}

QString BoardWindow::FaultText() const {
    return faultLabel->text();
}

void BoardWindow::SampleTraffic() {
    meter.Sample(board.Snapshot().jtagBytes, clock.elapsed());
    // Also catches what changes without a word to the listeners: one-shot faults used up by a reply.
    Refresh();
}

void BoardWindow::Control(const std::string& line) {
    const std::string reply = protocol.Execute(line);
    statusBar()->showMessage(QString::fromStdString(line + ": " + reply));
    Refresh();
}

void BoardWindow::BuildBoardMenu() {
    QMenu* menu = menuBar()->addMenu(QStringLiteral("&Board"));
    menu->addAction(QStringLiteral("&Power cycle"), this, [this] { Control("reset"); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Quit"), this, &QWidget::close);
}

void BoardWindow::BuildSdMenu() {
    sdMenu = menuBar()->addMenu(QStringLiteral("&SD card"));
    sdGroup = new QActionGroup(this);
    for (const Choice& choice : SD_CHOICES) {
        QAction* action = sdMenu->addAction(QString::fromLatin1(choice.text));
        action->setCheckable(true);
        sdGroup->addAction(action);
        const std::string line = std::string("sd ") + choice.line;
        connect(action, &QAction::triggered, this, [this, line] { Control(line); });
    }
}

void BoardWindow::BuildFaultMenu() {
    faultMenu = menuBar()->addMenu(QStringLiteral("&Faults"));
    nameAction = faultMenu->addAction(QStringLiteral("Answer another board &name..."));
    nameAction->setCheckable(true);
    connect(nameAction, &QAction::triggered, this, &BoardWindow::AskBoardName);
    silentAction = faultMenu->addAction(QStringLiteral("Answer &nothing"));
    silentAction->setCheckable(true);
    connect(silentAction, &QAction::triggered, this,
            [this](bool on) { Control(on ? "fault silent on" : "fault silent off"); });

    QMenu* delays = faultMenu->addMenu(QStringLiteral("&Delay every reply"));
    delayGroup = new QActionGroup(this);
    for (const uint32_t ms : DELAYS_MS) {
        QAction* action = delays->addAction(ms == 0 ? QStringLiteral("No delay") : QStringLiteral("%1 ms").arg(ms));
        action->setCheckable(true);
        action->setData(ms);
        delayGroup->addAction(action);
        connect(action, &QAction::triggered, this, [this, ms] { Control("fault delay " + std::to_string(ms)); });
    }

    faultMenu->addSeparator();
    AddFaultAction(QStringLiteral("Wrong &checksum in the next reply"), "fault checksum");
    AddFaultAction(QStringLiteral("Wrong command &code in the next reply"), "fault echo");
    AddFaultAction(QStringLiteral("64 &stale bytes before the next reply"), "fault flood 64");
    vgaProbeAction = faultMenu->addAction(QStringLiteral("Refuse the &VGA output probe"));
    vgaProbeAction->setCheckable(true);
    connect(vgaProbeAction, &QAction::triggered, this,
            [this](bool on) { Control(on ? "fault vgaprobe on" : "fault vgaprobe off"); });
    faultMenu->addSeparator();
    AddFaultAction(QStringLiteral("D&rop the JTAG link"), "fault drop");
    AddFaultAction(QStringLiteral("C&lear every fault"), "fault clear");
}

void BoardWindow::AddFaultAction(const QString& text, const std::string& line) {
    QAction* action = faultMenu->addAction(text);
    connect(action, &QAction::triggered, this, [this, line] { Control(line); });
}

void BoardWindow::AskBoardName(bool on) {
    if (!on) {
        Control("fault name off");
        return;
    }
    bool accepted = false;
    const QString name = QInputDialog::getText(this, QStringLiteral("Board name"),
                                               QStringLiteral("Board name to answer (up to 32 characters):"),
                                               QLineEdit::Normal, QStringLiteral("TZ7"), &accepted);
    if (accepted && !name.isEmpty())
        Control("fault name " + name.left(32).toStdString());
    else
        Refresh();
}

} // namespace vboard
