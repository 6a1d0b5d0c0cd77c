#pragma once

#include <Qt>

namespace skin {

// The application's mouse cursor, shown over all of the program's windows, in two layers. The skinned
// button groups set the lower one as the pointer moves: the hand over a button, the default elsewhere.
// Work in progress sets an override (the hourglass, the progress dialog's hand), which wins over the
// groups' cursor until it is cleared. With neither, each widget shows its own cursor (an edit's
// I-beam, the hand over the main window's background).
void SetApplicationCursor(Qt::CursorShape shape);
// Qt::ArrowCursor clears the override.
void SetOverrideCursor(Qt::CursorShape shape);

} // namespace skin
