#include "app/ctl/LircCommands.h"

#include <cstring>
#include <vector>

#include "app/ctl/Durations.h"
#include "app/ctl/HostCodebase.h"
#include "app/ctl/LearnOutput.h"
#include "ir/CLircIrDriver.h"
#include "ir/IrResult.h"
#include "model/CRemoteModel.h"
#include "platform/host/LircPlatform.h"
#include "resources/Strings.h"

namespace {

// A message on the error stream for a failed driver call.
void Report(const char* command, int result, CLircIrDriver& driver, std::ostream& err) {
    err << "ardelctl lirc " << command << ": " << driver.ErrorText(result) << "\n";
}

// The remote model over a LIRC driver, its files in the folder of the codebase file (none
// without one). The device path stands for the port: the driver knows its devices.
class CLircRun {
  public:
    CLircRun(CLircIrDriver& driver, const CodebaseTarget& codebase, const std::string& device)
        : host_(codebase.Given() ? codebase.file : std::string("./-")),
          model_(Services(driver, host_)) {
        model_.SetIrPort(device);
    }

    CRemoteModel& Model() { return model_; }
    const QString& CodebasePath() const { return host_.Path(); }

  private:
    static RemoteServices Services(CLircIrDriver& driver, HostCodebase& host) {
        RemoteServices services;
        services.fs = &host.Fs();
        services.driver = [&driver]() -> CIrDriver* { return &driver; };
        return services;
    }

    HostCodebase host_;
    CRemoteModel model_;
};

const char* StoreMessage(int result) {
    switch (result) {
        case kStoreNotCreated:
            return "the file cannot be created (a codebase file name ends in .PDB)";
        case kStoreNotACodebase:
            return "it is not a codebase";
        case kStoreNoButton:
            return "it has no such button";
        case kStoreNoSignal:
            return "the button holds no signal";
        default:
            return "it cannot be opened or changed";
    }
}

}  // namespace

int RunLircList(const LircListOptions& options, LircServices& services, std::ostream& out,
                std::ostream& err) {
    const std::vector<LircDeviceInfo> devices =
        ListLircDevices(services.probe, services.roots, options.paths);
    if (devices.empty()) {
        // An empty list alone reads like a command that did nothing.
        err << "ardelctl lirc list: no LIRC device found (the kernel makes " << services.roots.dev
            << "/lircN for each IR transmitter or receiver it drives)\n";
    }
    for (const LircDeviceInfo& info : devices) {
        out << info.path << "\t" << (info.driverName.empty() ? "-" : info.driverName) << "\t"
            << (info.openError == 0 ? info.FeatureList() : "-") << "\n";
        if (info.openError != 0) {
            err << "ardelctl lirc list: " << info.path << ": " << std::strerror(info.openError);
            const std::string group = services.probe.OwnerGroup(info.path);
            if (info.openError == EACCES && !group.empty()) {
                err << " (the device belongs to the group '" << group << "')";
            }
            err << "\n";
        }
    }
    return 0;
}

