#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <functional>

namespace skin {

// A font size in points as pixels at 96 dots per inch, rounded as the form library rounds it, so that
// text measures the same on every screen and offscreen.
int PointsToPixels(int points);

// A window's drawing surface: an image the size of the client area with the font, text colour, brush
// and pen that drawing steps set and leave behind for the next step, as on a Windows canvas. The owning
// widget shows the image in its paint event; every drawing call reports the changed rectangle through
// the change handler, so that the owner can ask for a repaint.
class TCanvas {
public:
    TCanvas(int width, int height);

    void Resize(int width, int height);
    int Width() const { return image.width(); }
    int Height() const { return image.height(); }
    const QImage& Image() const { return image; }
    QRgb Pixel(int x, int y) const { return image.pixel(x, y); }

    // Persistent drawing state.
    void SetFontName(const QString& name);
    void SetFontSize(int points); // points at 96 dots per inch, as the form library measures them
    void SetFontPixels(int pixels);
    void SetFontBold(bool bold);
    const QFont& Font() const { return font; }
    void SetTextColor(const QColor& colour) { textColour = colour; }
    QColor TextColor() const { return textColour; }
    void SetBrushClear() { brushClear = true; }
    void SetBrushColor(const QColor& colour);
    bool BrushClear() const { return brushClear; }
    QColor BrushColor() const { return brushColour; }
    void SetPenColor(const QColor& colour) { penColour = colour; }
    void SetPenWidth(int width) { penWidth = width; }

    // Copies the source rectangle of a picture to the destination rectangle (same size), opaque.
    void CopyRect(const QRect& destination, const QImage& source, const QRect& sourceRect);
    // Draws a whole picture at (x, y); a transparent one leaves every pixel of the colour of its
    // bottom-left pixel unpainted.
    void Draw(int x, int y, const QImage& picture, bool transparent);
    // Text at (x, y) as its top-left corner, in the text colour, on a box of the brush colour unless
    // the brush is clear.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // Fills with the brush colour.
    void FillRect(const QRect& rect);
    // An outline in the pen, filled with the brush unless it is clear.
    void Rectangle(const QRect& rect);

    using ChangeHandler = std::function<void(const QRect&)>;
    void SetChangeHandler(ChangeHandler handler) { onChange = std::move(handler); }

private:
    void Changed(const QRect& rect);

    QImage image;
    QFont font;
    QColor textColour{Qt::black};
    bool brushClear = false;
    QColor brushColour{Qt::white};
    QColor penColour{Qt::black};
    int penWidth = 1;
    ChangeHandler onChange;
};

} // namespace skin
