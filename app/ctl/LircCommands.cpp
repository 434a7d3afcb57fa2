#include "app/ctl/LircCommands.h"

#include <cstring>
#include <vector>

#include "app/ctl/Durations.h"
#include "app/ctl/HostCodebase.h"
#include "app/ctl/LearnOutput.h"
#include "ir/CLircIrDriver.h"
#include "ir/IrResult.h"
#include "model/CRemoteModel.h"
#include "model/ResultText.h"
#include "platform/host/LircPlatform.h"

namespace {

// A message on the error stream for a failed send.
void Report(const char* command, const IrFailure& failure, std::ostream& err) {
    err << "ardelctl lirc " << command << ": "
        << IrFailureText(failure, IrAction::Send).toStdString() << "\n";
}

// Reads are the receiver waiting for the remote.
class CReceiverFace : public LearnFace {
  public:
    int Read(const LearnStep&, const std::function<int()>& read) override { return read(); }
};

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
    // The LIRC receiver and transmitter are not known to face each other: the model has no
    // own receiver, so the learning check is skipped.
    CReceiverFace face;
    const LearnOutcome outcome =
        run.Model().LearnButton(LearnRequestFor(options.codebase, run.CodebasePath()), face);
    return PrintLearnOutcome("lirc learn", outcome, options.codebase, out, err);
}

int SendThroughLirc(LircServices& services, const std::string& device,
                    const CodebaseTarget& codebase, uint32_t holdMs, const LircPress& press,
                    std::ostream& out, std::ostream& err) {
    uint64_t releaseUs = 0;
    LircPlatform platform([&] { return services.clock.NowUs() < releaseUs; });
    CLircIrDriver driver(platform, services.transmitter, services.receiver, services.clock);
    driver.SetDevices(device, "");
    CLircRun run(driver, codebase, device);
    PressOutcome sent;
    const int status = press(
        run.Model(), run.CodebasePath(),
        [&] { releaseUs = services.clock.NowUs() + uint64_t{holdMs} * 1000; }, sent);
    if (status != 0) {
        return status;
    }
    out << "result: " << sent.ir.result << "\n";
    if (sent.code != kOpOk) {
        Report("send", sent.ir, err);
        return 1;
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
    const auto press = [&](CRemoteModel& model, const QString& codebasePath,
                           const std::function<void()>& holdFromNow, PressOutcome& sent) -> int {
        if (options.codebase.Given()) {
            if (options.repeat != 0) {
                err << "ardelctl lirc send: --repeat excludes --codebase (a stored button is "
                       "pressed as on the remote)\n";
                return 2;
            }
            // The button is pressed as the remote presses it, through the same model.
            const QString button = QString::fromStdString(options.codebase.button);
            sent = model.PressButton(codebasePath, button, options.codebase.signal,
                                     PressSource::Pen, holdFromNow);
            if (sent.code == kOpNothingToSend) {
                err << "ardelctl lirc send: "
                    << StoreFailureText(sent.store, codebasePath, button).toStdString() << "\n";
                return 1;
            }
            return 0;
        }
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
        const IrSignal signal = MakeIrSignal(durations, static_cast<uint16_t>(options.frameStart),
                                             static_cast<uint8_t>(options.carrierUs));
        sent = model.SendSignal(signal, static_cast<uint16_t>(options.repeat), holdFromNow);
        return 0;
    };
    return SendThroughLirc(services, options.device, options.codebase, options.holdMs, press, out,
                           err);
}
