// Writes the artwork into a resources folder: skins/, sounds/, bitmaps/ and icons/.
//   ardel-skingen RESOURCES_FOLDER
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <cstdio>

#include "tools/SkinArt.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ardel-skingen RESOURCES_FOLDER\n");
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication app(argc, argv);
    const QDir root(QString::fromLocal8Bit(argv[1]));
    int failures = 0;
    for (const ArtFile& file : AllArtwork()) {
        const QString path = root.filePath(file.path);
        QDir().mkpath(QFileInfo(path).path());
        bool ok = false;
        switch (file.kind) {
            case ArtFile::kGif:
                ok = WriteGif(file.image(), path);
                break;
            case ArtFile::kBmp:
                ok = file.image().save(path, "BMP");
                break;
            case ArtFile::kPng:
                ok = file.image().save(path, "PNG");
                break;
            case ArtFile::kWave: {
                const std::vector<uint8_t> bytes = WriteWave(file.sound());
                QFile out(path);
                ok = out.open(QIODevice::WriteOnly) &&
                     out.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) ==
                         qint64(bytes.size());
                break;
            }
            case ArtFile::kSvg: {
                const QByteArray text = file.text();
                QFile out(path);
                ok = out.open(QIODevice::WriteOnly) && out.write(text) == text.size();
                break;
            }
        }
        if (!ok) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
