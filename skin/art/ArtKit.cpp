#include "ArtKit.h"

#include <QFont>
#include <QFontMetrics>

namespace art {

QImage NewPicture(int width, int height, const QColor& fill) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(fill);
    return picture;
}

void Smooth(QPainter& painter) {
    painter.setRenderHint(QPainter::Antialiasing, true);
}

QImage StackFaces(int width, int faceHeight, const QColor& ground,
                  const std::function<void(QPainter&, int face)>& draw) {
    QImage picture = NewPicture(width, faceHeight * 4, ground);
    for (int face = 0; face < 4; ++face) {
        QPainter painter(&picture);
        painter.setClipRect(0, face * faceHeight, width, faceHeight);
        painter.translate(0, face * faceHeight);
        Smooth(painter);
        draw(painter, face);
    }
    return picture;
}

void MarkTransparent(QImage& picture) {
    // The key is the corner's own colour one step off in blue, so that the picture looks the same where
    // it is shown without transparency; any other pixel of that colour is moved one step the other way.
    const QRgb corner = picture.pixel(0, picture.height() - 1);
    const int blue = qBlue(corner) < 255 ? qBlue(corner) + 1 : 254;
    const QRgb key = qRgb(qRed(corner), qGreen(corner), blue);
    const QRgb other = qRgb(qRed(corner), qGreen(corner), blue > qBlue(corner) ? qBlue(corner) : blue + 1);
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key) {
                line[x] = other;
            }
        }
    }
    picture.setPixel(0, picture.height() - 1, key);
}

void Bevel(QPainter& painter, const QRect& rect, const QColor& fill, bool raised) {
    painter.fillRect(rect, fill);
    const QColor light = fill.lighter(160);
    const QColor dark = fill.darker(220);
    painter.setPen(raised ? light : dark);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(raised ? dark : light);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void Well(QPainter& painter, const QRect& rect, const QColor& fill) {
    painter.fillRect(rect, fill);
    painter.setPen(palette::EDGE_DARK);
    painter.drawLine(rect.topLeft(), rect.topRight());
    painter.drawLine(rect.topLeft(), rect.bottomLeft());
    painter.setPen(palette::EDGE_LIGHT);
    painter.drawLine(rect.bottomLeft(), rect.bottomRight());
    painter.drawLine(rect.topRight(), rect.bottomRight());
}

void GroupFrame(QPainter& painter, const QRect& rect, int titleWidth) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QColor(60, 72, 92));
    painter.drawRoundedRect(rect, 4, 4);
    if (titleWidth > 0) {
        painter.fillRect(QRect(rect.left() + 4, rect.top() - 1, titleWidth, 3), palette::PANEL);
    }
    painter.setPen(palette::TITLE.darker(250));
    painter.drawLine(rect.left() + 4 + titleWidth + 2, rect.top(), rect.left() + 4 + titleWidth + 40, rect.top());
    painter.restore();
}

void Text(QPainter& painter, int x, int y, const QString& text, const QString& family, int pixels, const QColor& colour,
          bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    painter.save();
    painter.setFont(font);
    painter.setPen(colour);
    painter.drawText(x, y + QFontMetrics(font).ascent(), text);
    painter.restore();
}

double Noise::Next() {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / static_cast<double>(1u << 24);
}

} // namespace art
