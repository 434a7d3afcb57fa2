#include "ir/CLircIrDriver.h"

#include <linux/lirc.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "ir/IrResult.h"
#include "ir/PressEnd.h"
#include "ir/ReceiverBias.h"

namespace {

constexpr int kWaitSliceMs = 50;  // how often a wait looks at the capture watch
// After the first pulse: how long the receiver may stay silent before the capture ends,
// and how long to wait for the signal to go on after the receiver reported its time-out
// when the device could not take our longer time-out.
constexpr uint64_t kIdleAfterStartUs = 1000000;
constexpr uint64_t kResumeAfterTimeoutUs = 250000;
constexpr uint32_t kMaxCarrierPeriodUs = 50;

int ResultOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENXIO:
        case ENOTDIR:
            return kIrLircNoDevice;
        case EACCES:
        case EPERM:
            return kIrLircNoPermission;
        case EBUSY:
            return kIrLircBusy;
        case ENODEV:
            return kIrLircUnplugged;
        case EINVAL:
            return kIrLircInvalid;
        default:
            return kIrLircIoError;
    }
}

// Joins a value to the last one when both are of one kind; zeros are dropped.
void Append(std::vector<int64_t>& values, int64_t value) {
    if (value == 0) {
        return;
    }
    if (!values.empty() && (values.back() < 0) == (value < 0)) {
        values.back() += value;
    } else {
        values.push_back(value);
    }
}

uint32_t CarrierHzOfPeriod(uint8_t periodUs) {
    return (1000000u + periodUs / 2u) / periodUs;
}

}  // namespace

bool SplitLircPass(const int32_t* durations, int count, uint64_t passGapUs,
                   uint64_t& leadingSpaceUs, std::vector<std::vector<uint32_t>>& writes,
                   std::vector<uint64_t>& trailingSpacesUs) {
    leadingSpaceUs = 0;
    writes.clear();
    trailingSpacesUs.clear();
    std::vector<int64_t> values;
    for (int k = 0; k < count; ++k) {
        Append(values, durations[k]);
    }
    size_t k = 0;
    for (; k < values.size() && values[k] < 0; ++k) {
        leadingSpaceUs += static_cast<uint64_t>(-values[k]);
    }
    std::vector<uint32_t> current;
    uint64_t currentUs = 0;
    uint64_t pendingSpaceUs = 0;  // the space after the last mark of `current`
    for (; k < values.size(); ++k) {
        if (values[k] < 0) {
            pendingSpaceUs = static_cast<uint64_t>(-values[k]);
            continue;
        }
        const uint64_t markUs = static_cast<uint64_t>(values[k]);
        if (markUs > CLircIrDriver::kMaxWriteUs) {
            return false;
        }
        if (!current.empty() &&
            (current.size() + 2 > static_cast<size_t>(CLircIrDriver::kMaxWriteValues) ||
             currentUs + pendingSpaceUs + markUs > CLircIrDriver::kMaxWriteUs)) {
            writes.push_back(std::move(current));
            trailingSpacesUs.push_back(pendingSpaceUs);
            current.clear();
            currentUs = 0;
        } else if (!current.empty()) {
            current.push_back(static_cast<uint32_t>(pendingSpaceUs));
            currentUs += pendingSpaceUs;
        }
        current.push_back(static_cast<uint32_t>(markUs));
        currentUs += markUs;
        pendingSpaceUs = 0;
    }
    if (!current.empty()) {
        writes.push_back(std::move(current));
        // A pass that ends on a mark still needs a pause before the next one, or the two
        // would run together into one long frame.
        trailingSpacesUs.push_back(pendingSpaceUs != 0 ? pendingSpaceUs : passGapUs);
    } else {
        leadingSpaceUs += pendingSpaceUs;
    }
    return true;
}

int32_t EstimateReceiverBiasUs(const int32_t* capture, int count) {
    int32_t biasUs = 0;
    return EstimateCaptureBias(std::span<const int32_t>(capture, static_cast<size_t>(count)),
                               biasUs)
               ? biasUs
               : 0;
}

