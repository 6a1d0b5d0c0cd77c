#include "shell/Unitprogress.h"

#include "shell/DialogServices.h"

#include <QCloseEvent>
#include <QEnterEvent>
#include <QEvent>
#include <QFont>
#include <QMouseEvent>

// A caption and nothing else on the title bar: no close, minimise or maximise button, no system menu.
TFormProgress::TFormProgress(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
    setWindowTitle("Progress");
    setFixedSize(348, 152);
    setMouseTracking(true);

    LabelStatus = new QLabel(this);
    LabelStatus->setGeometry(24, 16, 305, 49);
    QFont font("MS Sans Serif");
    font.setPixelSize(13);
    font.setBold(true);
    LabelStatus->setFont(font);
    // One line, cut at the label's edge: a long text shows its beginning.
    LabelStatus->setWordWrap(false);
    LabelStatus->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LabelStatus->setMinimumSize(305, 49);
    LabelStatus->setMaximumSize(305, 49);
    LabelStatus->setMouseTracking(true);

    ProgressBar = new QProgressBar(this);
    ProgressBar->setGeometry(24, 72, 300, 25);
    ProgressBar->setRange(0, 100);
    ProgressBar->setValue(0);
    ProgressBar->setMouseTracking(true);

    ButtonAbort = new QPushButton("Abort", this);
    ButtonAbort->setGeometry(136, 112, 75, 25);
    ButtonAbort->setAutoDefault(false);
    ButtonAbort->setMouseTracking(true);
    connect(ButtonAbort, &QPushButton::clicked, this, [this] { ButtonAbortClick(); });

    for (QWidget* watched : {static_cast<QWidget*>(this), static_cast<QWidget*>(LabelStatus),
                             static_cast<QWidget*>(ProgressBar), static_cast<QWidget*>(ButtonAbort)})
        watched->installEventFilter(this);
}

void TFormProgress::SetStatusText(const QString& text) {
    LabelStatus->setText(text);
    repaint();
}

void TFormProgress::SetPercent(int percent) {
    ProgressBar->setValue(percent);
}

void TFormProgress::ButtonAbortClick() {
    m_bAborted = true;
}

void TFormProgress::reject() {
    ButtonAbortClick();
}

void TFormProgress::closeEvent(QCloseEvent* event) {
    // Hiding the dialog would leave the transfer running with no way to stop it.
    event->ignore();
    ButtonAbortClick();
}

void TFormProgress::showEvent(QShowEvent* event) {
    LabelStatus->clear();
    ProgressBar->setValue(0);
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }
    QDialog::showEvent(event);
}

bool TFormProgress::eventFilter(QObject* watched, QEvent* event) {
    // A move that the button ignores reaches the dialog as well; the pointer's place decides.
    QPointF at;
    if (event->type() == QEvent::MouseMove)
        at = static_cast<QMouseEvent*>(event)->position();
    else if (event->type() == QEvent::Enter)
        at = static_cast<QEnterEvent*>(event)->position();
    else
        return QDialog::eventFilter(watched, event);
    const QPoint inDialog = static_cast<QWidget*>(watched)->mapTo(this, at.toPoint());
    Dialogs().SetCursor(ButtonAbort->geometry().contains(inDialog) ? Qt::PointingHandCursor : Qt::WaitCursor);
    return QDialog::eventFilter(watched, event);
}
