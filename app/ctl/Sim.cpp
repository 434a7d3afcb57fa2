// ardelctl sim learn / sim send: the IR engine on a simulated handheld.
#include <cstdint>
#include <vector>

#include "Commands.h"
#include "Durations.h"
#include "HostCodebase.h"
#include "IrSignal.h"
#include "Options.h"
#include "SimRun.h"

namespace {

constexpr const char* kLearnUsage =
    "usage: ardelctl sim learn --chip CHIP --carrier HZ [--duty PERCENT] [--delay-ms N]\n"
    "         [--codebase FILE --button NAME [--signal 1|2]] [FILE]";
constexpr const char* kSendUsage =
    "usage: ardelctl sim send --chip CHIP --carrier-us N [--frame-start N] [--repeat N] "
    "[--hold-ms N] [FILE]\n"
    "       ardelctl sim send --chip CHIP --codebase FILE --button NAME [--signal 1|2] "
    "[--repeat N] [--hold-ms N]";

// The --codebase, --button and --signal options: all or none of the first two.
struct CodebaseOption {
    bool given = false;
    std::string file;
    std::string button;
    int signal = 1;
};

bool ReadCodebaseOption(const CtlOptions& options, CodebaseOption& codebase, std::string& error) {
    codebase.given = options.Has("--codebase") || options.Has("--button");
    if (!codebase.given) {
        if (options.Has("--signal")) {
            error = "--signal needs --codebase and --button";
            return false;
        }
        return true;
    }
    if (!options.Has("--codebase") || !options.Has("--button")) {
        error = "--codebase and --button go together";
        return false;
    }
    codebase.file = options.Text("--codebase");
    codebase.button = options.Text("--button");
    if (codebase.button.empty()) {
        error = "--button needs a name";
        return false;
    }
    int64_t signal = 1;
    if (!options.Number("--signal", 1, 2, 1, signal, error)) {
        return false;
    }
    codebase.signal = static_cast<int>(signal);
    return true;
}

std::string CodebaseMessage(int outcome, const CodebaseOption& codebase) {
    const std::string file = "'" + codebase.file + "'";
    switch (outcome) {
        case kCodebaseNotCreated:
            return "Failure on creating the file. " + file +
                   " (a codebase file name ends in .PDB and has at most 34 characters)";
        case kCodebaseNotACodebase:
            return file + " is not a codebase";
        case kCodebaseNotOpened:
            return "cannot open " + file;
        case kCodebaseNotStored:
            return "the signal could not be stored in " + file;
        case kCodebaseNoButton:
            return "no button '" + codebase.button + "' in " + file;
        case kCodebaseNoSignal:
            return "button '" + codebase.button + "' in " + file + " holds no signal";
        default:
            return "codebase " + file + ": " + std::to_string(outcome);
    }
}

const SimProfile* ChipOption(const CtlOptions& options, std::ostream& err) {
    if (!options.Has("--chip")) {
        err << "ardelctl sim: --chip is missing; chips: " << SimProfileIds() << "\n";
        return nullptr;
    }
    const SimProfile* profile = FindSimProfile(options.Text("--chip"));
    if (!profile) {
        err << "ardelctl sim: unknown chip '" << options.Text("--chip")
            << "'; chips: " << SimProfileIds() << "\n";
    }
    return profile;
}

// Reads the one optional FILE argument (standard input without it).
bool ReadInput(const CtlOptions& options, std::istream& in, std::vector<int32_t>& durations,
               std::ostream& err, const char* usage) {
    if (options.Positional().size() > 1) {
        err << usage << "\n";
        return false;
    }
    std::string error;
    const std::string path = options.Positional().empty() ? "" : options.Positional()[0];
    if (!ReadDurationsFrom(path, in, durations, error)) {
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

int Learn(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    CtlOptions options;
    std::string error;
    int64_t carrier = 0, duty = 0, delayMs = 0;
    CodebaseOption codebase;
    if (!options.Parse(
            args,
            {"--chip", "--carrier", "--duty", "--delay-ms", "--codebase", "--button", "--signal"},
            error) ||
        !options.Number("--carrier", 1000, 1000000, 0, carrier, error) ||
        !options.Number("--duty", 1, 99, 33, duty, error) ||
        !options.Number("--delay-ms", 0, 3600000, 500, delayMs, error) ||
        !ReadCodebaseOption(options, codebase, error)) {
        err << "ardelctl sim learn: " << error << "\n" << kLearnUsage << "\n";
        return 2;
    }
    if (!options.Has("--carrier")) {
        err << "ardelctl sim learn: --carrier is missing\n" << kLearnUsage << "\n";
        return 2;
    }
    const SimProfile* profile = ChipOption(options, err);
    RemoteWaveform wave;
    if (!profile || !ReadInput(options, in, wave.durations, err, kLearnUsage)) {
        return 2;
    }
    if (wave.durations[0] < 0) {
        err << "ardelctl sim learn: the remote's signal must start with a mark\n";
        return 2;
    }
    wave.carrierHz = static_cast<uint32_t>(carrier);
    wave.dutyPercent = static_cast<uint32_t>(duty);
    wave.delayNs = static_cast<uint64_t>(delayMs) * 1000000;

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
    if (codebase.given) {
        HostCodebase host(codebase.file);
        const int stored =
            StoreLearnt(host.Fs(), host.Path(), codebase.button, codebase.signal, outcome);
        if (stored != kCodebaseDone) {
            err << "ardelctl sim learn: " << CodebaseMessage(stored, codebase) << "\n";
            return 1;
        }
        out << "stored: " << codebase.button << " signal " << codebase.signal << "\n";
    }
    return 0;
}

int Send(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    CtlOptions options;
    std::string error;
    int64_t carrier = 0, frameStart = 0, repeat = 0, holdMs = 0;
    CodebaseOption codebase;
    if (!options.Parse(args,
                       {"--chip", "--carrier-us", "--frame-start", "--repeat", "--hold-ms",
                        "--codebase", "--button", "--signal"},
                       error) ||
        !options.Number("--carrier-us", 0, 255, 0, carrier, error) ||
        !options.Number("--frame-start", 0, 255, 0, frameStart, error) ||
        !options.Number("--repeat", 0, 65535, 0, repeat, error) ||
        !options.Number("--hold-ms", 0, 3600000, 0, holdMs, error) ||
        !ReadCodebaseOption(options, codebase, error)) {
        err << "ardelctl sim send: " << error << "\n" << kSendUsage << "\n";
        return 2;
    }
    if (codebase.given && (options.Has("--carrier-us") || options.Has("--frame-start") ||
                           !options.Positional().empty())) {
        err << "ardelctl sim send: with --codebase the signal comes from the codebase\n"
            << kSendUsage << "\n";
        return 2;
    }
    if (!codebase.given && !options.Has("--carrier-us")) {
        err << "ardelctl sim send: --carrier-us is missing\n" << kSendUsage << "\n";
        return 2;
    }
    const SimProfile* profile = ChipOption(options, err);
    SimSendRequest request;
    if (!profile) {
        return 2;
    }
    if (codebase.given) {
        HostCodebase host(codebase.file);
        const int loaded =
            LoadStored(host.Fs(), host.Path(), codebase.button, codebase.signal, request);
        if (loaded != kCodebaseDone) {
            err << "ardelctl sim send: " << CodebaseMessage(loaded, codebase) << "\n";
            return 1;
        }
        carrier = request.carrierPeriod;
        frameStart = request.frameStart;
    } else if (!ReadInput(options, in, request.durations, err, kSendUsage)) {
        return 2;
    }
    if (!codebase.given && request.durations.size() > kMaxDurations) {
        err << "ardelctl sim send: " << request.durations.size()
            << " durations, but a signal holds at most " << kMaxDurations << "\n";
        return 2;
    }
    request.carrierPeriod = static_cast<uint8_t>(carrier);
    request.frameStart = static_cast<uint8_t>(frameStart);
    request.repeat = static_cast<uint16_t>(repeat);
    request.holdNs = static_cast<uint64_t>(holdMs) * 1000000;

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

}  // namespace

int RunSim(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "learn") {
        return Learn(CtlArgs(args.begin() + 1, args.end()), in, out, err);
    }
    if (!args.empty() && args[0] == "send") {
        return Send(CtlArgs(args.begin() + 1, args.end()), in, out, err);
    }
    err << kLearnUsage << "\n" << kSendUsage << "\n";
    return 2;
}