void RemoveReceiverBias(int32_t* capture, int count, int32_t biasUs) {
    RemoveCaptureBias(std::span<int32_t>(capture, static_cast<size_t>(count)), biasUs);
}

CLircIrDriver::CLircIrDriver(IrPlatform& platform, LircDevice& transmitter, LircDevice& receiver,
                             LircClock& clock)
    : CIrDriver(platform),
      host(platform),
      transmitter(transmitter),
      receiver(receiver),
      clock(clock) {}

CLircIrDriver::~CLircIrDriver() {
    CLircIrDriver::ClosePort();
}

void CLircIrDriver::SetDevices(const std::string& transmitterPathIn,
                               const std::string& receiverPathIn) {
    ClosePort();
    transmitterPath = transmitterPathIn;
    if (receiverPathIn != receiverPath) {
        receiverBias = CReceiverBias();  // the bias belongs to the receiver
    }
    receiverPath = receiverPathIn;
}

ReceiverBiasMemo CLircIrDriver::ReceiverBias() const {
    return {receiverPath, receiverBias.BiasUs(), receiverBias.Captures()};
}

void CLircIrDriver::SetReceiverBias(const ReceiverBiasMemo& memo) {
    if (!receiverPath.empty() && memo.receiver == receiverPath) {
        receiverBias = CReceiverBias(memo.biasUs, memo.captures);
    }
}

int CLircIrDriver::Fault(int error, const std::string& path) {
    faultPath = path;
    faultGroup.clear();
    const int result = error > 0 ? ResultOfErrno(error) : error < 0 ? -error : kIrLircIoError;
    if (result == kIrLircNoPermission) {
        LircDevice& device = path == receiverPath ? receiver : transmitter;
        faultGroup = device.OwnerGroup(path);
    }
    return result;
}

int CLircIrDriver::OpenDevice(LircDevice& device, const std::string& path, bool forSending,
                              uint32_t& features) {
    if (path.empty()) {
        return kIrNoPortName;
    }
    if (const int error = device.Open(path, forSending); error != 0) {
        return Fault(error, path);
    }
    features = 0;
    if (const int error = device.Ioctl(LIRC_GET_FEATURES, features); error != 0) {
        device.Close();
        // A file that does not know the LIRC requests is no LIRC device.
        return Fault(error == ENOTTY ? -kIrLircNoDevice : error, path);
    }
    const bool can =
        forSending ? (features & LIRC_CAN_SEND_PULSE) != 0 : (features & LIRC_CAN_REC_MODE2) != 0;
    if (!can) {
        device.Close();
        return Fault(forSending ? -kIrLircCannotSend : -kIrLircCannotReceive, path);
    }
    return kIrOk;
}

int CLircIrDriver::OpenPort() {
    if (transmitter.IsOpen()) {
        return kIrOk;
    }
    return OpenDevice(transmitter, transmitterPath, true, transmitterFeatures);
}

void CLircIrDriver::ClosePort() {
    RestoreTransmitter();
    RestoreReceiver();
    transmitter.Close();
    receiver.Close();
}

int CLircIrDriver::LoadSignal(const int32_t* durations, uint16_t count, uint16_t frameStart,
                              uint8_t carrierPeriod) {
    if (const int result = SetSignal(signal, durations, count, frameStart, carrierPeriod);
        result != kIrOk) {
        return result;
    }
    return OpenPort();
}

void CLircIrDriver::RestoreTransmitter() {
    if (!transmitter.IsOpen()) {
        changed.carrier = changed.dutyCycle = false;
        return;
    }
    if (changed.carrier) {
        uint32_t value = kDefaultCarrierHz;
        transmitter.Ioctl(LIRC_SET_SEND_CARRIER, value);
        changed.carrier = false;
    }
    if (changed.dutyCycle) {
        uint32_t value = kDefaultDutyPercent;
        transmitter.Ioctl(LIRC_SET_SEND_DUTY_CYCLE, value);
        changed.dutyCycle = false;
    }
}

