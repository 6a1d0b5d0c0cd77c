#include "skin/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace skin {

namespace {

// The forms' own face has no font of its own here; it is measured and drawn as its metric twin.
void SubstituteFormFont() {
    static const bool done = [] {
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
        return true;
    }();
    (void)done;
}

} // namespace

int PointsToPixels(int points) {
    const int scaled = points * 96;
    return scaled >= 0 ? (scaled + 36) / 72 : -((-scaled + 36) / 72);
}

TCanvas::TCanvas(int width, int height) : image(width, height, QImage::Format_RGB32) {
    SubstituteFormFont();
    image.fill(Qt::black);
    font.setFamily(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(PointsToPixels(8));
    // Plain pixels, as the skin's text has always been drawn: captions keep their exact colour.
    font.setStyleStrategy(QFont::NoAntialias);
}

void TCanvas::Resize(int width, int height) {
    if (width == image.width() && height == image.height()) {
        return;
    }
    QImage resized(width, height, QImage::Format_RGB32);
    resized.fill(Qt::black);
    QPainter painter(&resized);
    painter.drawImage(0, 0, image);
    painter.end();
    image = resized;
    Changed(image.rect());
}

void TCanvas::SetFontName(const QString& name) {
    font.setFamily(name);
}

void TCanvas::SetFontSize(int points) {
    font.setPixelSize(std::max(1, PointsToPixels(points)));
}

void TCanvas::SetFontPixels(int pixels) {
    font.setPixelSize(std::max(1, pixels));
}

void TCanvas::SetFontBold(bool bold) {
    font.setBold(bold);
}

void TCanvas::SetBrushColor(const QColor& colour) {
    brushClear = false;
    brushColour = colour;
}

void TCanvas::CopyRect(const QRect& destination, const QImage& source, const QRect& sourceRect) {
    if (!destination.intersects(image.rect())) {
        return;
    }
    QPainter painter(&image);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(destination, source, sourceRect);
    painter.end();
    Changed(destination);
}

void TCanvas::Draw(int x, int y, const QImage& picture, bool transparent) {
    const QRect target = QRect(x, y, picture.width(), picture.height()).intersected(image.rect());
    if (target.isEmpty()) {
        return;
    }
    if (!transparent) {
        QPainter painter(&image);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(x, y, picture);
        painter.end();
    } else {
        const QImage source = picture.convertToFormat(QImage::Format_RGB32);
        const QRgb key = source.pixel(0, source.height() - 1);
        for (int ty = target.top(); ty <= target.bottom(); ++ty) {
            const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(ty - y));
            auto* to = reinterpret_cast<QRgb*>(image.scanLine(ty));
            for (int tx = target.left(); tx <= target.right(); ++tx) {
                const QRgb colour = from[tx - x];
                if (colour != key) {
                    to[tx] = colour;
                }
            }
        }
    }
    Changed(target);
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    const QFontMetrics metrics(font);
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    if (!box.intersects(image.rect())) {
        return;
    }
    QPainter painter(&image);
    if (!brushClear) {
        painter.fillRect(box, brushColour);
    }
    painter.setFont(font);
    painter.setPen(textColour);
    painter.drawText(x, y + metrics.ascent(), text);
    painter.end();
    Changed(box);
}

int TCanvas::TextWidth(const QString& text) const {
    return QFontMetrics(font).horizontalAdvance(text);
}

// The line height of the font, whatever the text, as the form library measures it.
int TCanvas::TextHeight(const QString&) const {
    return QFontMetrics(font).height();
}

void TCanvas::FillRect(const QRect& rect) {
    if (brushClear || !rect.intersects(image.rect())) {
        return;
    }
    QPainter painter(&image);
    painter.fillRect(rect, brushColour);
    painter.end();
    Changed(rect);
}

void TCanvas::Rectangle(const QRect& rect) {
    if (!rect.intersects(image.rect())) {
        return;
    }
    QPainter painter(&image);
    if (!brushClear) {
        painter.fillRect(rect, brushColour);
    }
    // The outline lies inside the rectangle, as wide as the pen (at least one pixel).
    const int w = std::max(1, std::min({penWidth, rect.width(), rect.height()}));
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), w), penColour);
    painter.fillRect(QRect(rect.left(), rect.bottom() - w + 1, rect.width(), w), penColour);
    painter.fillRect(QRect(rect.left(), rect.top(), w, rect.height()), penColour);
    painter.fillRect(QRect(rect.right() - w + 1, rect.top(), w, rect.height()), penColour);
    painter.end();
    Changed(rect);
}

void TCanvas::Changed(const QRect& rect) {
    const QRect changed = rect.intersected(image.rect());
    if (!changed.isEmpty() && onChange) {
        onChange(changed);
    }
}

} // namespace skin
