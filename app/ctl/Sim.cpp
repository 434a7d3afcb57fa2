// ardelctl sim learn / sim send: the IR engine on a simulated handheld.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/ctl/Commands.h"
#include "app/ctl/Durations.h"
#include "app/ctl/HostCodebase.h"
#include "app/ctl/LearnOutput.h"
#include "app/ctl/SimRun.h"
#include "ir/IrSignal.h"
#include "model/CRemoteModel.h"
#include "resources/Strings.h"

namespace {

std::string CodebaseMessage(int outcome, const CodebaseTarget& codebase) {
    const std::string file = "'" + codebase.file + "'";
    switch (outcome) {
        case kStoreNotCreated:
            return "Failure on creating the file. " + file +
                   " (a codebase file name ends in .PDB and has at most 34 characters)";
        case kStoreNotACodebase:
            return file + " is not a codebase";
        case kStoreNotOpened:
            return "cannot open " + file;
        case kStoreNotStored:
            return "the signal could not be stored in " + file;
        case kStoreNoButton:
            return "no button '" + codebase.button + "' in " + file;
        case kStoreNoSignal:
            return "button '" + codebase.button + "' in " + file + " holds no signal";
        default:
            return "codebase " + file + ": " + std::to_string(outcome);
    }
}

// The remote model over the folder of a codebase file on the host.
class CCodebaseModel {
  public:
    explicit CCodebaseModel(const CodebaseTarget& target)
        : host_(target.file), model_(Services(host_)) {}

    CRemoteModel& Model() { return model_; }
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
    const SimLearnOutcome outcome = SimLearn(handheld, wave);
    if (outcome.result == kSimNoDriver) {
        return NoDriver(*profile, err);
    }
    out << "result: " << outcome.result << "\n";
    out << "carrier_us: " << int(outcome.carrierPeriod) << "\n";
    out << "frame_start: " << int(outcome.frameStart) << "\n";
    out << "count: " << outcome.durations.size() << "\n";
    out << "durations: " << JoinDurations(outcome.durations.data(), outcome.durations.size())
        << "\n";
    if (outcome.result != 0) {
        return 1;
    }
    PrintLearnReport(outcome.report, outcome.check, out);
    if (outcome.report.cut && codebase.Given()) {
        err << "ardelctl sim learn: " << LoadString(kStrSignalCut) << "\n";
        return 1;
    }
    if (codebase.Given()) {
        IrSignal signal;
        signal.count = static_cast<uint8_t>(outcome.durations.size());
        std::copy(outcome.durations.begin(), outcome.durations.end(), signal.durations);
        signal.frameStart = outcome.frameStart;
        signal.carrierPeriod = outcome.carrierPeriod;
        CCodebaseModel target(codebase);
        bool created = false;
        const int stored = target.Model().StoreLearnt(
            target.Path(), QString::fromStdString(codebase.button), signal, codebase.signal,
            codebase.signalGiven ? LearnMode::Double : LearnMode::Single, created);
        if (stored != kStoreOk) {
            err << "ardelctl sim learn: " << CodebaseMessage(stored, codebase) << "\n";
            return 1;
        }
        out << "stored: " << codebase.button << " signal " << codebase.signal << "\n";
    }
    return 0;
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
            err << "ardelctl sim send: " << CodebaseMessage(loaded, codebase) << "\n";
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
    request.frameStart = static_cast<uint8_t>(frameStart);
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
