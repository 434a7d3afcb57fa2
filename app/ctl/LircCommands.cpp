#include "LircCommands.h"

#include <cstring>
#include <vector>

#include "CLircIrDriver.h"
#include "Durations.h"
#include "IrResult.h"
#include "LircPlatform.h"

namespace {

// A message on the error stream for a failed driver call.
void Report(const char* command, int result, CLircIrDriver& driver, std::ostream& err) {
    err << "ardelctl lirc " << command << ": " << driver.ErrorText(result) << "\n";
}

}  // namespace

int RunLircList(const LircListOptions& options, LircServices& services, std::ostream& out,
                std::ostream& err) {
    for (const LircDeviceInfo& info :
         ListLircDevices(services.probe, services.roots, options.paths)) {
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
    const int result = driver.Capture();
    std::vector<int32_t> durations;
    uint8_t count = 0, frameStart = 0, carrierPeriod = 0;
    if (result == kIrOk) {
        driver.GetSignal(durations, count, frameStart, carrierPeriod);
    }
    driver.ClosePort();
    out << "result: " << result << "\n";
    out << "carrier_us: " << int(carrierPeriod) << "\n";
    out << "frame_start: " << int(frameStart) << "\n";
    out << "count: " << durations.size() << "\n";
    out << "durations: " << JoinDurations(durations.data(), durations.size()) << "\n";
    if (result != kIrOk) {
        Report("learn", result, driver, err);
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
    if (options.carrierUs == 0 || options.carrierUs > 255) {
        err << "ardelctl lirc send: --carrier-us must be 1 to 255\n";
        return 2;
    }
    if (options.frameStart > 255 || options.repeat > 0xFFFF) {
        err << "ardelctl lirc send: --frame-start must be 0 to 255 and --repeat 0 to 65535\n";
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

    // The button counts as held for --hold-ms from the start of the send.
    uint64_t releaseUs = 0;
    LircPlatform platform([&] { return services.clock.NowUs() < releaseUs; });
    CLircIrDriver driver(platform, services.transmitter, services.receiver, services.clock);
    driver.SetDevices(options.device, "");
    int result = driver.LoadSignal(durations.data(), static_cast<uint8_t>(durations.size()),
                                   static_cast<uint8_t>(options.frameStart),
                                   static_cast<uint8_t>(options.carrierUs));
    if (result == kIrOk) {
        releaseUs = services.clock.NowUs() + uint64_t{options.holdMs} * 1000;
        result = driver.Send(static_cast<uint16_t>(options.repeat));
    }
    driver.ClosePort();
    out << "result: " << result << "\n";
    if (result != kIrOk) {
        Report("send", result, driver, err);
        return 1;
    }
    return 0;
}
