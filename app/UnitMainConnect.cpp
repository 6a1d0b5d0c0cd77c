// The main window's side of the connection workflow: the connect button, and the status area, gauge
// and boxes that report each step of the core's workflow.
#include "app/UnitMain.h"
#include "pages/PageForm.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Notify.h"
#include "shell/DialogServices.h"
#include "shell/StatusInfo.h"

#include <QMetaObject>
#include <cmath>

namespace {

const char* const DEVICE_NAME = "EP3C120/EP4CE115";

void ErrorBox(const std::string& text) {
    platform::ShowMessage(platform::MessageKind::Error, text);
}

} // namespace

void TFormMain::ButtonConnectClick() {
    // A connect request that arrives while an attempt runs (from the event loop of one of its boxes)
    // would start a second attempt on the same link.
    if (m_bConnecting)
        return;
    EnableControls(false);
    Dialogs().SetCursor(Qt::WaitCursor);
    if (m_Board.IsConnected()) {
        DeactivateCurrentPage();
        ResetToDisconnected();
        ButtonConnect->setText("Connect");
        m_pWindowButtons->SetBitmap(ID_CONNECT, "CONNECT_BTN");
    } else {
        m_bConnecting = true;
        if (m_nCurrentPage != WELCOME_PAGE)
            m_pTabButtons->SetChecked(m_nCurrentPage, false);
        SwitchPage(WELCOME_PAGE);
        const bool ok = ConnectBoard();
        m_bConnecting = false;
        if (ok) {
            m_pTabButtons->SetChecked(0, true);
            SwitchPage(0);
        } else {
            ShowWelcome(true);
        }
    }
    Dialogs().SetCursor(Qt::ArrowCursor);
    EnableControls(true);
}

bool TFormMain::ConnectBoard() {
    EnableControls(false);
    Dialogs().SetCursor(Qt::WaitCursor);
    SetConnectStatus(QString(), statuscolour::YELLOW);
    StartProgress(static_cast<uint32_t>(std::trunc(m_fTimeScale * 5000)), 0, 5);
    // The workflow's own texts go to boxes and the status area on the way.
    std::string ignored;
    const bool ok = ConnectionWorkflow(m_Board, 0, *this).Connect(true, ignored);
    if (!ok) {
        m_strDevice.clear();
        SetConnectStatus("Disconnected", statuscolour::RED);
    }
    StopProgress();
    if (ok)
        SetStatusInfo(QString(), statuscolour::YELLOW);
    ButtonConnect->setText(ok ? "Disconnect" : "Connect");
    m_pWindowButtons->SetBitmap(ID_CONNECT, ok ? "DISCONNECT_BTN" : "CONNECT_BTN");
    Dialogs().SetCursor(Qt::ArrowCursor);
    EnableControls(true);
    return ok;
}

void TFormMain::Status(const std::string& text, Tone tone) {
    const QColor colour = tone == Tone::Good  ? statuscolour::GREEN
                          : tone == Tone::Bad ? statuscolour::RED
                                              : statuscolour::YELLOW;
    SetStatusInfo(QString::fromStdString(text), colour);
}

void TFormMain::Detecting() {
    if (m_strDevice.empty())
        m_strDevice = DEVICE_NAME;
}

void TFormMain::Probed(bool ok, const std::string& error, bool lastTry) {
    if (ok) {
        SetConnectStatus("Connected", statuscolour::GREEN);
        ButtonConnect->setText("Disconnect");
        m_pWindowButtons->SetBitmap(ID_CONNECT, "DISCONNECT_BTN");
    } else {
        SetStatusInfo(QString::fromStdString(error), statuscolour::RED);
        if (lastTry)
            ErrorBox(error);
    }
}

void TFormMain::ConfigureBegins() {
    platform::SetWorkingFolder(platform::ProgramFolder());
}

void TFormMain::DownloadBegins() {
    SetConnectStatus("Disconnected", statuscolour::RED);
    StartProgress(static_cast<uint32_t>(std::trunc(m_fTimeScale * 10000)), 5, 95);
}

