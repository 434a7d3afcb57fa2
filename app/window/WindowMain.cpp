// The remote window by itself on a simulated handheld, for a look and for scripted checks.
//   ardelremote-window [--root FOLDER] [--chip ID] [--scale N] [--learn CATEGORY]
//                      [--sound] [--screenshot FILE]
// FOLDER stands for the device's root; the skins and sounds are put below it when missing.
// --learn starts learning a new codebase of that category ("TV", "VCR", ...); the device's
// own remote then presses each button that is tapped. --screenshot saves the window once
// it is on the screen and quits.
#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "app/program/RemoteProgram.h"
#include "app/program/SimInteraction.h"
#include "ir/IrFactory.h"
#include "model/CRemoteModel.h"
#include "platform/host/AlsaSound.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/host/QtModalRunner.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimProfile.h"
#include "remote/CDUWnd.h"
#include "remote/CHandheldRemoteFiles.h"
#include "ir/IrPortDiscovery.h"
#include "store/Catalogue.h"

namespace {

int CategoryNamed(const QString& name) {
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        if (name.compare(QLatin1String(CategoryName(category)), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(CategoryAbbreviation(category)), Qt::CaseInsensitive) == 0) {
            return category;
        }
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString root = QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
                       .filePath("device");
    QString chip = "pxa255";
    QString learn;
    QString screenshot;
    int scale = 2;
    bool sound = false;
    while (!args.isEmpty()) {
        const QString option = args.takeFirst();
        if (option == "--sound") {
            sound = true;
        } else if (!args.isEmpty() && option == "--root") {
            root = args.takeFirst();
        } else if (!args.isEmpty() && option == "--chip") {
            chip = args.takeFirst();
        } else if (!args.isEmpty() && option == "--scale") {
            scale = std::max(1, args.takeFirst().toInt());
        } else if (!args.isEmpty() && option == "--learn") {
            learn = args.takeFirst();
        } else if (!args.isEmpty() && option == "--screenshot") {
            screenshot = args.takeFirst();
        } else {
            std::fprintf(stderr,
                         "usage: ardelremote-window [--root FOLDER] [--chip ID] [--scale N] "
                         "[--learn CATEGORY] [--sound] [--screenshot FILE]\n");
            return 2;
        }
    }
    const SimProfile* profile = FindSimProfile(chip.toStdString());
    if (!profile) {
        std::fprintf(stderr, "unknown chip %s (one of %s)\n", qPrintable(chip),
                     SimProfileIds().c_str());
        return 2;
    }
    const int learnCategory = learn.isEmpty() ? 0 : CategoryNamed(learn);
    if (!learn.isEmpty() && learnCategory == 0) {
        std::fprintf(stderr, "unknown category %s\n", qPrintable(learn));
        return 2;
    }
    QString error;
    if (!InstallProgramFiles(root.toStdString(), error)) {
        std::fprintf(stderr, "ardelremote-window: %s\n", qPrintable(error));
        return 1;
    }

    HostHandheldFs fs(root.toStdString());
    CHandheldRemoteFiles files(fs);
    SimHandheld handheld(*profile);
    CIrDriverFactory drivers(handheld);
    CAlsaSound alsa;
    RemoteServices services;
    services.fs = &fs;
    services.sound = sound ? &alsa : nullptr;
    services.driver = [&drivers] { return drivers.GetIrDriver(); };
    CRemoteModel model(services);
    model.SetIrPort(DetectIrPort(handheld.Registry()));

    int result = 0;
    {
        CQtModalRunner modal;
        CDUWnd window(model, &files, modal, scale);
        window.setWindowTitle("ArdelRemote");
        const HandheldFolders folders = FoldersFor(QString::fromStdString(fs.ProgramPath()));
        EnsurePrefFiles(fs, folders.baseFolder, folders.programName);
        window.hooks.listCodebases = [&model, &folders](int category) {
            return CodebaseChoicesOf(model, folders, category);
        };
        window.BuildForms(folders.baseFolder,
                          folders.baseFolder + DefaultPrefFileName(folders.programName));
        AttachInteractive(handheld, window);
        InstallSimRemoteHand(handheld, model);
        if (learnCategory != 0) {
            const QString path = QString("\\My Documents\\") + CategoryAbbreviation(learnCategory) +
                                 "_Living Room.PDB";
            model.MakeHot(learnCategory, path, false);
            window.ShowModel();
            window.SelectForm(FirstFormOf(learnCategory));
            window.SetLearningMode(true);
        }
        window.show();
        if (!screenshot.isEmpty()) {
            QTimer::singleShot(500, [&] {
                QPixmap picture = window.screen()->grabWindow(window.winId());
                if (picture.isNull()) {
                    picture = window.grab();
                }
                result = picture.save(screenshot) ? 0 : 1;
                window.close();
            });
        }
        const int loop = app.exec();
        result = screenshot.isEmpty() ? loop : result;
    }
    return result;
}
