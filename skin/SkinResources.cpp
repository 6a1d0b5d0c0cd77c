#include "skin/SkinResources.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <stdexcept>

// The resources of a static library must be registered by hand; the name is the one given to rcc.
static void InitSkinResources() {
    Q_INIT_RESOURCE(skin_art);
}

namespace skin {

namespace {

constexpr int CLIP_FRAMES = 27;
constexpr int CLIP_WIDTH = 387;
constexpr int CLIP_HEIGHT = 296;

void EnsureResources() {
    static const bool initialised = [] {
        InitSkinResources();
        return true;
    }();
    (void)initialised;
}

// Pictures are stored under upper-case names; a name is only ever letters, digits and underscores, so
// no name can reach outside the skin's folder of the resource tree.
QImage LoadNamed(const QString& folder, const QString& name) {
    static const QRegularExpression valid(QStringLiteral("^[A-Za-z0-9_]+$"));
    EnsureResources();
    const QString path = QStringLiteral(":/%1/%2.png").arg(folder, name.toUpper());
    QImage picture;
    if (!valid.match(name).hasMatch() || !QFile::exists(path) || !picture.load(path)) {
        throw std::runtime_error("Bitmap resource not found: \"" + name.toStdString() + "\"");
    }
    return picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

QImage LoadSkinPicture(const QString& name) {
    return LoadNamed(QStringLiteral("skin"), name);
}

QStringList SkinPictureNames() {
    EnsureResources();
    QStringList names;
    for (const QString& file : QDir(QStringLiteral(":/skin")).entryList({QStringLiteral("*.png")}, QDir::Files)) {
        names.append(file.chopped(4));
    }
    names.sort();
    return names;
}

std::vector<QImage> LoadWelcomeClip() {
    // The clip is stored as one strip with the frames stacked top to bottom.
    const QImage strip = LoadNamed(QStringLiteral("clip"), QStringLiteral("WELCOME_AVI"));
    if (strip.width() != CLIP_WIDTH || strip.height() != CLIP_HEIGHT * CLIP_FRAMES) {
        throw std::runtime_error("Bitmap resource \"WELCOME_AVI\" has the wrong size");
    }
    std::vector<QImage> frames;
    frames.reserve(CLIP_FRAMES);
    for (int i = 0; i < CLIP_FRAMES; ++i) {
        frames.push_back(strip.copy(0, i * CLIP_HEIGHT, CLIP_WIDTH, CLIP_HEIGHT));
    }
    return frames;
}

QIcon ProgramIcon() {
    EnsureResources();
    QIcon icon;
    for (const int size : {48, 256})
        icon.addFile(QStringLiteral(":/icon/qx7mb-panel-%1.png").arg(size));
    return icon;
}

} // namespace skin
