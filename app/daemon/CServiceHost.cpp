#include "app/daemon/CServiceHost.h"

#include "app/program/IrChoice.h"

#include "ArdelVersion.h"
#include "app/program/ProgramIr.h"
#include "app/program/SimRemoteHand.h"
#include "ir/CLircIrDriver.h"
#include "model/CRemoteModel.h"
#include "mqtt/CMqttNode.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/sim/SimHandheld.h"
#include "service/CServiceApi.h"
#include "service/CServiceRemote.h"
#include "service/EmitterLog.h"
#include "service/ServiceAccess.h"
#include "store/Catalogue.h"
#include "store/PrefFile.h"

CServiceHost::CServiceHost(const ServiceHostOptions& options) : options_(options) {
    fs_ = std::make_unique<HostHandheldFs>(options.root.toStdString());
    // A press held from a page or with hold_ms is the stylus held on the handheld.
    ir_ = std::make_unique<CProgramIr>(
        options.ir, [this] { return remote_ && remote_->IsHeld(); }, options.lircClock);
    RemoteServices services;
    services.fs = fs_.get();
    services.driver = [this] { return ir_->DriverFor(model_->IrPort()); };
    model_ = std::make_unique<CRemoteModel>(std::move(services));
    const HandheldFolders folders = FoldersFor(QString::fromStdString(fs_->ProgramPath()));
    model_->SetFolders(folders.baseFolder,
                       folders.baseFolder + DefaultPrefFileName(folders.programName));
    EnsurePrefFiles(*fs_, folders.baseFolder, folders.programName);
    model_->LoadState();
    // The IR named on the command line wins over the port kept in the preference file.
    model_->SetIrPort(ir_->StartPort());
    InstallSimRemoteHand(Handheld(), *model_);
    remote_ = std::make_unique<CServiceRemote>(*model_);
    Handheld().SetStylusSource([remote = remote_.get()] { return remote->IsHeld(); });
    Handheld().Clock().SetPaced(options.pacedClock);
    if (options.listen) {
        Listen();
    }
}

void CServiceHost::Listen() {
    ReceiverHooks hooks;
    // These run on the model's IR worker, which alone drives the handheld.
    hooks.signalComing = [this] {
        std::string transmitter, receiver;
        if (LircPortDevices(model_->IrPort(), transmitter, receiver)) {
            return !receiver.empty();
        }
        return Handheld().Air().NextPulseAfter(Handheld().Clock().Now()) != SimIrAir::kNever;
    };
    hooks.beforeRead = [this] {
        std::string transmitter, receiver;
        if (ir_->Lirc() && LircPortDevices(model_->IrPort(), transmitter, receiver)) {
            ir_->Lirc()->SetLearnTimeoutMs(kListenWaitMs);
            listeningLirc_ = ir_->Lirc();
        }
    };
    hooks.afterRead = [this] {
        if (CLircIrDriver* driver = listeningLirc_.exchange(nullptr)) {
            driver->SetLearnTimeoutMs(CLircIrDriver::kLearnTimeoutMs);
        }
    };
    remote_->Listen(std::move(hooks));
}

CServiceHost::~CServiceHost() {
    mqtt_.reset();
    api_.reset();
    remote_.reset();  // the service's IR work is over before the drivers go
    emitterLog_.reset();
    model_.reset();
    ir_.reset();
}

bool CServiceHost::Start(QString& error) {
    if (LoadOrCreateToken(options_.root, token_, error) != kTokenOk) {
        return false;
    }
    if (!options_.emitterLog.isEmpty()) {
        emitterLog_ = std::make_unique<CEmitterLog>();
        std::string why;
        if (!emitterLog_->Attach(Handheld(), options_.emitterLog.toStdString(), why)) {
            error = QString::fromStdString(why);
            return false;
        }
    }
    ServiceSettings settings;
    settings.loopbackListener = options_.address.isLoopback();
    settings.tokenRequired = options_.forceToken || !settings.loopbackListener;
    settings.token = token_;
    settings.version = QString::fromLatin1(kProgramVersion);
    settings.ir = options_.ir.Description();
    settings.root = options_.root;
    api_ = std::make_unique<CServiceApi>(*remote_, settings);
    port_ = api_->listen(options_.address, options_.port);
    if (port_ == 0) {
        error = QStringLiteral("cannot listen on %1:%2")
                    .arg(options_.address.toString())
                    .arg(options_.port);
        return false;
    }
    if (!options_.mqtt.url.isEmpty()) {
        std::string transmitter, receiver;
        const bool hasReceiver =
            !options_.ir.lirc ||
            (LircPortDevices(options_.ir.Port(), transmitter, receiver) && !receiver.empty());
        mqtt_ =
            std::make_unique<CMqttNode>(*remote_, options_.mqtt, options_.listen && hasReceiver);
        if (!mqtt_->Start(error, mqttLog)) {
            mqtt_.reset();
            return false;
        }
    }
    return true;
}

void CServiceHost::PlayAtReceiver(const RemoteWaveform& waveform) {
    remote_->RunOnIrThread(
        [this, waveform] { Handheld().Air().Play(waveform, Handheld().Clock().Now()); });
}

int CServiceHost::EventClients() const {
    return api_ ? api_->EventClients() : 0;
}
