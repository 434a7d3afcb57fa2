// A LIRC device for tests: a file in a small FUSE file system that answers read, write,
// poll and the LIRC ioctls the way the kernel documents a /dev/lircN device, so that the
// LIRC driver is tested through the real system calls.
//
// What it models: writes of an odd number of 32-bit values (pulse first), at most 512 of
// them and at most 500 ms in all, EINVAL otherwise; a write blocks while the signal is
// "sent", for its duration divided by the clock's speed-up; mode2 samples with a time-out
// sample after a pause as long as the receive time-out, frequency samples in carrier
// measuring mode, an overflow sample on request; a receiver that lengthens marks and
// shortens spaces by a fixed amount and rounds to its resolution; ENODEV for everything
// after an unplug. Samples reach only a reader that has the device open, as on a real one.
#pragma once

#include <linux/lirc.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/LircDevice.h"

struct fuse;
struct fuse_pollhandle;

// Microseconds of device time that pass `speedUp` times faster than real time: the driver
// and the test device share one, so that signals of seconds take milliseconds.
class ScaledLircClock : public LircClock {
  public:
    explicit ScaledLircClock(uint32_t speedUp);
    uint64_t NowUs() override;
    void SleepUntilUs(uint64_t deadlineUs) override;
    uint32_t SpeedUp() const { return speedUp; }

  private:
    uint32_t speedUp;
    uint64_t originUs;
};

struct FuseLircConfig {
    uint32_t features = LIRC_CAN_SEND_PULSE | LIRC_CAN_SET_SEND_CARRIER |
                        LIRC_CAN_SET_SEND_DUTY_CYCLE | LIRC_CAN_REC_MODE2 |
                        LIRC_CAN_SET_REC_TIMEOUT | LIRC_CAN_MEASURE_CARRIER |
                        LIRC_CAN_USE_WIDEBAND_RECEIVER | LIRC_CAN_GET_REC_RESOLUTION;
    uint32_t resolutionUs = 50;
    uint32_t markStretchUs = 100;  // a demodulating receiver's bias
    uint32_t minTimeoutUs = 1000;
    uint32_t maxTimeoutUs = 500000;
    uint32_t timeoutUs = 125000;         // at mount
    uint32_t recMode = LIRC_MODE_MODE2;  // at mount; only mode2 readers get samples
    uint32_t minCarrierHz = 25000;
    uint32_t maxCarrierHz = 60000;
    // A transmitter whose own buffer holds fewer values than the kernel allows refuses
    // longer writes with EINVAL.
    size_t maxWriteValues = 512;
    int openError = 0;  // an errno that every open returns (EACCES, EBUSY)
    gid_t group = 0;    // the group that owns the file
};

// The device's settings, as the tests look at them.
struct FuseLircSettings {
    uint32_t carrierHz = 38000;
    uint32_t dutyPercent = 50;
    uint32_t timeoutUs = 0;
    uint32_t recMode = LIRC_MODE_MODE2;
    bool measureCarrier = false;
    bool wideband = false;
    bool operator==(const FuseLircSettings&) const = default;
};

struct FuseLircWrite {
    std::vector<uint32_t> values;
    uint64_t startUs = 0;  // device time
    uint64_t endUs = 0;
    uint32_t carrierHz = 0;
    uint32_t dutyPercent = 0;
};

// A remote button pressed for the next reader: its samples appear when that reader first
// polls or reads, after it has made its settings.
struct FuseLircPress {
    std::vector<int32_t> durations;  // marks positive, spaces negative
    uint32_t carrierHz = 38000;
    bool overflowAfter = false;  // the receiver's buffer overflows after these samples
    bool unplugAfter = false;    // the device goes away once these samples are read
};

class FuseLircDevice {
  public:
    FuseLircDevice(ScaledLircClock& clock, FuseLircConfig config = {});
    ~FuseLircDevice();
    FuseLircDevice(const FuseLircDevice&) = delete;
    FuseLircDevice& operator=(const FuseLircDevice&) = delete;

    // Whether the file system is mounted; otherwise Error() says why.
    bool Mounted() const { return mounted; }
    const std::string& Error() const { return error; }
    std::string Path() const { return mountPoint + "/lirc0"; }
    const std::string& MountPoint() const { return mountPoint; }

    void Press(const FuseLircPress& press);
    // Every request after this fails with ENODEV; a write in progress ends with it.
    void Unplug();
    // The write after `count` more successful writes fails with ENODEV, as if unplugged.
    void UnplugAfterWrites(int count);

    std::vector<FuseLircWrite> Writes();
    FuseLircSettings Settings();
    FuseLircSettings InitialSettings() const { return initial; }
    // The files open now. Closing a FUSE file reaches the file system a moment after
    // close() returns, so this waits up to a second for the count to fall to 0.
    int OpenFilesAfterClose();

    // The file system's side, called by the FUSE callbacks.
    struct Ops;

  private:
    void Deliver();  // the pending press into the samples; needs the lock
    uint32_t Quantise(int64_t us) const;

    ScaledLircClock& clock;
    const FuseLircConfig config;
    FuseLircSettings initial;
    std::string mountPoint;
    std::string error;
    bool mounted = false;
    struct fuse* fuse = nullptr;
    std::thread loop;

    std::mutex mutex;
    std::condition_variable changed;
    FuseLircSettings settings;
    bool unplugged = false;
    int writesBeforeUnplug = -1;
    int openFiles = 0;
    int readers = 0;
    std::vector<FuseLircPress> pending;
    std::vector<uint32_t> samples;
    bool unplugWhenDrained = false;
    std::vector<FuseLircWrite> writes;
    struct fuse_pollhandle* pollHandle = nullptr;
};
