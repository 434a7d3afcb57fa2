#include "app/ctl/SimRun.h"

#include <algorithm>

#include "ir/IrFactory.h"
#include "model/CRemoteModel.h"
#include "platform/HandheldFs.h"

namespace {

// The files of a run that stores nothing: every file is missing.
class CNoFiles : public HandheldFs {
  public:
    std::unique_ptr<HandheldFile> Open(const std::string&, FsOpen, FsError& error) override {
        error = FsError::NotFound;
        return nullptr;
    }
    FsError Rename(const std::string&, const std::string&, bool) override {
        return FsError::NotFound;
    }
    FsError Remove(const std::string&) override { return FsError::NotFound; }
    FsError CreateFolder(const std::string&) override { return FsError::NotFound; }
    bool FileExists(const std::string&) override { return false; }
    std::vector<std::string> ListFiles(const std::string&, const std::string&) override {
        return {};
    }
    uint64_t SystemTime() override { return 0; }
    std::string ProgramPath() override { return "\\ardelctl.exe"; }
};

// The remote model of one run: the handheld's driver on its IrDA port. Nothing is stored,
// so the files are an empty stand-in.
class CSimRun {
  public:
    explicit CSimRun(SimHandheld& handheld) : drivers_(handheld), model_(Services(drivers_, fs_)) {
        model_.SetIrPort(SimIrPortName(handheld.Profile()));
    }

    CRemoteModel& Model() { return model_; }

  private:
    static RemoteServices Services(CIrDriverFactory& drivers, HandheldFs& fs) {
        RemoteServices services;
        services.fs = &fs;
        services.driver = [&drivers] { return drivers.GetIrDriver(); };
        return services;
    }

    CIrDriverFactory drivers_;
    CNoFiles fs_;
    CRemoteModel model_;
};

}  // namespace

void InstallSimOwnReceiver(SimHandheld& handheld, CRemoteModel& model) {
    model.ownReceiver.listen = [&handheld] { handheld.ListenToOwnEmitter(); };
    model.ownReceiver.hear = [&handheld] { return handheld.HearOwnEmitter(); };
}

std::string SimIrPortName(const SimProfile& profile) {
    for (const SimComPort& port : profile.comPorts) {
        if (port.irda) {
            return port.name;
        }
    }
    return "COM1:";
}

SimLearnOutcome SimLearn(SimHandheld& handheld, const RemoteWaveform& waveform) {
    SimLearnOutcome outcome;
    CSimRun run(handheld);
    CRemoteModel& model = run.Model();
    if (!model.Driver()) {
        outcome.result = kSimNoDriver;
        return outcome;
    }
    model.beforeCapture = [&handheld, &waveform](const QString&, int) {
        handheld.Air().Play(waveform, handheld.Clock().Now());
    };
    outcome.result = model.Capture(QString(), 0);
    model.ClosePort();
    if (outcome.result == 0) {
        const IrSignal signal = model.CapturedSignal();
        outcome.durations.assign(signal.durations, signal.durations + signal.count);
        outcome.frameStart = signal.frameStart;
        outcome.carrierPeriod = signal.carrierPeriod;
        outcome.report = model.CapturedReport();
        if (!outcome.report.cut) {
            InstallSimOwnReceiver(handheld, model);
            outcome.check = model.CheckLearnt(signal);
        }
    }
    return outcome;
}

SimSendOutcome SimSend(SimHandheld& handheld, const SimSendRequest& request) {
    SimSendOutcome outcome;
    CSimRun run(handheld);
    CRemoteModel& model = run.Model();
    if (!model.Driver()) {
        outcome.result = kSimNoDriver;
        return outcome;
    }
    IrSignal signal;
    signal.count = static_cast<uint8_t>(std::min<size_t>(request.durations.size(), kMaxDurations));
    std::copy_n(request.durations.begin(), signal.count, signal.durations);
    signal.frameStart = request.frameStart;
    signal.carrierPeriod = request.carrierPeriod;
    outcome.result = model.Load(signal);
    if (outcome.result == 0) {
        handheld.Air().ClearEmissions();
        handheld.HoldStylus(request.holdNs);
        outcome.result = model.Send(request.repeat);
        outcome.passes = model.Driver()->LastPassCount();
        outcome.emitted = handheld.Air().Demodulate();
    }
    model.ClosePort();
    return outcome;
}
