#include "skin/SkinSheet.h"

#include "skin/SkinResources.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <vector>

namespace skin {

namespace {

constexpr int SHEET_WIDTH = 1400;
constexpr int GAP = 14;
constexpr int LABEL_HEIGHT = 16;

// Button pictures hold four faces; the sheet marks where one ends and the next begins.
bool IsButtonPicture(const QString& name) {
    return name.endsWith(QStringLiteral("_BTN")) || name == "TAB_BUTTON";
}

struct Cell {
    QString label;
    QImage image;
    int faces;
};

} // namespace

QImage DrawSkinSheet() {
    std::vector<Cell> cells;
    for (const QString& name : SkinPictureNames()) {
        const QImage picture = LoadSkinPicture(name);
        cells.push_back({QStringLiteral("%1 %2x%3").arg(name).arg(picture.width()).arg(picture.height()), picture,
                         IsButtonPicture(name) ? 4 : 1});
    }
    const std::vector<QImage> clip = LoadWelcomeClip();
    for (size_t i = 0; i < clip.size(); ++i) {
        cells.push_back({QStringLiteral("WELCOME_AVI %1/%2").arg(i + 1).arg(clip.size()),
                         clip[i].scaled(clip[i].size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), 1});
    }

    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(11);
    const QFontMetrics metrics(font);

    // Lay the cells out in rows, left to right.
    std::vector<QPoint> places;
    int x = GAP;
    int y = GAP;
    int rowHeight = 0;
    for (const Cell& cell : cells) {
        const int width = std::max(cell.image.width(), metrics.horizontalAdvance(cell.label));
        if (x + width > SHEET_WIDTH - GAP && x > GAP) {
            x = GAP;
            y += rowHeight + GAP;
            rowHeight = 0;
        }
        places.emplace_back(x, y);
        x += width + GAP;
        rowHeight = std::max(rowHeight, cell.image.height() + LABEL_HEIGHT);
    }

    QImage sheet(SHEET_WIDTH, y + rowHeight + GAP, QImage::Format_RGB32);
    sheet.fill(QColor(96, 96, 104));
    QPainter painter(&sheet);
    painter.setFont(font);
    for (size_t i = 0; i < cells.size(); ++i) {
        const Cell& cell = cells[i];
        const QPoint at = places[i];
        painter.setPen(Qt::white);
        painter.drawText(at.x(), at.y() + metrics.ascent(), cell.label);
        const QPoint picture(at.x(), at.y() + LABEL_HEIGHT);
        painter.drawImage(picture, cell.image);
        if (cell.faces > 1) {
            painter.setPen(QColor(255, 0, 0));
            const int face = cell.image.height() / cell.faces;
            for (int f = 1; f < cell.faces; ++f) {
                painter.drawLine(picture.x() + cell.image.width(), picture.y() + f * face,
                                 picture.x() + cell.image.width() + 4, picture.y() + f * face);
            }
        }
    }
    return sheet;
}

} // namespace skin
