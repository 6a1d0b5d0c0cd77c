// Rendered pictures: COMPOSITE, a photograph-like lake scene at dusk, and the welcome clip.
#include "ArtKit.h"

#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr double PI = 3.14159265358979323846;

double Mix(double a, double b, double t) {
    return a + (b - a) * t;
}

QRgb MixRgb(QRgb a, QRgb b, double t) {
    t = std::clamp(t, 0.0, 1.0);
    return qRgb(static_cast<int>(Mix(qRed(a), qRed(b), t)), static_cast<int>(Mix(qGreen(a), qGreen(b), t)),
                static_cast<int>(Mix(qBlue(a), qBlue(b), t)));
}

// A smooth ridge line from a few sines: the height of a mountain range at x.
double Ridge(double x, double base, double amplitude, double seed) {
    return base - amplitude * (0.55 * std::sin(x * 0.021 + seed) + 0.3 * std::sin(x * 0.057 + seed * 2.1) +
                               0.15 * std::sin(x * 0.13 + seed * 3.7));
}

// The scene above the water line, for one pixel: sky, sun, two mountain ranges and the far shore.
QRgb Land(double x, double y, int horizon) {
    const double t = y / horizon;
    QRgb colour = MixRgb(qRgb(24, 36, 92), qRgb(250, 150, 70), std::pow(t, 1.6));
    const double dx = x - 220.0, dy = y - (horizon - 22.0);
    const double d = std::sqrt(dx * dx + dy * dy);
    if (d < 11) {
        colour = qRgb(255, 240, 200);
    } else {
        colour = MixRgb(colour, qRgb(255, 200, 120), std::exp(-(d - 11) / 26.0) * 0.8);
    }
    if (y > Ridge(x, horizon - 30, 22, 1.3)) {
        colour = MixRgb(qRgb(88, 70, 110), colour, 0.25);
    }
    if (y > Ridge(x, horizon - 12, 12, 4.2)) {
        colour = qRgb(40, 34, 56);
    }
    if (y > horizon - 4) {
        colour = qRgb(22, 24, 30);
    }
    return colour;
}

// A pine tree silhouette: whether (x, y) lies inside the tree standing at foot (fx, fy) of height h.
bool Pine(double x, double y, int fx, int fy, int h) {
    if (y > fy || y < fy - h) {
        return false;
    }
    const double up = (fy - y) / h;
    const double tiers = up * 5.0;
    const double width = (1.0 - up) * h * 0.28 * (0.6 + 0.4 * (1.0 - (tiers - std::floor(tiers))));
    return std::abs(x - fx) <= std::max(width, up < 0.1 ? 1.5 : 0.0);
}

// Rendered at twice the size and scaled down smoothly, so that edges are soft as in a photograph; the
// grain is added at the final size.
QImage Composite() {
    const int w = 329, h = 169, horizon = 102, scale = 2;
    QImage large = NewPicture(w * scale, h * scale, Qt::black);
    for (int j = 0; j < large.height(); ++j) {
        auto* line = reinterpret_cast<QRgb*>(large.scanLine(j));
        const double y = static_cast<double>(j) / scale;
        for (int i = 0; i < large.width(); ++i) {
            const double x = static_cast<double>(i) / scale;
            QRgb colour;
            if (y < horizon) {
                colour = Land(x, y, horizon);
            } else {
                // The lake mirrors the land with ripples, darker the nearer it is.
                const double depth = y - horizon;
                const double ripple = 2.5 * std::sin(y * 0.9) * (depth / 67.0 + 0.2);
                const double mx = std::clamp(x + ripple, 0.0, w - 1.0);
                const double my = std::clamp(horizon - 1 - depth, 0.0, horizon - 1.0);
                colour = MixRgb(Land(mx, my, horizon), qRgb(10, 14, 28), 0.35 + depth / 140.0);
            }
            const bool tree = Pine(x, y, 28, 150, 120) || Pine(x, y, 52, 156, 96) || Pine(x, y, 10, 160, 80) ||
                              Pine(x, y, 300, 152, 110) || Pine(x, y, 318, 158, 76);
            if (tree) {
                colour = qRgb(8, 12, 14);
            }
            // The near shore, a dark strip of grass along the foot of the picture.
            if (y > 159 + 3 * std::sin(x * 0.07) + 2 * std::sin(x * 0.31)) {
                colour = qRgb(10, 16, 12);
            }
            line[i] = colour;
        }
    }
    QImage picture =
        large.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
    Noise grain(5);
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int n = static_cast<int>((grain.Next() - 0.5) * 10);
            line[x] = qRgb(std::clamp(qRed(line[x]) + n, 0, 255), std::clamp(qGreen(line[x]) + n, 0, 255),
                           std::clamp(qBlue(line[x]) + n, 0, 255));
        }
    }
    return picture;
}

