#include "SimRun.h"

#include <algorithm>

#include "CCodebaseFile.h"
#include "IrFactory.h"

namespace {

// Makes `handheld` the current platform and gives its driver, for one run.
class DriverScope {
  public:
    explicit DriverScope(SimHandheld& handheld) {
        DestroyIrDriver();
        SetCurrentIrPlatform(&handheld);
        driver = GetIrDriver();
        if (driver) {
            driver->SetPortName(SimIrPortName(handheld.Profile()));
        }
    }
    ~DriverScope() {
        DestroyIrDriver();
        SetCurrentIrPlatform(nullptr);
    }
    DriverScope(const DriverScope&) = delete;
    DriverScope& operator=(const DriverScope&) = delete;

    CIrDriver* driver = nullptr;
};

}  // namespace

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
    DriverScope scope(handheld);
    if (!scope.driver) {
        outcome.result = kSimNoDriver;
        return outcome;
    }
    handheld.Air().Play(waveform, handheld.Clock().Now());
    outcome.result = scope.driver->Capture();
    scope.driver->ClosePort();
    if (outcome.result == 0) {
        uint8_t count = 0;
        scope.driver->GetSignal(outcome.durations, count, outcome.frameStart,
                                outcome.carrierPeriod);
    }
    return outcome;
}

SimSendOutcome SimSend(SimHandheld& handheld, const SimSendRequest& request) {
    SimSendOutcome outcome;
    DriverScope scope(handheld);
    if (!scope.driver) {
        outcome.result = kSimNoDriver;
        return outcome;
    }
    CIrDriver& driver = *scope.driver;
    driver.ClosePort();
    const uint8_t count =
        static_cast<uint8_t>(std::min<size_t>(request.durations.size(), kMaxDurations));
    outcome.result = driver.LoadSignal(request.durations.data(), count, request.frameStart,
                                       request.carrierPeriod);
    if (outcome.result == 0) {
        handheld.Air().ClearEmissions();
        handheld.HoldStylus(request.holdNs);
        outcome.result = driver.Send(request.repeat);
        outcome.passes = driver.LastPassCount();
        outcome.emitted = handheld.Air().Demodulate();
    }
    driver.ClosePort();
    return outcome;
}

int StoreLearnt(HandheldFs& fs, const QString& path, const std::string& button, int signal,
                const SimLearnOutcome& learnt) {
    CCodebaseFile codebase(&fs);
    if (codebase.Open(path, CPdbFile::kModeRead) != kPdbOk) {
        if (!codebase.CreateCodebase(path)) {
            return kCodebaseNotCreated;
        }
    } else if (!codebase.IsCodebase()) {
        return kCodebaseNotACodebase;
    }
    codebase.Close();
    if (codebase.Open(path, CPdbFile::kModeReadWrite) != kPdbOk) {
        return kCodebaseNotOpened;
    }
    const std::vector<int16_t> values =
        CCodebaseFile::DurationsToValues(learnt.durations.data(), learnt.durations.size());
    if (values.empty() ||
        !codebase.StoreSignal(values, learnt.frameStart, learnt.carrierPeriod,
                              ToFileBytes(QString::fromStdString(button)), signal)) {
        return kCodebaseNotStored;
    }
    return kCodebaseDone;
}

int LoadStored(HandheldFs& fs, const QString& path, const std::string& button, int signal,
               SimSendRequest& request) {
    CCodebaseFile codebase(&fs);
    if (codebase.Open(path, CPdbFile::kModeRead) != kPdbOk) {
        return kCodebaseNotOpened;
    }
    if (!codebase.IsCodebase()) {
        return kCodebaseNotACodebase;
    }
    const int index = codebase.FindButton(QString::fromStdString(button));
    if (index < 0) {
        return kCodebaseNoButton;
    }
    uint8_t count = 0;
    if (!codebase.ReadSignal(index, signal, request.durations, count, request.frameStart,
                             request.carrierPeriod)) {
        return kCodebaseNoSignal;
    }
    return kCodebaseDone;
}
