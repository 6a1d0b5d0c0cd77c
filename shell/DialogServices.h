#pragma once

#include <QString>
#include <Qt>

// The file dialogs and the cursor of the pages and the main window. The program uses Qt's; tests
// install a scripted recorder. Message boxes go through platform::ShowMessage, as for the lower layers.
class TDialogServices {
public:
    virtual ~TDialogServices() = default;

    // filter in the form "All files (*.*)|*.*|Hex files (*.HEX)|*.hex"; false when cancelled.
    virtual bool OpenFile(const QString& filter, const QString& defaultExt, QString& path) = 0;
    // The save dialog replaces an existing file without asking.
    virtual bool SaveFile(const QString& filter, const QString& defaultExt, QString& path) = 0;
    // The application-wide cursor: Qt::ArrowCursor (default), Qt::WaitCursor (hourglass),
    // Qt::PointingHandCursor. It overrides the cursor that the skinned button groups set until the
    // default is set again.
    virtual void SetCursor(Qt::CursorShape shape) = 0;
};

// The services in use; Qt's until others are installed. SetDialogs(nullptr) restores Qt's.
TDialogServices& Dialogs();
void SetDialogs(TDialogServices* services);
