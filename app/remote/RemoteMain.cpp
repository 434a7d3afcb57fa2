// ArdelRemote on a simulated handheld.
//   ardelremote [--chip ID] [--root FOLDER] [--scale N] [--help]
#include <QApplication>
#include <cstdio>

#include "Modal.h"
#include "RemoteProgram.h"

int main(int argc, char** argv) {
    // The command line is read before the window system is reached, so --help and a
    // wrong option need no display.
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
    if (!InstallProgramFiles(options.root.toStdString(), error)) {
        std::fprintf(stderr, "ardelremote: %s\n", qPrintable(error));
        return 1;
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
    int result = 0;
    {
        CRemoteProgram program(options);
        program.Show();
        result = app.exec();
    }
    return result;
}
