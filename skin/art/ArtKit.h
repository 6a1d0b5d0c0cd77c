#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

// Shared means of the skin's artwork: the palette of the dark window style, the picture list the
// generator fills, and the few drawing steps that many pictures repeat.
namespace art {

struct Picture {
    QString folder; // "skin" for the pictures of the resource set, "clip" for the welcome clip, "icon"
    QString name;
    QImage image;
};
using Pictures = std::vector<Picture>;

namespace palette {
inline const QColor WINDOW{18, 22, 30};
inline const QColor PANEL{28, 34, 45};
inline const QColor PANEL_LIGHT{44, 53, 68};
inline const QColor EDGE_LIGHT{86, 100, 122};
inline const QColor EDGE_DARK{8, 10, 14};
inline const QColor GREY{150, 150, 150};
inline const QColor TITLE{0, 234, 255};
inline const QColor YELLOW{255, 230, 0};
inline const QColor PCB{16, 58, 62};
inline const QColor PCB_DARK{10, 38, 42};
inline const QColor COPPER{176, 142, 74};
inline const QColor LED_RED{255, 36, 36};
} // namespace palette

// A blank picture of the given size and colour, 24 bits per pixel.
QImage NewPicture(int width, int height, const QColor& fill);
// A picture antialiased painting starts on; the painter is set up for smooth shapes.
void Smooth(QPainter& painter);

// The four faces (normal, disabled, hot, pressed) of a button picture stacked top to bottom, each
// drawn by the given function into the face's rectangle.
QImage StackFaces(int width, int faceHeight, const QColor& ground,
                  const std::function<void(QPainter&, int face)>& draw);

// Gives the bottom-left pixel a colour of its own, the transparent colour, found in no other pixel.
void MarkTransparent(QImage& picture);

// A raised or sunken plate with a one-pixel bevel.
void Bevel(QPainter& painter, const QRect& rect, const QColor& fill, bool raised);
// A sunken well with a dark rim, as behind fields and lists.
void Well(QPainter& painter, const QRect& rect, const QColor& fill);
// A thin framed group with a title gap at its top-left.
void GroupFrame(QPainter& painter, const QRect& rect, int titleWidth);
// Text in the given font family, pixel size and colour with its top-left at (x, y).
void Text(QPainter& painter, int x, int y, const QString& text, const QString& family, int pixels, const QColor& colour,
          bool bold = false);

// A small deterministic pseudo-random source, so that every build draws the same pictures.
class Noise {
public:
    explicit Noise(unsigned seed) : state(seed) {}
    // A value in [0, 1).
    double Next();

private:
    unsigned state;
};

void DrawButtons(Pictures& out);
void DrawMainWindow(Pictures& out);
void DrawPages(Pictures& out);
void DrawParts(Pictures& out);
void DrawScenes(Pictures& out);
// The program's icon in the sizes the desktop asks for, with an alpha channel.
void DrawIcons(Pictures& out);

} // namespace art
