#include "tests/support/DialogRecorder.h"

namespace testsupport {

DialogRecorder::DialogRecorder() {
    SetDialogs(this);
}

DialogRecorder::~DialogRecorder() {
    SetDialogs(nullptr);
}

bool DialogRecorder::Answer(std::deque<QString>& answers, QString& path) {
    if (answers.empty())
        return false;
    const QString answer = answers.front();
    answers.pop_front();
    if (answer.isEmpty())
        return false;
    path = answer;
    return true;
}

bool DialogRecorder::OpenFile(const QString& filter, const QString& defaultExt, QString& path) {
    dialogs.push_back({FileDialogKind::Open, filter, defaultExt});
    return Answer(openAnswers, path);
}

bool DialogRecorder::SaveFile(const QString& filter, const QString& defaultExt, QString& path) {
    dialogs.push_back({FileDialogKind::Save, filter, defaultExt});
    return Answer(saveAnswers, path);
}

} // namespace testsupport
