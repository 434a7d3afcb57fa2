// The kernel's LIRC character devices (/dev/lircN) as the LIRC IR driver sees them: open,
// read, write and ioctl over a path, nothing more. The driver reaches the device only
// through this seam, so that tests can hand it a device of their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One LIRC device. Every call returns 0 or an errno value, never throws.
class LircDevice {
  public:
    virtual ~LircDevice() = default;

    // Opens `path` for writing when `forSending` (writes block while the device sends),
    // else for non-blocking reads (WaitReadable does the waiting). A second Open closes the
    // first.
    virtual int Open(const std::string& path, bool forSending) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // read()/write() of whole 32-bit values; `done` is the number of bytes moved. Write
    // blocks while the device sends.
    virtual int Read(void* buffer, size_t size, size_t& done) = 0;
    virtual int Write(const void* data, size_t size, size_t& done) = 0;
    // The LIRC ioctls all move one 32-bit value: into the device for _IOW requests, out of
    // it for _IOR ones.
    virtual int Ioctl(unsigned long request, uint32_t& value) = 0;
    // Waits up to `timeoutMs` for something to read; `readable` says whether it came.
    virtual int WaitReadable(int timeoutMs, bool& readable) = 0;

    // The name of the group that owns `path` ("" when unknown), for telling a user which
    // group gives access to the device.
    virtual std::string OwnerGroup(const std::string& path) = 0;
};

// A monotonic clock in microseconds, for keeping the spaces between writes.
class LircClock {
  public:
    virtual ~LircClock() = default;
    virtual uint64_t NowUs() = 0;
    // Returns at or after `deadlineUs` (at once when it has passed).
    virtual void SleepUntilUs(uint64_t deadlineUs) = 0;
};

// What one device can do, from LIRC_GET_FEATURES and LIRC_GET_REC_RESOLUTION.
struct LircDeviceInfo {
    std::string path;
    std::string driverName;  // the rc device's driver ("gpio_ir_recv", "mceusb"), or ""
    int openError = 0;       // errno of a failed open or feature query, else 0
    uint32_t features = 0;   // LIRC_CAN_* bits
    uint32_t resolutionUs = 0;

    bool CanSend() const;     // pulse/space writes
    bool CanReceive() const;  // mode2 reads
    bool CanMeasureCarrier() const;
    bool HasWideband() const;
    bool CanSetDutyCycle() const;
    bool CanSetCarrier() const;
    // "send,receive,carrier,...": the features in a fixed order, "-" for none.
    std::string FeatureList() const;
};
