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
    std::optional<HostCodebase> target;
    if (codebase.Given()) {
        target.emplace(codebase.file);
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
    if (codebase.Given() && options.repeat != 0) {
        err << "ardelctl sim send: --repeat excludes --codebase (a stored button is pressed as "
               "on the remote)\n";
        return kCtlUsage;
    }
    const SimProfile* profile = ChipOption(options.chip, err);
    if (!profile) {
        return kCtlUsage;
    }
    SimHandheld handheld(*profile);
    const uint64_t holdNs = uint64_t{options.holdMs} * 1000000;
    SimSendOutcome outcome;
    if (codebase.Given()) {
        // The button is pressed as the remote presses it, through the same model.
        HostCodebase target(codebase.file);
        const QString button = QString::fromStdString(codebase.button);
        outcome = SimPress(handheld, target.Fs(), target.Path(), button, codebase.signal, holdNs);
        if (outcome.press.code == kOpNothingToSend) {
            err << "ardelctl sim send: "
                << StoreFailureText(outcome.press.store, target.Path(), button).toStdString()
                << "\n";
            return 1;
        }
    } else {
        SimSendRequest request;
        if (!ReadInput(options.file, io.in, request.durations, err)) {
            return kCtlUsage;
        }
        if (request.durations.size() > kMaxDurations) {
            err << "ardelctl sim send: " << request.durations.size()
                << " durations, but a signal holds at most " << kMaxDurations << "\n";
            return 2;
        }
        request.carrierPeriod = static_cast<uint8_t>(options.carrierUs);
        request.frameStart = static_cast<uint16_t>(std::max(options.frameStart, 0));
        request.repeat = options.repeat;
        request.holdNs = holdNs;
        outcome = SimSend(handheld, request);
    }
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
