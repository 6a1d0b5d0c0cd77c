#pragma once

#include "shell/DialogServices.h"

#include <QString>
#include <deque>
#include <vector>

namespace testsupport {

enum class FileDialogKind { Open, Save };

struct RecordedFileDialog {
    FileDialogKind kind;
    QString filter;
    QString defaultExt;
};

// Stands in for the file dialogs and the cursor while it lives: every open or save dialog takes the
// next queued answer of its kind (none queued: the user cancels), and every call is recorded.
class DialogRecorder : public TDialogServices {
public:
    DialogRecorder();
    ~DialogRecorder() override;
    DialogRecorder(const DialogRecorder&) = delete;
    DialogRecorder& operator=(const DialogRecorder&) = delete;

    // The user picks this path.
    void QueueOpen(const QString& path) { openAnswers.push_back(path); }
    void QueueSave(const QString& path) { saveAnswers.push_back(path); }
    // The user cancels the next dialog of that kind.
    void QueueOpenCancel() { openAnswers.push_back(QString()); }
    void QueueSaveCancel() { saveAnswers.push_back(QString()); }

    bool OpenFile(const QString& filter, const QString& defaultExt, QString& path) override;
    bool SaveFile(const QString& filter, const QString& defaultExt, QString& path) override;
    void SetCursor(Qt::CursorShape shape) override { cursors.push_back(shape); }

    // The cursor set last; the arrow before any.
    Qt::CursorShape Cursor() const { return cursors.empty() ? Qt::ArrowCursor : cursors.back(); }

    std::vector<RecordedFileDialog> dialogs;
    std::vector<Qt::CursorShape> cursors;

private:
    static bool Answer(std::deque<QString>& answers, QString& path);

    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
};

} // namespace testsupport
