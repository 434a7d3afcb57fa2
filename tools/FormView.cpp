// Shows a form of the remote from a skin folder, the way the program draws it.
//   ardel-formview [--png FILE] [--scale N] [--learning] [--press INDEX] [--name TEXT]
//                  RESOURCES_FOLDER FORM...
// With --png the forms are drawn side by side into FILE instead of a window; with --shot
// the window is shown and the screen is saved to FILE (for a look under Xvfb).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "CSkinForm.h"
#include "RemoteFiles.h"

namespace {

// Handheld paths below "\" are files below the resources folder, any letter case.
class CFolderFiles : public RemoteFiles {
  public:
    CFolderFiles(QString root, QString name) : root_(std::move(root)), name_(std::move(name)) {}

    bool ReadFile(const QString& path, QByteArray& bytes) override {
        QFile file(HostPath(path));
        if (!file.open(QIODevice::ReadOnly)) {
            return false;
        }
        bytes = file.readAll();
        return true;
    }
    std::string PlayablePath(const QString& path) override { return HostPath(path).toStdString(); }
    std::unique_ptr<CodebaseReader> OpenCodebase(const QString&) override {
        if (name_.isEmpty()) {
            return nullptr;
        }
        struct Reader : CodebaseReader {
            QString header;
            QString HeaderName() override { return header; }
            bool HasButton(const QString& button) override { return !button.startsWith('F'); }
        };
        auto reader = std::make_unique<Reader>();
        reader->header = "TV_" + name_;
        return reader;
    }

  private:
    QString HostPath(const QString& path) const {
        QDir dir(root_);
        const QStringList parts = path.split('\\', Qt::SkipEmptyParts);
        for (int i = 0; i < parts.size(); ++i) {
            const QStringList entries = dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
            QString match;
            for (const QString& entry : entries) {
                if (entry.compare(parts[i], Qt::CaseInsensitive) == 0) {
                    match = entry;
                }
            }
            if (match.isEmpty()) {
                return QString();
            }
            if (i + 1 == parts.size()) {
                return dir.filePath(match);
            }
            dir.cd(match);
        }
        return QString();
    }

    QString root_;
    QString name_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString png;
    QString shot;
    int scale = 2;
    bool learning = false;
    int press = -1;
    QString name = "Living Room";
    while (!args.isEmpty() && args.first().startsWith("--")) {
        const QString option = args.takeFirst();
        if (option == "--learning") {
            learning = true;
        } else if (!args.isEmpty() && option == "--shot") {
            shot = args.takeFirst();
        } else if (!args.isEmpty() && option == "--png") {
            png = args.takeFirst();
        } else if (!args.isEmpty() && option == "--scale") {
            scale = std::max(1, args.takeFirst().toInt());
        } else if (!args.isEmpty() && option == "--press") {
            press = args.takeFirst().toInt();
        } else if (!args.isEmpty() && option == "--name") {
            name = args.takeFirst();
        }
    }
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: ardel-formview [--png FILE] [--scale N] [--learning] "
                     "[--press INDEX] [--name TEXT] RESOURCES_FOLDER FORM...\n");
        return 2;
    }
    CFolderFiles files(args.takeFirst(), name);
    QList<QImage> pictures;
    for (const QString& formArg : args) {
        const int number = formArg.toInt();
        if (!IsValidForm(number)) {
            std::fprintf(stderr, "no form %s\n", qPrintable(formArg));
            return 2;
        }
        CSkinForm form(&files, FormSlotId(number));
        form.BuildRemoteForm(number, "\\");
        form.Slot().SetPath("\\codebase.pdb");
        form.RefreshButtons();
        if (!form.LoadImages()) {
            return 1;
        }
        form.SetLearning(learning ? 1 : 0);
        form.Draw();
        if (press >= 0 && press < form.ElementCount()) {
            form.SetElementState(press, kStatePressed);
        }
        pictures << form.Canvas();
    }
    QImage sheet(pictures.size() * (CSkinForm::kWidth + 8) * scale,
                 CSkinForm::kRemoteHeight * scale, QImage::Format_RGB32);
    sheet.fill(QColor(200, 200, 200));
    QPainter painter(&sheet);
    for (int i = 0; i < pictures.size(); ++i) {
        painter.drawImage(QRect(i * (CSkinForm::kWidth + 8) * scale, 0, CSkinForm::kWidth * scale,
                                CSkinForm::kRemoteHeight * scale),
                          pictures[i]);
    }
    painter.end();
    if (!png.isEmpty()) {
        return sheet.save(png) ? 0 : 1;
    }
    QLabel label;
    label.setPixmap(QPixmap::fromImage(sheet));
    label.setWindowTitle("ArdelRemote forms");
    label.setFixedSize(sheet.size());
    label.move(0, 0);
    label.show();
    if (!shot.isEmpty()) {
        QTimer::singleShot(500, &app, [&] {
            const bool saved = QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
            app.exit(saved ? 0 : 1);
        });
    }
    return app.exec();
}
