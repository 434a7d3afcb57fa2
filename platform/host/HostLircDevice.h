// The real LIRC devices: the system calls on a file descriptor, the host clock, and the
// listing of /dev/lirc* with their features and drivers.
#pragma once

#include "platform/LircDevice.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The real device: the system calls on a file descriptor.
class HostLircDevice : public LircDevice {
  public:
    HostLircDevice() = default;
    ~HostLircDevice() override;
    HostLircDevice(const HostLircDevice&) = delete;
    HostLircDevice& operator=(const HostLircDevice&) = delete;

    int Open(const std::string& path, bool forSending) override;
    void Close() override;
    bool IsOpen() const override { return fd >= 0; }
    int Read(void* buffer, size_t size, size_t& done) override;
    int Write(const void* data, size_t size, size_t& done) override;
    int Ioctl(unsigned long request, uint32_t& value) override;
    int WaitReadable(int timeoutMs, bool& readable) override;
    std::string OwnerGroup(const std::string& path) override;

  private:
    int fd = -1;
};

class HostLircClock : public LircClock {
  public:
    uint64_t NowUs() override;
    void SleepUntilUs(uint64_t deadlineUs) override;
};

// Where the devices and their sysfs entries are: "/dev" and "/sys" on a real system.
struct LircRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
};

// Every lircN under the dev root, in number order, then `extraPaths` not listed yet; each
// with its features, probed through `device`, and its rc device's driver name (for an extra
// path, found by its device number; none for a path that is no character device).
std::vector<LircDeviceInfo> ListLircDevices(LircDevice& device, const LircRoots& roots,
                                            const std::vector<std::string>& extraPaths);

// Opens `path` through `device` and reads its features; closes it again.
LircDeviceInfo ProbeLircDevice(LircDevice& device, const std::string& path);

// The driver name of the rc device whose sysfs entry holds `lircName` ("lirc0"), or "".
std::string LircDriverName(const LircRoots& roots, const std::string& lircName);
