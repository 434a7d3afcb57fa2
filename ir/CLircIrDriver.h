// The IR driver for the kernel's LIRC devices (/dev/lircN): real transmitters and
// receivers on a Linux box (a GPIO LED and receiver, USB transceivers) behind the same
// driver interface as the chip drivers. It reaches the device only through LircDevice and
// keeps time only through LircClock; "held" comes from IrPlatform::IsStylusDown as for the
// chip drivers.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ir/CIrDriver.h"
#include "ir/ReceiverBias.h"
#include "platform/LircDevice.h"

class CLircIrDriver : public CIrDriver {
  public:
    // What one write() may carry, as the kernel enforces it.
    static constexpr int kMaxWriteValues = 511;  // odd: starts and ends with a pulse
    static constexpr uint64_t kMaxWriteUs = 500000;
    // A pass that ends on a mark is followed by its signal's longest space, at least this.
    static constexpr uint32_t kMinPassGapUs = 20000;
    // Idle time after which the receiver reports the end of a signal, when it lets us choose.
    static constexpr uint32_t kReceiveTimeoutUs = 150000;
    static constexpr uint32_t kLearnTimeoutMs = 20000;
    // The duty cycle used for sending, and the settings the device is set back to (the
    // kernel has no way to read the send carrier and duty cycle back).
    static constexpr uint32_t kSendDutyPercent = 33;
    static constexpr uint32_t kDefaultCarrierHz = 38000;
    static constexpr uint32_t kDefaultDutyPercent = 50;

    // `transmitter` and `receiver` are two separate device objects, so that sending and
    // learning may use two devices (or the same path twice).
    CLircIrDriver(IrPlatform& platform, LircDevice& transmitter, LircDevice& receiver,
                  LircClock& clock);
    ~CLircIrDriver() override;

    // The device paths; an empty path means that this side is not used.
    void SetDevices(const std::string& transmitterPath, const std::string& receiverPath);
    const std::string& TransmitterPath() const { return transmitterPath; }
    const std::string& ReceiverPath() const { return receiverPath; }

    // Opens the transmitter and checks that it can send (LoadSignal calls it).
    int OpenPort() override;
    // Closes both devices.
    void ClosePort() override;
    int LoadSignal(const int32_t* durations, uint16_t count, uint16_t frameStart,
                   uint8_t carrierPeriod) override;
    int Send(uint16_t repeat) override;
    int Capture() override;

    // How long Capture waits for the first pulse.
    void SetLearnTimeoutMs(uint32_t milliseconds) { learnTimeoutMs = milliseconds; }

    // The receiver bias that the last Capture removed: how much longer marks (and shorter
    // spaces) the receiver reported than the remote sent.
    int32_t LastReceiverBiasUs() const { return lastBiasUs; }
    // The receiver's estimate, over its captures since it was chosen (or as remembered).
    ReceiverBiasMemo ReceiverBias() const override;
    void SetReceiverBias(const ReceiverBiasMemo& memo) override;
    // The device that the last failure came from, and the group that owns it.
    std::string FaultPort() const override { return faultPath; }
    std::string FaultGroup() const override { return faultGroup; }

  private:
    int OpenDevice(LircDevice& device, const std::string& path, bool forSending,
                   uint32_t& features);
    int Fault(int error, const std::string& path);
    int WritePass(int from, int to, uint64_t passGapUs);
    int ReadSamples(int32_t* capture, uint32_t& carrierHz, uint32_t timeoutUs);
    void RestoreReceiver();
    void RestoreTransmitter();

    IrPlatform& host;  // for "held"
    LircDevice& transmitter;
    LircDevice& receiver;
    LircClock& clock;
    std::string transmitterPath;
    std::string receiverPath;
    uint32_t transmitterFeatures = 0;
    uint32_t learnTimeoutMs = kLearnTimeoutMs;
    uint64_t quietUntilUs = 0;  // no write starts before this: the gap after the last one
    int32_t lastBiasUs = 0;
    CReceiverBias receiverBias;  // of the receiver at receiverPath
    std::string faultPath;
    std::string faultGroup;

    // What the driver changed on a device, to set back on every way out.
    struct Changed {
        bool carrier = false;
        bool dutyCycle = false;
        bool recMode = false;
        uint32_t recModeBefore = 0;
        bool timeout = false;
        uint32_t timeoutBeforeUs = 0;
        bool measure = false;
        bool wideband = false;
    } changed;
};

// Splits one pass of durations (marks positive, spaces negative; zeros dropped, neighbours
// of one kind joined) into writes the kernel accepts. A space before the first mark goes to
// `leadingSpaceUs`. Returns false when a single mark is longer than one write may be.
bool SplitLircPass(const int32_t* durations, int count, uint64_t passGapUs,
                   uint64_t& leadingSpaceUs, std::vector<std::vector<uint32_t>>& writes,
                   std::vector<uint64_t>& trailingSpacesUs);

// The receiver bias of a capture (marks positive, spaces negative): half the difference of
// the typical short mark and short space, 0 when there is nothing to go on.
int32_t EstimateReceiverBiasUs(const int32_t* capture, int count);
// Takes `biasUs` off every mark and adds it to every space.
void RemoveReceiverBias(int32_t* capture, int count, int32_t biasUs);
