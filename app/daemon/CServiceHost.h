// ardelremoted's whole program without its main(): the device root on the host, the IR (the
// simulated handheld or the kernel's LIRC devices), the remote model, and the service's HTTP
// face on it. Tests and benchmarks make one on a loopback port.
#pragma once

#include <QHostAddress>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>

#include "app/program/IrChoice.h"
#include "app/program/ProgramIr.h"
#include "mqtt/MqttSettings.h"
#include "platform/sim/SimIrAir.h"

class CEmitterLog;
class CLircIrDriver;
class CMqttNode;
class CRemoteModel;
class CServiceApi;
class CServiceRemote;
class HostHandheldFs;
class LircClock;
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
    // The receiver is listened to between other work, for heard presses.
    bool listen = true;
    // The bridge to home automation; no bridge without a broker's URL.
    MqttSettings mqtt;
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
    // Where the bridge tells connection changes and refused commands (standard error when
    // unset); set before Start.
    std::function<void(const QString& line)> mqttLog;
    quint16 Port() const { return port_; }
    const QString& Token() const { return token_; }

    CRemoteModel& Model() { return *model_; }
    SimHandheld& Handheld() { return ir_->Handheld(); }
    CServiceRemote& Remote() { return *remote_; }
    // Clients listening to the event stream.
    int EventClients() const;
    // The node in home automation; null without a broker.
    CMqttNode* Mqtt() { return mqtt_.get(); }

    // A remote plays `waveform` at the simulated handheld's receiver, in its turn on the IR worker
    // (what a user does in front of the handheld; tests and demonstrations).
    void PlayAtReceiver(const RemoteWaveform& waveform);

  private:
    // How long a listening read of a LIRC receiver waits for a first pulse before the IR
    // worker looks for other work.
    static constexpr uint32_t kListenWaitMs = 250;
    void Listen();

    ServiceHostOptions options_;
    std::unique_ptr<HostHandheldFs> fs_;
    std::unique_ptr<CProgramIr> ir_;
    std::atomic<CLircIrDriver*> listeningLirc_{nullptr};  // a listening read runs on it
    std::unique_ptr<CRemoteModel> model_;
    std::unique_ptr<CServiceRemote> remote_;
    std::unique_ptr<CEmitterLog> emitterLog_;
    std::unique_ptr<CServiceApi> api_;
    std::unique_ptr<CMqttNode> mqtt_;
    QString token_;
    quint16 port_ = 0;
};