void CLircIrDriver::RestoreReceiver() {
    if (receiver.IsOpen()) {
        uint32_t value = 0;
        if (changed.wideband) {
            receiver.Ioctl(LIRC_SET_WIDEBAND_RECEIVER, value = 0);
        }
        if (changed.measure) {
            receiver.Ioctl(LIRC_SET_MEASURE_CARRIER_MODE, value = 0);
        }
        if (changed.timeout) {
            receiver.Ioctl(LIRC_SET_REC_TIMEOUT, value = changed.timeoutBeforeUs);
        }
        if (changed.recMode) {
            receiver.Ioctl(LIRC_SET_REC_MODE, value = changed.recModeBefore);
        }
    }
    changed.wideband = changed.measure = changed.timeout = changed.recMode = false;
}

int CLircIrDriver::WritePass(int from, int to, uint64_t passGapUs) {
    uint64_t leadingUs = 0;
    std::vector<std::vector<uint32_t>> writes;
    std::vector<uint64_t> trailingUs;
    if (!SplitLircPass(signal.durations + from, to - from, passGapUs, leadingUs, writes,
                       trailingUs)) {
        return Fault(-kIrLircCannotCarry, transmitterPath);
    }
    if (leadingUs != 0) {
        quietUntilUs = std::max(quietUntilUs, clock.NowUs()) + leadingUs;
    }
    for (size_t w = 0; w < writes.size(); ++w) {
        clock.SleepUntilUs(quietUntilUs);
        const size_t bytes = writes[w].size() * sizeof(uint32_t);
        size_t done = 0;
        const int error = transmitter.Write(writes[w].data(), bytes, done);
        quietUntilUs = clock.NowUs() + trailingUs[w];
        if (error != 0) {
            return Fault(error, transmitterPath);
        }
        if (done != bytes) {
            return Fault(-kIrLircIoError, transmitterPath);
        }
    }
    return kIrOk;
}

int CLircIrDriver::Send(uint16_t repeat) {
    lastPassCount = 0;
    if (signal.carrierPeriod == 0) {
        return kIrNoCarrier;
    }
    if (signal.count == 0) {
        return kIrNoDurations;
    }
    if (const int result = OpenPort(); result != kIrOk) {
        return result;
    }
    // The gap after a pass that ends on a mark: the signal's own longest space.
    uint64_t passGapUs = kMinPassGapUs;
    for (int k = 0; k < signal.count; ++k) {
        passGapUs = std::max<uint64_t>(
            passGapUs, signal.durations[k] < 0 ? static_cast<uint64_t>(-signal.durations[k]) : 0);
    }
    // Refuse what cannot be sent before touching the device.
    {
        uint64_t leadingUs = 0;
        std::vector<std::vector<uint32_t>> writes;
        std::vector<uint64_t> trailingUs;
        // A signal without a mark has nothing to send (and passes of it would only wait).
        if (!SplitLircPass(signal.durations, signal.count, passGapUs, leadingUs, writes,
                           trailingUs) ||
            writes.empty()) {
            return Fault(-kIrLircCannotCarry, transmitterPath);
        }
    }

    int result = kIrOk;
    if ((transmitterFeatures & LIRC_CAN_SET_SEND_CARRIER) != 0) {
        uint32_t carrierHz = CarrierHzOfPeriod(signal.carrierPeriod);
        changed.carrier = true;
        if (const int error = transmitter.Ioctl(LIRC_SET_SEND_CARRIER, carrierHz); error != 0) {
            result = error == EINVAL ? Fault(-kIrLircCannotCarry, transmitterPath)
                                     : Fault(error, transmitterPath);
        }
    }
    if (result == kIrOk && (transmitterFeatures & LIRC_CAN_SET_SEND_DUTY_CYCLE) != 0) {
        uint32_t duty = kSendDutyPercent;
        changed.dutyCycle = true;
        if (const int error = transmitter.Ioctl(LIRC_SET_SEND_DUTY_CYCLE, duty); error != 0) {
            result = Fault(error, transmitterPath);
        }
    }

    const bool fixed = repeat != kRepeatWhileHeld && repeat != kRepeatOnceThenHeld;
    const int minimum = fixed ? repeat : repeat == kRepeatWhileHeld ? 3 : 1;
    int passes = 0;
    while (result == kIrOk) {
        if (passes >= minimum) {
            if (fixed) {
                break;
            }
            // A pass ends with its pause: the button still held after it sends one more.
            clock.SleepUntilUs(quietUntilUs);
            if (!host.IsStylusDown()) {
                break;
            }
        }
        result = WritePass(signal.nextStart, signal.count, passGapUs);
        if (result == kIrOk) {
            signal.nextStart = signal.frameStart;
            ++passes;
        }
    }
    lastPassCount = passes;
    RestoreTransmitter();
    if (result == kIrLircUnplugged) {
        transmitter.Close();
    }
    return result;
}

