#include "app/ctl/SimRun.h"

#include <algorithm>
#include <functional>

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

// The remote model of one run: the handheld's driver on its IrDA port, and the files given
// (an empty stand-in when the run stores nothing).
class CSimRun {
  public:
    explicit CSimRun(SimHandheld& handheld, HandheldFs* files = nullptr)
        : drivers_(handheld), model_(Services(drivers_, files ? *files : fs_)) {
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

// Reads are the device's remote playing its waveform to the handheld.
class CSimRemoteFace : public LearnFace {
  public:
    int Read(const LearnStep&, const std::function<int()>& read) override { return read(); }
};

SimLearnOutcome SimLearn(SimHandheld& handheld, const RemoteWaveform& waveform, HandheldFs* files,
                         const LearnRequest& request) {
    SimLearnOutcome outcome;
    CSimRun run(handheld, files);
    CRemoteModel& model = run.Model();
    if (!model.Driver()) {
        outcome.result = kSimNoDriver;
        return outcome;
    }
    model.beforeCapture = [&handheld, &waveform](const QString&, int) {
        handheld.Air().Play(waveform, handheld.Clock().Now());
    };
    InstallSimOwnReceiver(handheld, model);
    CSimRemoteFace face;
    outcome.learn = model.LearnButton(request, face);
    outcome.result = outcome.learn.ir.result;
    if (!outcome.learn.learnt.empty()) {
        const IrSignal& signal = outcome.learn.learnt.front();
        outcome.durations.assign(signal.durations, signal.durations + signal.count);
        outcome.frameStart = signal.frameStart;
        outcome.carrierPeriod = signal.carrierPeriod;
        outcome.report = outcome.learn.reports.front();
    }
    if (!outcome.learn.checks.empty()) {
        outcome.check = outcome.learn.checks.front();
    }
    return outcome;
}

namespace {

// Runs `send` (a send or a press of the model, which calls its argument once the signal is
// loaded) with the stylus down for `holdNs` from then on; what the emitter sent comes back
// demodulated.
using ModelSend = std::function<PressOutcome(CRemoteModel&, const std::function<void()>&)>;
SimSendOutcome RunSend(SimHandheld& handheld, HandheldFs* files, uint64_t holdNs,
                       const ModelSend& send) {
    SimSendOutcome outcome;
    CSimRun run(handheld, files);
    CRemoteModel& model = run.Model();
    if (!model.Driver()) {
        outcome.result = kSimNoDriver;
        return outcome;
    }
    bool sent = false;
    outcome.press = send(model, [&] {
        handheld.Air().ClearEmissions();
        handheld.HoldStylus(holdNs);
        sent = true;
    });
    outcome.result = outcome.press.ir.result;
    outcome.passes = outcome.press.passes;
    if (sent) {
        outcome.emitted = handheld.Air().Demodulate();
    }
    return outcome;
}

}  // namespace

SimSendOutcome SimSend(SimHandheld& handheld, const SimSendRequest& request) {
    const IrSignal signal =
        MakeIrSignal(request.durations, request.frameStart, request.carrierPeriod);
    return RunSend(handheld, nullptr, request.holdNs,
                   [&](CRemoteModel& model, const std::function<void()>& beforeSend) {
                       return model.SendSignal(signal, request.repeat, beforeSend);
                   });
}

SimSendOutcome SimPress(SimHandheld& handheld, HandheldFs& files, const QString& path,
                        const QString& button, int which, uint64_t holdNs) {
    return RunSend(handheld, &files, holdNs,
                   [&](CRemoteModel& model, const std::function<void()>& beforeSend) {
                       return model.PressButton(path, button, which, PressSource::Pen, beforeSend);
                   });
}
