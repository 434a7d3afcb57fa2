// ardelctl sim learn / sim send: the IR engine on a simulated handheld.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

#include "app/ctl/Commands.h"
#include "app/ctl/Durations.h"
#include "app/ctl/HostCodebase.h"
#include "app/ctl/LearnOutput.h"
#include "app/ctl/SimRun.h"
#include "ir/IrSignal.h"
#include "model/CRemoteModel.h"
#include "model/ResultText.h"

namespace {

// The remote model over the folder of a codebase file on the host.
class CCodebaseModel {
  public:
    explicit CCodebaseModel(const CodebaseTarget& target)
        : host_(target.file), model_(Services(host_)) {}

    CRemoteModel& Model() { return model_; }
    HandheldFs& Fs() { return host_.Fs(); }
    const QString& Path() const { return host_.Path(); }

  private:
    static RemoteServices Services(HostCodebase& host) {
        RemoteServices services;
        services.fs = &host.Fs();
        return services;
    }

    HostCodebase host_;
    CRemoteModel model_;
};

const SimProfile* ChipOption(const std::string& chip, std::ostream& err) {
    const SimProfile* profile = FindSimProfile(chip);
    if (!profile) {
        err << "ardelctl sim: unknown chip '" << chip << "'; chips: " << SimProfileIds() << "\n";
    }
    return profile;
}

// Reads the durations from FILE (standard input without it).
bool ReadInput(const std::string& file, std::istream& in, std::vector<int32_t>& durations,
               std::ostream& err) {
    std::string error;
    if (!ReadDurationsFrom(file, in, durations, error)) {
        err << "ardelctl sim: " << error << "\n";
        return false;
    }
    if (durations.empty()) {
        err << "ardelctl sim: no durations given\n";
        return false;
    }
    return true;
}

int NoDriver(const SimProfile& profile, std::ostream& err) {
    err << "ardelctl sim: the " << profile.description << " has no IR driver\n";
    return 1;
}

}  // namespace

int SimLearnCommand(const SimLearnOptions& options, CtlStreams io) {
    std::ostream& out = io.out;
    std::ostream& err = io.err;
    const CodebaseTarget& codebase = options.codebase;
    const SimProfile* profile = ChipOption(options.chip, err);
    RemoteWaveform wave;
    if (!profile || !ReadInput(options.file, io.in, wave.durations, err)) {
        return kCtlUsage;
    }
    if (wave.durations[0] < 0) {
        err << "ardelctl sim learn: the remote's signal must start with a mark\n";
        return kCtlUsage;
    }
    wave.carrierHz = options.carrierHz;
    wave.dutyPercent = options.dutyPercent;
    wave.delayNs = uint64_t{options.delayMs} * 1000000;

    SimHandheld handheld(*profile);
    std::optional<CCodebaseModel> target;
    if (codebase.Given()) {
        target.emplace(codebase);
    }
    const SimLearnOutcome outcome =
        SimLearn(handheld, wave, target ? &target->Fs() : nullptr,
                 LearnRequestFor(codebase, target ? target->Path() : QString()));
    if (outcome.result == kSimNoDriver) {
        return NoDriver(*profile, err);
    }
    return PrintLearnOutcome("sim learn", outcome.learn, codebase, out, err);
}

int SimSendCommand(const SimSendOptions& options, CtlStreams io) {
    std::ostream& out = io.out;
    std::ostream& err = io.err;
    const CodebaseTarget& codebase = options.codebase;
    if (!codebase.Given() && options.carrierUs < 0) {
        err << "ardelctl sim send: --carrier-us is missing (or --codebase)\n";
        return kCtlUsage;
    }
    const SimProfile* profile = ChipOption(options.chip, err);
    int carrier = options.carrierUs;
    int frameStart = std::max(options.frameStart, 0);
    SimSendRequest request;
    if (!profile) {
        return kCtlUsage;
    }
    if (codebase.Given()) {
        CCodebaseModel target(codebase);
        IrSignal signal;
        const int loaded = target.Model().ReadButton(
            target.Path(), QString::fromStdString(codebase.button), codebase.signal, signal);
        if (loaded != kStoreOk) {
            err << "ardelctl sim send: "
                << StoreFailureText(static_cast<StoreResult>(loaded), target.Path(),
                                    QString::fromStdString(codebase.button))
                       .toStdString()
                << "\n";
            return 1;
        }
        request.durations.assign(signal.durations, signal.durations + signal.count);
        carrier = signal.carrierPeriod;
        frameStart = signal.frameStart;
    } else if (!ReadInput(options.file, io.in, request.durations, err)) {
        return kCtlUsage;
    }
    if (!codebase.Given() && request.durations.size() > kMaxDurations) {
        err << "ardelctl sim send: " << request.durations.size()
            << " durations, but a signal holds at most " << kMaxDurations << "\n";
        return 2;
    }
    request.carrierPeriod = static_cast<uint8_t>(carrier);
    request.frameStart = static_cast<uint16_t>(frameStart);
    request.repeat = options.repeat;
    request.holdNs = uint64_t{options.holdMs} * 1000000;

    SimHandheld handheld(*profile);
    const SimSendOutcome outcome = SimSend(handheld, request);
    if (outcome.result == kSimNoDriver) {
        return NoDriver(*profile, err);
    }
    out << "result: " << outcome.result << "\n";
    out << "carrier_us: " << outcome.emitted.carrierPeriodUs << "\n";
    out << "passes: " << outcome.passes << "\n";
    out << "emitted: "
        << JoinDurations(outcome.emitted.durations.data(), outcome.emitted.durations.size())
        << "\n";
    return outcome.result == 0 ? 0 : 1;
}