int CLircIrDriver::ReadSamples(int32_t* capture, uint32_t& carrierHz, uint32_t timeoutUs) {
    const uint64_t startUs = clock.NowUs();
    const uint64_t deadlineUs = startUs + static_cast<uint64_t>(learnTimeoutMs) * 1000;
    const bool resumeAfterTimeout = timeoutUs < kReceiveTimeoutUs;
    int count = 0;
    bool started = false;
    bool timedOut = false;  // the receiver reported the end of the signal
    uint64_t lastSampleUs = startUs;
    uint32_t samples[64];

    auto add = [&](int32_t value) {
        if (count > 0 && (capture[count - 1] < 0) == (value < 0)) {
            capture[count - 1] += value;
        } else if (count < kMaxDurations) {
            capture[count++] = value;
        }
    };
    // Full buffer, or a long pause after which the press is heard whole.
    auto finished = [&] { return count >= kMaxDurations || PressHeardWhole(capture, count); };

    while (!finished()) {
        const uint64_t nowUs = clock.NowUs();
        const uint32_t waitedMs = static_cast<uint32_t>((nowUs - startUs) / 1000);
        if (started ? CaptureCancelled() : !CaptureGoesOn(waitedMs)) {
            return kIrNoSignal;
        }
        if (!started && nowUs >= deadlineUs) {
            return kIrNoSignal;
        }
        if (started && (timedOut ? nowUs - lastSampleUs >= kResumeAfterTimeoutUs
                                 : nowUs - lastSampleUs >= kIdleAfterStartUs)) {
            break;
        }
        bool readable = false;
        if (const int error = receiver.WaitReadable(kWaitSliceMs, readable); error != 0) {
            return Fault(error, receiverPath);
        }
        if (!readable) {
            continue;
        }
        size_t done = 0;
        if (const int error = receiver.Read(samples, sizeof samples, done); error != 0) {
            if (error == EAGAIN || error == EWOULDBLOCK) {
                continue;
            }
            return Fault(error, receiverPath);
        }
        if (done == 0) {
            return Fault(ENODEV, receiverPath);  // end of file: the device is gone
        }
        lastSampleUs = clock.NowUs();
        for (size_t s = 0; s < done / sizeof(uint32_t) && !finished(); ++s) {
            const uint32_t sample = samples[s];
            const int32_t value = static_cast<int32_t>(LIRC_VALUE(sample));
            switch (LIRC_MODE2(sample)) {
                case LIRC_MODE2_PULSE:
                    if (started && timedOut && !resumeAfterTimeout) {
                        break;
                    }
                    started = true;
                    timedOut = false;
                    add(value);
                    break;
                case LIRC_MODE2_SPACE:
                    // After a time-out the kernel reports the whole pause, the time-out
                    // included, once the next pulse begins.
                    if (started && !(timedOut && !resumeAfterTimeout)) {
                        add(-value);
                    }
                    break;
                case LIRC_MODE2_FREQUENCY:
                    if (value > 0) {
                        carrierHz = static_cast<uint32_t>(value);
                    }
                    break;
                case LIRC_MODE2_TIMEOUT:
                    // The end of the signal, unless it goes on (see above). The silence
                    // after the last mark is no part of the signal, as for the chip
                    // drivers: the frame analysis compares the last frame without it.
                    timedOut = started;
                    break;
                case LIRC_MODE2_OVERFLOW:
                    return Fault(-kIrLircOverflow, receiverPath);
                default:
                    break;
            }
        }
        if (started && timedOut && !resumeAfterTimeout) {
            break;
        }
    }
    return kIrOk;
}

