#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

// Fonts of the page controls are given in points at 96 dots per inch, as the skin's canvas measures
// them, so that controls and canvas text match on every screen.
QFont PageFont(const QString& family, int points);
// Sets a control's font and its text colour.
void SetControlLook(QWidget& control, const QFont& font, const QColor& textColour);
