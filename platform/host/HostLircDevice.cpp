#include "platform/host/HostLircDevice.h"

#include <fcntl.h>
#include <grp.h>
#include <linux/lirc.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

HostLircDevice::~HostLircDevice() {
    Close();
}

int HostLircDevice::Open(const std::string& path, bool forSending) {
    Close();
    const int flags = (forSending ? O_WRONLY : O_RDONLY) | O_NONBLOCK | O_CLOEXEC;
    fd = ::open(path.c_str(), flags);
    if (fd < 0) {
        return errno;
    }
    // Writes block until the hardware has sent them: that is how the driver keeps time.
    if (forSending) {
        const int now = ::fcntl(fd, F_GETFL);
        if (now >= 0) {
            ::fcntl(fd, F_SETFL, now & ~O_NONBLOCK);
        }
    }
    return 0;
}

void HostLircDevice::Close() {
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
}

namespace {

// One read or write, called again when a signal interrupts it: 0 and the bytes moved, or the
// error number.
template <typename Call>
int Uninterrupted(Call call, size_t& done) {
    done = 0;
    for (;;) {
        const ssize_t n = call();
        if (n >= 0) {
            done = static_cast<size_t>(n);
            return 0;
        }
        if (errno != EINTR) {
            return errno;
        }
    }
}

}  // namespace

int HostLircDevice::Read(void* buffer, size_t size, size_t& done) {
    return Uninterrupted([&] { return ::read(fd, buffer, size); }, done);
}

int HostLircDevice::Write(const void* data, size_t size, size_t& done) {
    return Uninterrupted([&] { return ::write(fd, data, size); }, done);
}

int HostLircDevice::Ioctl(unsigned long request, uint32_t& value) {
    if (::ioctl(fd, request, &value) < 0) {
        return errno;
    }
    return 0;
}

int HostLircDevice::WaitReadable(int timeoutMs, bool& readable) {
    readable = false;
    pollfd entry{fd, POLLIN, 0};
    const int n = ::poll(&entry, 1, timeoutMs);
    if (n < 0) {
        return errno == EINTR ? 0 : errno;
    }
    if (n > 0 && (entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0 &&
        (entry.revents & POLLIN) == 0) {
        return ENODEV;  // the device went away under us
    }
    readable = n > 0;
    return 0;
}

std::string HostLircDevice::OwnerGroup(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return "";
    }
    std::vector<char> buffer(16384);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &found) != 0 || !found) {
        return std::to_string(info.st_gid);
    }
    return found->gr_name;
}

uint64_t HostLircClock::NowUs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

void HostLircClock::SleepUntilUs(uint64_t deadlineUs) {
    const uint64_t now = NowUs();
    if (deadlineUs > now) {
        std::this_thread::sleep_for(std::chrono::microseconds(deadlineUs - now));
    }
}

LircDeviceInfo ProbeLircDevice(LircDevice& device, const std::string& path) {
    LircDeviceInfo info;
    info.path = path;
    info.openError = device.Open(path, false);
    if (info.openError != 0) {
        return info;
    }
    uint32_t features = 0;
    info.openError = device.Ioctl(LIRC_GET_FEATURES, features);
    if (info.openError == 0) {
        info.features = features;
        uint32_t resolution = 0;
        if ((features & LIRC_CAN_GET_REC_RESOLUTION) != 0 &&
            device.Ioctl(LIRC_GET_REC_RESOLUTION, resolution) == 0) {
            info.resolutionUs = resolution;
        }
    }
    device.Close();
    return info;
}

namespace {

// The number in "lirc12", or -1 when the name is not of that form.
int LircNumber(const std::string& name) {
    if (name.size() <= 4 || name.compare(0, 4, "lirc") != 0) {
        return -1;
    }
    int number = 0;
    for (size_t i = 4; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9' || number > 100000) {
            return -1;
        }
        number = number * 10 + (name[i] - '0');
    }
    return number;
}

// The lircN whose sysfs entry has the device number of `path`, or "" when `path` is no
// character device (a test device, a file) or none matches.
std::string LircNameOfDeviceFile(const LircRoots& roots, const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISCHR(info.st_mode)) {
        return "";
    }
    const std::string number =
        std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev));
    std::error_code error;
    for (fs::directory_iterator rc(fs::path(roots.sys) / "class" / "rc", error), end;
         !error && rc != end; rc.increment(error)) {
        std::error_code inner;
        for (fs::directory_iterator entry(rc->path(), inner), none; !inner && entry != none;
             entry.increment(inner)) {
            std::ifstream dev(entry->path() / "dev");
            std::string line;
            if (LircNumber(entry->path().filename().string()) >= 0 && std::getline(dev, line) &&
                line == number) {
                return entry->path().filename().string();
            }
        }
    }
    return "";
}

}  // namespace

std::string LircDriverName(const LircRoots& roots, const std::string& lircName) {
    std::error_code error;
    const fs::path rcClass = fs::path(roots.sys) / "class" / "rc";
    for (fs::directory_iterator it(rcClass, error), end; !error && it != end; it.increment(error)) {
        const fs::path rc = it->path();
        if (!fs::exists(rc / lircName, error)) {
            continue;
        }
        // The rc device's uevent names its driver; the device's driver link says the same.
        std::ifstream uevent(rc / "uevent");
        std::string line;
        while (std::getline(uevent, line)) {
            if (line.rfind("DRV_NAME=", 0) == 0 && line.size() > 9) {
                return line.substr(9);
            }
        }
        const fs::path driver = fs::read_symlink(rc / "device" / "driver", error);
        if (!error) {
            return driver.filename().string();
        }
        return "";
    }
    return "";
}

std::vector<LircDeviceInfo> ListLircDevices(LircDevice& device, const LircRoots& roots,
                                            const std::vector<std::string>& extraPaths) {
    std::vector<std::pair<int, std::string>> found;
    std::error_code error;
    for (fs::directory_iterator it(roots.dev, error), end; !error && it != end;
         it.increment(error)) {
        const int number = LircNumber(it->path().filename().string());
        if (number >= 0) {
            found.emplace_back(number, it->path().filename().string());
        }
    }
    std::sort(found.begin(), found.end());

    std::vector<LircDeviceInfo> devices;
    std::vector<std::string> listed;
    for (const auto& [number, name] : found) {
        const std::string path = (fs::path(roots.dev) / name).string();
        LircDeviceInfo info = ProbeLircDevice(device, path);
        info.driverName = LircDriverName(roots, name);
        devices.push_back(info);
        listed.push_back(fs::weakly_canonical(path, error).string());
    }
    for (const std::string& path : extraPaths) {
        const std::string canonical = fs::weakly_canonical(path, error).string();
        if (std::find(listed.begin(), listed.end(), canonical) != listed.end()) {
            continue;
        }
        LircDeviceInfo info = ProbeLircDevice(device, path);
        const std::string lircName = LircNameOfDeviceFile(roots, path);
        info.driverName = lircName.empty() ? "" : LircDriverName(roots, lircName);
        devices.push_back(info);
        listed.push_back(canonical);
    }
    return devices;
}
