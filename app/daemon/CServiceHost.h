// ardelremoted's whole program without its main(): the device root on the host, the IR (the
// simulated handheld or the kernel's LIRC devices), the remote model, and the service's HTTP
// face on it. Tests and benchmarks make one on a loopback port.
#pragma once

#include <QHostAddress>
#include <QString>
#include <memory>

#include "app/program/IrChoice.h"

class CEmitterLog;
class CIrDriver;
class CIrDriverFactory;
class CLircIrDriver;
class CRemoteModel;
class CServiceApi;
class CServiceRemote;
class HostHandheldFs;
class HostLircDevice;
class LircClock;
class LircPlatform;
class SimHandheld;

struct ServiceHostOptions {
    QString root;
    IrChoice ir;  // settled already
    QHostAddress address = QHostAddress::LocalHost;
    quint16 port = 0;        // 0: any free port
    QString emitterLog;      // the simulated handheld's emitter log, when wanted
    bool pacedClock = true;  // the simulated handheld keeps pace with real time
    // Tests: another clock for the LIRC driver (the FUSE device's), and the token asked for
    // on loopback too.
    LircClock* lircClock = nullptr;
    bool forceToken = false;
};

class CServiceHost {
  public:
    explicit CServiceHost(const ServiceHostOptions& options);
    ~CServiceHost();
    CServiceHost(const CServiceHost&) = delete;
    CServiceHost& operator=(const CServiceHost&) = delete;

    // Reads or makes the token, opens the emitter log and starts listening; false with a
    // message when one of them fails.
    bool Start(QString& error);
    quint16 Port() const { return port_; }
    const QString& Token() const { return token_; }

    CRemoteModel& Model() { return *model_; }
    SimHandheld& Handheld() { return *handheld_; }
    CServiceRemote& Remote() { return *remote_; }
    // Clients listening to the event stream.
    int EventClients() const;

  private:
    CIrDriver* LircDriver(const std::string& transmitter, const std::string& receiver);

    ServiceHostOptions options_;
    std::unique_ptr<HostHandheldFs> fs_;
    std::unique_ptr<SimHandheld> handheld_;
    std::unique_ptr<CIrDriverFactory> drivers_;
    std::unique_ptr<HostLircDevice> lircTransmitter_;
    std::unique_ptr<HostLircDevice> lircReceiver_;
    std::unique_ptr<LircClock> lircClock_;
    std::unique_ptr<LircPlatform> lircPlatform_;
    std::unique_ptr<CLircIrDriver> lircDriver_;
    std::unique_ptr<CRemoteModel> model_;
    std::unique_ptr<CServiceRemote> remote_;
    std::unique_ptr<CEmitterLog> emitterLog_;
    std::unique_ptr<CServiceApi> api_;
    QString token_;
    quint16 port_ = 0;
};
