// ardelremoted: the remote as a service, without windows. It owns a device root and its IR
// like ardelremote does, and serves the HTTP API and the web remote.
#include <QCoreApplication>
#include <QDir>
#include <csignal>
#include <cstdio>

#include "ArdelVersion.h"
#include "app/daemon/CServiceHost.h"
#include "app/daemon/DaemonOptions.h"
#include "app/program/InstanceLock.h"
#include "app/program/ProgramFiles.h"
#include "app/program/RootOwner.h"
#include "mqtt/MqttSettings.h"
#include "platform/host/HostLircDevice.h"
#include "service/ServiceAccess.h"

namespace {

// SIGTERM (systemctl stop) and SIGINT end the event loop, so that a held send ends and the
// lock and the log are closed in order.
void Quit(int) {
    QCoreApplication::quit();
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    DaemonOptions options;
    options.root = DefaultDeviceRoot();
    QString error;
    if (!ParseDaemonOptions(args, options, error)) {
        std::fprintf(stderr, "ardelremoted: %s\n\n%s", qPrintable(error),
                     qPrintable(DaemonUsage()));
        return 2;
    }
    if (options.help) {
        std::printf("%s", qPrintable(DaemonUsage()));
        return 0;
    }
    if (options.version) {
        std::printf("ardelremoted %s\n", kProgramVersion);
        return 0;
    }
    if (!QDir().mkpath(options.root)) {
        std::fprintf(stderr, "ardelremoted: cannot make the folder %s\n", qPrintable(options.root));
        return 1;
    }
    if (options.showToken) {
        QString token;
        if (LoadOrCreateToken(options.root, token, error) != kTokenOk) {
            std::fprintf(stderr, "ardelremoted: %s\n", qPrintable(error));
            return 1;
        }
        std::printf("%s\n", qPrintable(token));
        return 0;
    }
    // One owner per device root, the program or the service, decided before the root is used.
    CInstanceLock lock(options.root.toStdString());
    if (!OwnRoot(lock, "ardelremoted", options.root)) {
        return 1;
    }
    if (!InstallProgramFiles(options.root.toStdString(), error)) {
        std::fprintf(stderr, "ardelremoted: %s\n", qPrintable(error));
        return 1;
    }
    ServiceHostOptions host;
    host.root = options.root;
    HostLircDevice probe;
    if (!ChooseIr(options.ir, "pxa255", probe, LircRoots{}, host.ir, error)) {
        std::fprintf(stderr, "ardelremoted: %s\n", qPrintable(error));
        return 2;
    }
    if (!options.emitterLog.isEmpty() && host.ir.lirc) {
        std::fprintf(stderr, "ardelremoted: --sim-emitter-log needs the simulated handheld\n");
        return 2;
    }
    host.address = options.address;
    host.port = options.port;
    host.emitterLog = options.emitterLog;
    if (!MqttSettingsOf(options.root, options.mqtt, host.mqtt, error)) {
        std::fprintf(stderr, "ardelremoted: %s\n", qPrintable(error));
        return 1;
    }
    CServiceHost service(host);
    if (!service.Start(error)) {
        std::fprintf(stderr, "ardelremoted: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("ardelremoted: serving %s on http://%s:%u/\n", qPrintable(host.ir.Description()),
                qPrintable(options.address.toString()), service.Port());
    std::fflush(stdout);
    std::signal(SIGTERM, Quit);
    std::signal(SIGINT, Quit);
    return app.exec();
}
