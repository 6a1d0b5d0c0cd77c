#include "shell/QtDialogServices.h"
#include "skin/ApplicationCursor.h"

#include <QApplication>
#include <QFileDialog>
#include <QRegularExpression>
#include <QStringList>

namespace {

TDialogServices*& Installed() {
    static TDialogServices* services = nullptr;
    return services;
}

QStringList PatternsOf(const QString& patterns) {
    QStringList result;
    for (const QString& raw : patterns.split(';', Qt::SkipEmptyParts)) {
        const QString pattern = raw.trimmed();
        if (pattern.isEmpty())
            continue;
        if (pattern == "*.*" || pattern == "*") {
            result.append("*");
            continue;
        }
        for (const QString& variant : {pattern, pattern.toLower(), pattern.toUpper()}) {
            if (!result.contains(variant))
                result.append(variant);
        }
    }
    return result;
}

bool RunFileDialog(QFileDialog::AcceptMode mode, const QString& filter, const QString& defaultExt, QString& path) {
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (mode == QFileDialog::AcceptSave)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QtFileFilter(filter));
    dialog.setDefaultSuffix(defaultExt);
    if (!path.isEmpty())
        dialog.selectFile(path);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    path = dialog.selectedFiles().first();
    return true;
}

} // namespace

QString QtFileFilter(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        // The description may name its patterns in parentheses already; Qt reads the patterns from
        // there, so the pattern half of the pair takes their place.
        QString description = parts[i];
        description.remove(QRegularExpression(R"(\s*\([^()]*\)\s*$)"));
        const QStringList patterns = PatternsOf(parts[i + 1]);
        if (patterns.isEmpty())
            continue;
        entries.append(description.trimmed() + " (" + patterns.join(' ') + ")");
    }
    return entries.join(";;");
}

bool TQtDialogServices::OpenFile(const QString& filter, const QString& defaultExt, QString& path) {
    return RunFileDialog(QFileDialog::AcceptOpen, filter, defaultExt, path);
}

bool TQtDialogServices::SaveFile(const QString& filter, const QString& defaultExt, QString& path) {
    return RunFileDialog(QFileDialog::AcceptSave, filter, defaultExt, path);
}

void TQtDialogServices::SetCursor(Qt::CursorShape shape) {
    skin::SetOverrideCursor(shape);
}

TDialogServices& Dialogs() {
    static TQtDialogServices qtServices;
    TDialogServices* installed = Installed();
    return installed != nullptr ? *installed : qtServices;
}

void SetDialogs(TDialogServices* services) {
    Installed() = services;
}
