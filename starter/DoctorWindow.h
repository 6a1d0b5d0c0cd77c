#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace starter {

// The small window of the real board's start from the menu: what the doctor found, the failing checks
// marked, with "Start anyway" (accepts) and "Quit" (rejects).
class DoctorWindow : public QDialog {
    Q_OBJECT
public:
    explicit DoctorWindow(const std::vector<std::string>& lines, QWidget* parent = nullptr);

    QPlainTextEdit* Lines() const { return lines; }
    QPushButton* StartAnyway() const { return startAnyway; }
    QPushButton* Quit() const { return quit; }

private:
    QPlainTextEdit* lines;
    QPushButton* startAnyway;
    QPushButton* quit;
};

} // namespace starter
