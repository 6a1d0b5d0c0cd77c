// Draws the skin's pictures and writes them, with the resource list that compiles them into the
// program, to the folder given as the only argument.
#include "ArtKit.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    art::Pictures pictures;
    art::DrawButtons(pictures);
    art::DrawMainWindow(pictures);
    art::DrawPages(pictures);
    art::DrawParts(pictures);
    art::DrawScenes(pictures);
    art::DrawIcons(pictures);

    QString list;
    QTextStream qrc(&list);
    qrc << "<RCC>\n";
    for (const art::Picture& picture : pictures) {
        const QString file = picture.folder + QLatin1Char('/') + picture.name + QStringLiteral(".png");
        if (!folder.mkpath(picture.folder) || !picture.image.save(folder.filePath(file), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(folder.filePath(file)));
            return 1;
        }
        qrc << "  <qresource prefix=\"/\"><file>" << file << "</file></qresource>\n";
    }
    qrc << "</RCC>\n";
    qrc.flush();

    // The list is written last: the build compiles the resources only after a complete run.
    QFile out(folder.filePath(QStringLiteral("skin_art.qrc")));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(list.toUtf8()) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(out.fileName()));
        return 1;
    }
    return 0;
}
