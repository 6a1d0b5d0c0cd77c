#include "starter/DoctorWindow.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

namespace starter {

DoctorWindow::DoctorWindow(const std::vector<std::string>& found, QWidget* parent) : QDialog(parent) {
    setWindowTitle("QX7-MB Control Panel (real board)");
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel("The board cannot be reached yet. Each line is a check of \"qx7mb doctor\"; a line "
                             "starting with \"fail\" says what to do. Fix the first failing one, then start again.");
    intro->setWordWrap(true);
    layout->addWidget(intro);

    lines = new QPlainTextEdit;
    lines->setReadOnly(true);
    lines->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    lines->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // Plain text, so that the lines keep their columns; the failing ones bold and red.
    QTextCursor cursor(lines->document());
    for (const std::string& line : found) {
        QTextCharFormat format;
        if (line.rfind("fail", 0) == 0) {
            format.setForeground(QColor(0xC0, 0x00, 0x00));
            format.setFontWeight(QFont::Bold);
        }
        cursor.insertText(QString::fromStdString(line) + "\n", format);
    }
    lines->setMinimumSize(720, 300);
    layout->addWidget(lines);

    auto* buttons = new QDialogButtonBox;
    startAnyway = buttons->addButton("Start anyway", QDialogButtonBox::AcceptRole);
    quit = buttons->addButton("Quit", QDialogButtonBox::RejectRole);
    quit->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

} // namespace starter