int RunLircLearn(const LircLearnOptions& options, LircServices& services, std::ostream& out,
                 std::ostream& err) {
    if (options.device.empty()) {
        err << "ardelctl lirc learn: --device is missing\n";
        return 2;
    }
    LircPlatform platform;
    CLircIrDriver driver(platform, services.transmitter, services.receiver, services.clock);
    driver.SetDevices("", options.device);
    driver.SetLearnTimeoutMs(options.timeoutMs);
    CLircRun run(driver, options.codebase, options.device);
    CRemoteModel& model = run.Model();
    const int result = model.Capture(QString::fromStdString(options.codebase.button), 0);
    const IrSignal signal = result == kIrOk ? model.CapturedSignal() : IrSignal{};
    const LearnReport report = result == kIrOk ? model.CapturedReport() : LearnReport{};
    model.ClosePort();
    // A receiver that measures no carrier leaves it to the protocol the signal is in.
    const IrSignal withCarrier = result == kIrOk ? CRemoteModel::WithCarrier(signal) : signal;
    out << "result: " << result << "\n";
    out << "carrier_us: " << int(withCarrier.carrierPeriod) << "\n";
    out << "frame_start: " << int(signal.frameStart) << "\n";
    out << "count: " << int(signal.count) << "\n";
    out << "durations: " << JoinDurations(signal.durations, signal.count) << "\n";
    if (result != kIrOk) {
        Report("learn", result, driver, err);
        return 1;
    }
    // The LIRC receiver and transmitter are not known to face each other: no learning check.
    PrintLearnReport(report, LearnCheck{}, out);
    if (report.cut && options.codebase.Given()) {
        err << "ardelctl lirc learn: " << LoadString(kStrSignalCut) << "\n";
        return 1;
    }
    if (options.codebase.Given()) {
        bool created = false;
        const int stored = model.StoreLearnt(
            run.CodebasePath(), QString::fromStdString(options.codebase.button), signal,
            options.codebase.signal,
            options.codebase.signalGiven ? LearnMode::Double : LearnMode::Single, created);
        if (stored != kStoreOk) {
            err << "ardelctl lirc learn: the signal could not be stored in '"
                << options.codebase.file << "': " << StoreMessage(stored) << "\n";
            return 1;
        }
        out << "stored: " << options.codebase.button << " signal " << options.codebase.signal
            << "\n";
    }
    return 0;
}

int RunLircSend(const LircSendOptions& options, LircServices& services, std::istream& in,
                std::ostream& out, std::ostream& err) {
    if (options.device.empty()) {
        err << "ardelctl lirc send: --device is missing\n";
        return 2;
    }
    if (options.frameStart > 255 || options.repeat > 0xFFFF) {
        err << "ardelctl lirc send: --frame-start must be 0 to 255 and --repeat 0 to 65535\n";
        return 2;
    }
    // The button counts as held for --hold-ms from the start of the send.
    uint64_t releaseUs = 0;
    LircPlatform platform([&] { return services.clock.NowUs() < releaseUs; });
    CLircIrDriver driver(platform, services.transmitter, services.receiver, services.clock);
    driver.SetDevices(options.device, "");
    CLircRun run(driver, options.codebase, options.device);
    CRemoteModel& model = run.Model();

    IrSignal signal;
    if (options.codebase.Given()) {
        const int read =
            model.ReadButton(run.CodebasePath(), QString::fromStdString(options.codebase.button),
                             options.codebase.signal, signal);
        if (read != kStoreOk) {
            err << "ardelctl lirc send: no signal of '" << options.codebase.button << "' in '"
                << options.codebase.file << "': " << StoreMessage(read) << "\n";
            return 1;
        }
    } else {
        if (options.carrierUs == 0 || options.carrierUs > 255) {
            err << "ardelctl lirc send: --carrier-us must be 1 to 255\n";
            return 2;
        }
        std::vector<int32_t> durations;
        std::string error;
        if (!ReadDurationsFrom(options.file, in, durations, error)) {
            err << "ardelctl lirc send: " << error << "\n";
            return 2;
        }
        if (durations.empty() || durations.size() > kMaxDurations) {
            err << "ardelctl lirc send: " << durations.size() << " durations; a signal holds 1 to "
                << kMaxDurations << "\n";
            return 2;
        }
        signal.count = static_cast<uint8_t>(durations.size());
        std::copy(durations.begin(), durations.end(), signal.durations);
        signal.frameStart = static_cast<uint8_t>(options.frameStart);
        signal.carrierPeriod = static_cast<uint8_t>(options.carrierUs);
    }
    int result = model.Load(signal);
    if (result == kIrOk) {
        releaseUs = services.clock.NowUs() + uint64_t{options.holdMs} * 1000;
        result = model.Send(static_cast<uint16_t>(options.repeat));
    }
    model.ClosePort();
    out << "result: " << result << "\n";
    if (result != kIrOk) {
        Report("send", result, driver, err);
        return 1;
    }
    return 0;
}
