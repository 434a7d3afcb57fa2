// ArdelRemote on a simulated handheld.
//   ardelremote [--chip ID] [--root FOLDER] [--scale N] [--help] [--version]
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "app/program/InstanceLock.h"
#include "app/program/ProgramIdentity.h"
#include "app/program/RemoteProgram.h"
#include "app/program/ScreenScale.h"
#include "shell/CMainFrame.h"

int main(int argc, char** argv) {
    // The command line is read before the window system is reached, so --help, --version and
    // a wrong option need no display.
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args.push_back(QString::fromLocal8Bit(argv[i]));
    }
    ProgramOptions options;
    options.root = DefaultDeviceRoot();
    bool help = false;
    QString error;
    if (!ParseProgramOptions(args, options, help, error)) {
        std::fprintf(stderr, "ardelremote: %s\n\n%s", qPrintable(error),
                     qPrintable(ProgramUsage()));
        return 2;
    }
    if (help) {
        std::printf("%s", qPrintable(ProgramUsage()));
        return 0;
    }
    if (options.version) {
        std::printf("%s\n", qPrintable(VersionLine(QStringLiteral("ardelremote"))));
        return 0;
    }
    // One program per device root, decided before anything in the root is touched.
    if (!QDir().mkpath(options.root)) {
        std::fprintf(stderr, "ardelremote: cannot make the folder %s\n", qPrintable(options.root));
        return 1;
    }
    CInstanceLock lock(options.root.toStdString(), true);
    switch (lock.Take()) {
        case CInstanceLock::kTaken:
            break;
        case CInstanceLock::kInUse: {
            const QString holder =
                lock.HolderPid() > 0 ? QStringLiteral(" (process %1)").arg(lock.HolderPid()) : "";
            // The user who starts the program again most likely looks for its window.
            const bool raised = CInstanceLock::Ring(options.root.toStdString());
            std::fprintf(stderr,
                         "ardelremote: another ardelremote%s is already running on the device "
                         "root %s%s; close it first, or choose another root with --root\n",
                         qPrintable(holder), qPrintable(options.root),
                         raised ? " (its window is brought to the front)" : "");
            return 1;
        }
        case CInstanceLock::kUnsupported:
            // Refusing to start would leave such a root unusable; the user is told instead.
            std::fprintf(stderr,
                         "ardelremote: %s; nothing keeps a second ardelremote away from this "
                         "root\n",
                         lock.Error().c_str());
            break;
        case CInstanceLock::kFailed:
            std::fprintf(stderr, "ardelremote: %s\n", lock.Error().c_str());
            return 1;
    }
    if (!InstallProgramFiles(options.root.toStdString(), error)) {
        std::fprintf(stderr, "ardelremote: %s\n", qPrintable(error));
        return 1;
    }
    if (options.scale == 0) {
        options.scale = ScaleForScreen(argc, argv);
    }
    // The whole program is zoomed, dialogs and fonts with the remote: Qt scales every
    // window, so the program itself works in the handheld's own pixels.
    if (options.scale != 1) {
        const double outer = qEnvironmentVariableIsSet("QT_SCALE_FACTOR")
                                 ? qEnvironmentVariable("QT_SCALE_FACTOR").toDouble()
                                 : 1.0;
        qputenv("QT_SCALE_FACTOR", QByteArray::number(options.scale * (outer > 0 ? outer : 1.0)));
        options.scale = 1;
    }
    QApplication app(argc, argv);
    IntroduceToDesktop();
    int result = 0;
    {
        CRemoteProgram program(options);
        program.Show();
        QWidget& frame = program.Frame();
        WatchDoorbell(
            lock,
            [&frame] {
                frame.setWindowState(frame.windowState() & ~Qt::WindowMinimized);
                frame.show();
                frame.raise();
                frame.activateWindow();
            },
            &app);
        result = app.exec();
    }
    return result;
}
