// Files of the skin forms held in memory, for the tests.
#pragma once

#include <QBuffer>
#include <QImage>
#include <QTemporaryFile>
#include <map>
#include <set>

#include "remote/RemoteFiles.h"
#include "tools/SkinArt.h"

class CMemoryRemoteFiles : public RemoteFiles {
  public:
    struct Codebase {
        QString header;
        std::set<QString> buttons;
    };

    void AddImage(const QString& path, const QImage& image, const char* format = "PNG") {
        QByteArray bytes;
        if (QByteArray(format) == "GIF") {
            // Qt reads GIF but does not write it.
            QTemporaryFile file;
            file.open();
            WriteGif(ReduceColours(image), file.fileName());
            bytes = file.readAll();
        } else {
            QBuffer buffer(&bytes);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, format);
        }
        files[path.toLower()] = bytes;
    }

    void AddCodebase(const QString& path, const QString& header, std::set<QString> buttons) {
        codebases[path.toLower()] = {header, std::move(buttons)};
    }

    bool ReadFile(const QString& path, QByteArray& bytes) override {
        const auto found = files.find(path.toLower());
        if (found == files.end()) {
            return false;
        }
        bytes = found->second;
        return true;
    }
    std::string PlayablePath(const QString& path) override { return path.toStdString(); }
    std::unique_ptr<CodebaseReader> OpenCodebase(const QString& path) override {
        const auto found = codebases.find(path.toLower());
        if (found == codebases.end()) {
            return nullptr;
        }
        struct Reader : CodebaseReader {
            const Codebase* codebase;
            QString HeaderName() override { return codebase->header; }
            bool HasButton(const QString& name) override {
                return codebase->buttons.count(name) != 0;
            }
        };
        auto reader = std::make_unique<Reader>();
        reader->codebase = &found->second;
        ++opened;
        return reader;
    }

    std::map<QString, QByteArray> files;  // by lower-case path
    std::map<QString, Codebase> codebases;
    int opened = 0;
};
