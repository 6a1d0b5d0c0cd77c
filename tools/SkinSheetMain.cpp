// Writes the review sheet of the skin: every picture with its name and size, in one PNG.
#include "skin/SkinSheet.h"

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <exception>

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication app(argc, argv);
    if (argc > 2) {
        std::fprintf(stderr, "usage: %s [SHEET.png]\n", argv[0]);
        return 2;
    }
    const QString path = argc == 2 ? QString::fromLocal8Bit(argv[1])
                                   : QDir(QCoreApplication::applicationDirPath()).filePath("skin-sheet.png");
    try {
        if (!skin::DrawSkinSheet().save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("%s\n", qPrintable(path));
    return 0;
}