// One frame of the welcome clip: the name over a turning ring of 27 beads whose bright head goes round
// once per run of the clip, and a scan line that sweeps a board outline.
QImage WelcomeFrame(int frame, int frames) {
    QImage picture = NewPicture(387, 296, palette::WINDOW);
    QPainter p(&picture);
    Smooth(p);
    QRadialGradient ground(193.5, 130, 240);
    ground.setColorAt(0, QColor(30, 40, 56));
    ground.setColorAt(1, QColor(14, 17, 23));
    p.fillRect(picture.rect(), ground);
    p.setPen(QColor(30, 38, 52));
    for (int x = 0; x < 387; x += 16) {
        p.drawLine(x, 0, x, 296);
    }
    for (int y = 0; y < 296; y += 16) {
        p.drawLine(0, y, 387, y);
    }

    QFont title(QStringLiteral("Arial"));
    title.setPixelSize(34);
    title.setBold(true);
    p.setFont(title);
    p.setPen(palette::TITLE);
    p.drawText(QRect(0, 24, 387, 44), Qt::AlignCenter, QStringLiteral("QX7-MB"));
    QFont sub(QStringLiteral("Arial"));
    sub.setPixelSize(15);
    p.setFont(sub);
    p.setPen(QColor(210, 216, 224));
    p.drawText(QRect(0, 66, 387, 22), Qt::AlignCenter, QStringLiteral("Control Panel"));

    const QPointF centre(193.5, 170);
    for (int i = 0; i < frames; ++i) {
        const double angle = 2 * PI * i / frames - PI / 2;
        const int age = (frame - i + frames) % frames;
        const double light = std::max(0.0, 1.0 - age / 9.0);
        const QColor bead(static_cast<int>(Mix(40, 0, light)), static_cast<int>(Mix(52, 234, light)),
                          static_cast<int>(Mix(70, 255, light)));
        p.setPen(Qt::NoPen);
        p.setBrush(bead);
        p.drawEllipse(centre + QPointF(std::cos(angle) * 48, std::sin(angle) * 48), 3.5 + 2 * light, 3.5 + 2 * light);
    }
    // A chip in the middle of the ring.
    p.setBrush(QColor(24, 25, 28));
    p.setPen(QColor(120, 124, 132));
    p.drawRect(QRectF(centre.x() - 18, centre.y() - 18, 36, 36));
    p.setPen(palette::TITLE.darker(140));
    p.drawText(QRectF(centre.x() - 18, centre.y() - 18, 36, 36), Qt::AlignCenter, QStringLiteral("FPGA"));

    // The scan line over a board outline at the foot of the frame.
    const QRectF board(68, 236, 251, 38);
    p.setPen(QPen(QColor(0, 120, 140), 1));
    p.setBrush(QColor(16, 50, 54));
    p.drawRoundedRect(board, 4, 4);
    const double sweep = board.left() + board.width() * frame / (frames - 1);
    QLinearGradient scan(sweep - 30, 0, sweep, 0);
    scan.setColorAt(0, QColor(0, 234, 255, 0));
    scan.setColorAt(1, QColor(0, 234, 255, 150));
    p.setPen(Qt::NoPen);
    p.setBrush(scan);
    p.drawRect(QRectF(std::max(board.left(), sweep - 30), board.top() + 1, std::min(30.0, sweep - board.left()),
                      board.height() - 2));
    return picture;
}

QImage WelcomeClip() {
    constexpr int frames = 27;
    QImage strip = NewPicture(387, 296 * frames, Qt::black);
    QPainter p(&strip);
    for (int f = 0; f < frames; ++f) {
        p.drawImage(0, f * 296, WelcomeFrame(f, frames));
    }
    return strip;
}

} // namespace

void DrawScenes(Pictures& out) {
    out.push_back({QStringLiteral("skin"), QStringLiteral("COMPOSITE"), Composite()});
    out.push_back({QStringLiteral("clip"), QStringLiteral("WELCOME_AVI"), WelcomeClip()});
}

} // namespace art
