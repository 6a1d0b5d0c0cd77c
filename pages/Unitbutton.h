#pragma once

#include "pages/PageForm.h"

#include <QTimer>
#include <cstdint>

// The switches and keys page: while active it polls the four keys and ten switches ten times a second
// and draws each as a picture. It has no controls of its own.
class TFormButton : public TPageForm {
    Q_OBJECT
public:
    explicit TFormButton(QWidget* parent);

    void Activate(TBoard& board) override;
    void Deactivate() override;

    bool PollInputs();
    void TimerPollingTimer();

    QTimer* TimerPolling;
    // Bits 0 to 3 the keys, bits 4 to 13 the switches, as last read.
    uint32_t m_nInputs = 0;
    // The value the pictures were last redrawn for by a poll.
    uint32_t m_nDrawnInputs = 0;

    static constexpr int POLL_INTERVAL_MS = 100;

protected:
    void FormPaint() override;

private:
    void DrawInputs(skin::TCanvas& canvas);
};