int CLircIrDriver::Capture() {
    lastCaptureFull = false;
    lastCaptureHeard.clear();
    lastBiasUs = 0;
    uint32_t features = 0;
    if (const int result = OpenDevice(receiver, receiverPath, false, features); result != kIrOk) {
        return result;
    }
    int result = kIrOk;
    auto set = [&](unsigned long request, uint32_t value) {
        if (result != kIrOk) {
            return;
        }
        if (const int error = receiver.Ioctl(request, value); error != 0) {
            result = Fault(error, receiverPath);
        }
    };

    uint32_t mode = LIRC_MODE_MODE2;
    if (receiver.Ioctl(LIRC_GET_REC_MODE, mode) == 0 && mode != LIRC_MODE_MODE2) {
        changed.recMode = true;
        changed.recModeBefore = mode;
        set(LIRC_SET_REC_MODE, LIRC_MODE_MODE2);
    }
    uint32_t timeoutUs = kReceiveTimeoutUs;
    if ((features & LIRC_CAN_SET_REC_TIMEOUT) != 0) {
        uint32_t minUs = 0, maxUs = 0, beforeUs = 0;
        if (receiver.Ioctl(LIRC_GET_MIN_TIMEOUT, minUs) == 0 &&
            receiver.Ioctl(LIRC_GET_MAX_TIMEOUT, maxUs) == 0 && minUs <= maxUs &&
            receiver.Ioctl(LIRC_GET_REC_TIMEOUT, beforeUs) == 0) {
            timeoutUs = std::clamp(kReceiveTimeoutUs, minUs, maxUs);
            changed.timeout = true;
            changed.timeoutBeforeUs = beforeUs;
            set(LIRC_SET_REC_TIMEOUT, timeoutUs);
        }
    }
    if ((features & LIRC_CAN_MEASURE_CARRIER) != 0) {
        changed.measure = true;
        set(LIRC_SET_MEASURE_CARRIER_MODE, 1);
    }
    if ((features & LIRC_CAN_USE_WIDEBAND_RECEIVER) != 0) {
        changed.wideband = true;
        set(LIRC_SET_WIDEBAND_RECEIVER, 1);
    }

    int32_t capture[kMaxDurations] = {};
    uint32_t carrierHz = 0;
    if (result == kIrOk) {
        result = ReadSamples(capture, carrierHz, timeoutUs);
    }
    RestoreReceiver();
    receiver.Close();
    if (result != kIrOk) {
        return result;
    }

    // A receiver that does not measure the carrier leaves the period at 0: whoever stores
    // the signal knows better than a guess here (a recognised protocol names its carrier).
    const uint32_t periodUs = carrierHz == 0 ? 0 : (1000000 + carrierHz / 2) / carrierHz;
    if (periodUs > kMaxCarrierPeriodUs) {
        return kIrCarrierTooLong;
    }
    int count = 0;
    while (count < kMaxDurations && capture[count] != 0) {
        ++count;
    }
    lastCaptureFull = count >= kMaxDurations;
    // The receiver's estimate, moved by this capture where it shows the bias: a remote whose
    // spaces are all longer than its marks shows none, and is corrected all the same.
    lastBiasUs =
        receiverBias.Observe(std::span<const int32_t>(capture, static_cast<size_t>(count)));
    RemoveReceiverBias(capture, count, lastBiasUs);
    lastCaptureHeard.assign(capture, capture + count);
    signal.carrierPeriod =
        static_cast<uint8_t>(carrierHz == 0 ? 0 : std::max<uint32_t>(periodUs, 1));
    return AnalyseCapture(capture, kMaxDurations);
}
