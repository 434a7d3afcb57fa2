// Shows a form of the remote from a skin folder, the way the program draws it.
//   ardel-formview [--png FILE] [--scale N] [--learning] [--press INDEX] [--name TEXT]
//                  RESOURCES_FOLDER FORM...
// With --png the forms are drawn side by side into FILE instead of a window; with --shot
// the window is shown and the screen is saved to FILE (for a look under Xvfb).
//   ardel-formview --signal CODEBASE_FILE BUTTON [--zoom N] [--scale N] [--png FILE]
// shows the button view of a codebase file with that button selected: its codes and its
// signals as waveforms (zoomed in N times), drawn offscreen into FILE with --png.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "model/CRemoteModel.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/host/QtModalRunner.h"
#include "remote/CButtonViewDlg.h"
#include "remote/CSignalView.h"
#include "remote/CSkinForm.h"
#include "remote/RemoteFiles.h"

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

// Saves `picture` enlarged `scale` times, or shows it in a window until it is closed.
int Present(QApplication& app, const QImage& picture, int scale, const QString& png,
            const QString& shot) {
    const QImage sheet = picture.scaled(picture.size() * scale);
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

// The button view of the codebase file `codebase` with `button` selected, as a picture.
int ShowButtonView(QApplication& app, const QString& codebase, const QString& button, int zoom,
                   int scale, const QString& png, const QString& shot) {
    const QFileInfo file(codebase);
    HostHandheldFs fs(file.absolutePath().toStdString());
    CQtModalRunner modal;
    CRemoteModel model(RemoteServices{&fs, nullptr, nullptr, {}});
    CButtonViewDlg view(model, modal, "\\" + file.fileName());
    if (!view.Open()) {
        std::fprintf(stderr, "cannot read the codebase %s\n", qPrintable(codebase));
        return 1;
    }
    if (!view.SelectButton(button)) {
        std::fprintf(stderr, "no button %s in %s\n", qPrintable(button), qPrintable(codebase));
        return 1;
    }
    view.SignalView()->SetZoom(zoom);
    return Present(app, view.grab().toImage(), scale, png, shot);
}

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
    QString codebase;
    QString button;
    int zoom = 1;
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
        } else if (args.size() >= 2 && option == "--signal") {
            codebase = args.takeFirst();
            button = args.takeFirst();
        } else if (!args.isEmpty() && option == "--zoom") {
            zoom = std::max(1, args.takeFirst().toInt());
        }
    }
    if (!codebase.isEmpty()) {
        return ShowButtonView(app, codebase, button, zoom, scale, png, shot);
    }
    if (args.size() < 2) {
        std::fprintf(stderr,
                     "usage: ardel-formview [--png FILE] [--scale N] [--learning] "
                     "[--press INDEX] [--name TEXT] RESOURCES_FOLDER FORM...\n"
                     "       ardel-formview --signal CODEBASE_FILE BUTTON [--zoom N] "
                     "[--scale N] [--png FILE]\n");
        return 2;
    }
    CFolderFiles files(args.takeFirst(), name);
    CQtModalRunner modal;
    QList<QImage> pictures;
    for (const QString& formArg : args) {
        const int number = formArg.toInt();
        if (!IsValidForm(number)) {
            std::fprintf(stderr, "no form %s\n", qPrintable(formArg));
            return 2;
        }
        CSkinForm form(&files, modal, FormSlotId(number));
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
    return Present(app, sheet, 1, png, shot);
}