void TFormMain::ConfigureFailed(const std::string& error) {
    HoldProgress();
    ErrorBox(error);
}

void TFormMain::ResetToDisconnected() {
    m_Board.Disconnect();
    m_strDevice.clear();
    ButtonConnect->setText("Connect");
    m_pWindowButtons->SetBitmap(ID_CONNECT, "CONNECT_BTN");
    SetStatusInfo(QString(), statuscolour::YELLOW);
    SetConnectStatus("Disconnected", statuscolour::RED);
    EnableControls(false);
    m_pWindowButtons->SetEnabled(ID_CLOSE, true);
    ButtonConnect->setEnabled(true);
    m_pWindowButtons->SetEnabled(ID_CONNECT, true);
}

void TFormMain::DeactivateCurrentPage() {
    if (m_nCurrentPage != WELCOME_PAGE)
        NotifyPage(m_nCurrentPage, false);
    SetStatusInfo(QString(), statuscolour::YELLOW);
}

void TFormMain::HandleBoardError(TPageForm*) {
    ResetToDisconnected();
    SetConnectStatus("Disconnected", statuscolour::RED);
}

void TFormMain::EnableControls(bool enabled) {
    ButtonConnect->setEnabled(enabled);
    m_pWindowButtons->SetEnabled(ID_CONNECT, enabled);
    m_pWindowButtons->SetEnabled(ID_CLOSE, enabled);
    for (int i = 0; i < PAGE_COUNT; ++i)
        m_pTabButtons->SetEnabled(i, enabled);
}

void TFormMain::SetStatusInfo(const QString& text, const QColor& colour) {
    ImageInfo->setVisible(!text.isEmpty());
    LabelInfo->setVisible(true);
    QFont font = LabelInfo->font();
    font.setFamily("Arial");
    LabelInfo->setFont(font);
    QPalette palette = LabelInfo->palette();
    palette.setColor(QPalette::WindowText, colour);
    LabelInfo->setPalette(palette);
    LabelInfo->setText(text);
    // The callers go on blocking the event loop; the line must show now.
    LabelInfo->repaint();
}

void TFormMain::SetConnectStatus(const QString& text, const QColor& colour) {
    QPalette palette = LabelConnectStatus->palette();
    palette.setColor(QPalette::WindowText, colour);
    LabelConnectStatus->setPalette(palette);
    LabelConnectStatus->setText(text);
}

void TFormMain::StartProgress(uint32_t duration, int32_t from, int32_t to) {
    m_nProgressFrom = from;
    m_nProgressTo = to;
    m_nProgressDuration = duration;
    m_nProgressStart = platform::GetTickCount();
    SetStatusInfo(QString(), statuscolour::YELLOW);
    CGaugeConfig->setValue(0);
    CGaugeConfig->show();
    CGaugeConfig->raise();
    TimerProgress->stop();
    TimerProgress->setInterval(static_cast<int>(duration / 100));
    TimerProgress->start();
}

void TFormMain::HoldProgress() {
    TimerProgress->stop();
}

void TFormMain::StopProgress() {
    TimerProgress->stop();
    CGaugeConfig->hide();
}

void TFormMain::TimerRunTimer() {
    TimerRun->stop();
    QMetaObject::invokeMethod(
        this, [this] { ButtonConnectClick(); }, Qt::QueuedConnection);
}

void TFormMain::TimerProgressTimer() {
    TimerProgress->stop();
    const uint32_t elapsed = platform::GetTickCount() - m_nProgressStart;
    const int64_t span = static_cast<int64_t>(m_nProgressTo) - m_nProgressFrom;
    // An estimate of no length is at its end at once.
    int32_t value = m_nProgressTo;
    if (m_nProgressDuration != 0)
        value = static_cast<int32_t>(static_cast<int64_t>(elapsed) * span / static_cast<int64_t>(m_nProgressDuration) +
                                     m_nProgressFrom);
    if (value > m_nProgressTo)
        value = m_nProgressTo;
    CGaugeConfig->setValue(value);
    TimerProgress->start();
}
