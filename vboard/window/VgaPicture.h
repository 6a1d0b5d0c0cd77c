#pragma once

#include <QPainter>
#include <QRect>
#include <QString>

namespace vboard {

// Paints what the board's VGA connector puts out for a test pattern (0 to 8, as the panel numbers
// them) into the rectangle; any other value paints the monitor's "No signal" screen.
void DrawVgaPicture(QPainter& painter, const QRect& screen, int pattern);

// The pattern's name as the panel lists it ("Color Scale", "Red", ...); empty for no pattern.
QString VgaPatternName(int pattern);

} // namespace vboard
