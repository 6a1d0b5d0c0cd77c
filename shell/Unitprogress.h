#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

// The progress dialog of a long memory transfer: a status text, a percent bar and Abort. The caller
// shows it without making it modal and lets the event loop run between chunks, so that the bar is
// repainted and an Abort press is seen. Abort is the only way out: Escape and a close request from the
// window manager count as a press of it, and the dialog stays until the caller destroys it.
class TFormProgress : public QDialog {
    Q_OBJECT
public:
    explicit TFormProgress(QWidget* owner);

    void SetStatusText(const QString& text);
    void SetPercent(int percent);
    bool IsAborted() const { return m_bAborted; }
    void ButtonAbortClick();
    // Escape: Abort, the dialog staying open.
    void reject() override;

    QLabel* LabelStatus;
    QProgressBar* ProgressBar;
    QPushButton* ButtonAbort;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool m_bAborted = false;
};
