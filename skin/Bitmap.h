#pragma once

#include <QImage>
#include <QString>

namespace skin {

// One skin picture with its transparent flag, fixed when it is loaded.
class TBitmap {
public:
    // Loads the named picture; throws std::runtime_error naming the resource when there is none.
    void LoadFromResourceName(const QString& name);

    bool Transparent = false;
    const QImage& Image() const { return image; }
    int Width() const { return image.width(); }
    int Height() const { return image.height(); }

private:
    QImage image;
};

} // namespace skin
