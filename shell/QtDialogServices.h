#pragma once

#include "shell/DialogServices.h"

#include <QString>

// The program's dialog services: Qt's file dialogs, and the application's cursor as an override that
// wins over the skinned button groups' cursor.
class TQtDialogServices : public TDialogServices {
public:
    bool OpenFile(const QString& filter, const QString& defaultExt, QString& path) override;
    bool SaveFile(const QString& filter, const QString& defaultExt, QString& path) override;
    void SetCursor(Qt::CursorShape shape) override;
};

// Turns a filter of description and pattern pairs separated by '|' ("All files (*.*)|*.*|Hex files
// (*.HEX)|*.hex") into Qt's form ("All files (*);;Hex files (*.hex *.HEX)"). "*.*" means every file,
// also one without a dot, and an extension matches in either case, as file names do where these
// filters come from.
QString QtFileFilter(const QString& filter);
