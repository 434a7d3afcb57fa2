// ArdelRemote on a simulated handheld.
//   ardelremote [--chip ID] [--root FOLDER] [--scale N] [--serve [ADDRESS:PORT]] [--help]
//               [--version]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/program/InstanceLock.h"
#include "app/program/ProgramIdentity.h"
#include "app/program/RemoteProgram.h"
#include "app/program/RootOwner.h"
#include "app/program/ScreenScale.h"
#include "shell/CMainFrame.h"

namespace {

// For timing the start: with ARDEL_FIRST_FRAME set, the program says on standard error how
// long after main() the remote window was first painted, and leaves at once, saving nothing.
class CFirstFrameWatch : public QObject {
  public:
    explicit CFirstFrameWatch(const QElapsedTimer& since) : since_(since) {}

    bool eventFilter(QObject* target, QEvent* event) override {
        if (!seen_ && event->type() == QEvent::Paint && target->inherits("CDUWnd")) {
            seen_ = true;
            // After this paint has been drawn and shown.
            QTimer::singleShot(0, [this] {
                std::fprintf(stderr, "ardelremote: first frame %.1f ms after main\n",
                             static_cast<double>(since_.nsecsElapsed()) / 1e6);
                std::fflush(stderr);
                std::_Exit(0);
            });
        }
        return false;
    }

  private:
    const QElapsedTimer& since_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceMain;
    sinceMain.start();
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
    if (!OwnRoot(lock, "ardelremote", options.root)) {
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
    CFirstFrameWatch firstFrame(sinceMain);
    if (qEnvironmentVariableIsSet("ARDEL_FIRST_FRAME")) {
        app.installEventFilter(&firstFrame);
    }
    IntroduceToDesktop();
    int result = 0;
    {
        CRemoteProgram program(options);
        if (!options.emitterLog.isEmpty() && !program.OpenEmitterLog(options.emitterLog, error)) {
            std::fprintf(stderr, "ardelremote: %s\n", qPrintable(error));
            return 1;
        }
        if (!options.serve.isEmpty()) {
            if (!program.StartService(options.serve, error, options.mqtt)) {
                std::fprintf(stderr, "ardelremote: %s\n", qPrintable(error));
                return 1;
            }
            std::printf("ardelremote: serving on http://%s/\n", qPrintable(options.serve));
            std::fflush(stdout);
        }
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
