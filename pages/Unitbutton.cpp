#include "pages/Unitbutton.h"

#include "board/Protocol.h"
#include "shell/StatusInfo.h"

namespace {
enum PictureId { SW_UP = 1, SW_DOWN = 2, BUTTON_UP = 3, BUTTON_DOWN = 4 };
const QColor TITLE_COLOUR{0, 234, 255};
} // namespace

TFormButton::TFormButton(QWidget* parent) : TPageForm(parent, "BT_DLG_BK"), TimerPolling(new QTimer(this)) {
    m_pBitmaps->AddBitmap(SW_UP, "SW_UP", true);
    m_pBitmaps->AddBitmap(SW_DOWN, "SW_DOWN", true);
    m_pBitmaps->AddBitmap(BUTTON_UP, "BUTTON_UP", true);
    m_pBitmaps->AddBitmap(BUTTON_DOWN, "BUTTON_DOWN", true);
    TimerPolling->setInterval(POLL_INTERVAL_MS);
    TimerPolling->setSingleShot(false);
    connect(TimerPolling, &QTimer::timeout, this, &TFormButton::TimerPollingTimer);
}

void TFormButton::Activate(TBoard& board) {
    ShowStatusInfo(QString(), statuscolour::GREEN);
    m_pBoard = &board;
    if (board.IsConnected()) {
        TimerPolling->stop();
        TimerPolling->setInterval(POLL_INTERVAL_MS);
        TimerPolling->start();
        ShowStatusInfo("Monitor Switches and Pushbuttons...", statuscolour::YELLOW);
    }
}

void TFormButton::Deactivate() {
    ShowStatusInfo(QString(), statuscolour::YELLOW);
    TimerPolling->stop();
    m_pBoard = nullptr;
}

bool TFormButton::PollInputs() {
    if (m_pBoard == nullptr)
        return false;
    std::lock_guard<std::recursive_mutex> guard(m_pBoard->lock);
    if (!m_pBoard->IsConnected())
        return false;
    uint32_t value = 0;
    if (!m_pBoard->ReadKeysAndSwitches(value))
        return false;
    m_nInputs = value;
    // Only a change is drawn, so an idle board costs no painting.
    if (m_nInputs != m_nDrawnInputs) {
        m_nDrawnInputs = m_nInputs;
        DrawInputs(*Canvas());
    }
    return true;
}

void TFormButton::TimerPollingTimer() {
    // The timer is off while polling, so the next poll starts one interval after this one ends.
    TimerPolling->stop();
    const bool ok = PollInputs();
    if (m_pBoard == nullptr)
        return;
    if (ok) {
        TimerPolling->setInterval(POLL_INTERVAL_MS);
        TimerPolling->start();
    } else {
        RaiseBoardError();
    }
}

void TFormButton::DrawInputs(skin::TCanvas& canvas) {
    canvas.SetFontName("Arial");
    canvas.SetFontSize(8);
    canvas.SetTextColor(Qt::white);
    canvas.SetBrushClear();
    for (int i = 0; i < KEY_COUNT; ++i) {
        const int left = 223 - 48 * i;
        const bool down = (m_nInputs & KeyBit(i)) != 0;
        m_pBitmaps->DrawBitmap(down ? BUTTON_DOWN : BUTTON_UP, left, 50, &canvas);
        const QString label = QString("KEY%1").arg(i);
        canvas.TextOut(left + 22 - canvas.TextWidth(label) / 2, 98, label);
    }
    for (int j = 0; j < SWITCH_COUNT; ++j) {
        const int left = 332 - 32 * j;
        const bool down = (m_nInputs & SwitchBit(j)) != 0;
        m_pBitmaps->DrawBitmap(down ? SW_DOWN : SW_UP, left, 190, &canvas);
        const QString label = QString("SW%1").arg(j);
        canvas.TextOut(left + 10 - canvas.TextWidth(label) / 2, 254, label);
    }
    canvas.SetFontSize(10);
    canvas.SetTextColor(TITLE_COLOUR);
    canvas.TextOut(20, 25, "Keys");
    canvas.TextOut(20, 165, "Switches");
}

void TFormButton::FormPaint() {
    m_pBitmaps->DrawBitmap(0, 0, 0);
    DrawInputs(*Canvas());
}
