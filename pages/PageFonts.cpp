#include "pages/PageFonts.h"

#include "skin/Canvas.h"

#include <QPalette>
#include <QWidget>

QFont PageFont(const QString& family, int points) {
    QFont font(family);
    font.setPixelSize(skin::PointsToPixels(points));
    return font;
}

void SetControlLook(QWidget& control, const QFont& font, const QColor& textColour) {
    control.setFont(font);
    QPalette palette = control.palette();
    palette.setColor(QPalette::WindowText, textColour);
    palette.setColor(QPalette::Text, textColour);
    palette.setColor(QPalette::ButtonText, textColour);
    control.setPalette(palette);
}
