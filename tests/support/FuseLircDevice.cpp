#define FUSE_USE_VERSION 314
#include "tests/support/FuseLircDevice.h"

#include <fuse.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

namespace {

constexpr const char* kFileName = "/lirc0";
constexpr size_t kMaxWriteValues = 512;
constexpr uint64_t kMaxWriteUs = 500000;

uint64_t RealUs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::microseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

}  // namespace

ScaledLircClock::ScaledLircClock(uint32_t speedUp) : speedUp(speedUp), originUs(RealUs()) {}

uint64_t ScaledLircClock::NowUs() {
    return (RealUs() - originUs) * speedUp;
}

void ScaledLircClock::SleepUntilUs(uint64_t deadlineUs) {
    const uint64_t now = NowUs();
    if (deadlineUs > now) {
        std::this_thread::sleep_for(std::chrono::microseconds((deadlineUs - now) / speedUp));
    }
}

struct FuseLircDevice::Ops {
    static FuseLircDevice& Self() {
        return *static_cast<FuseLircDevice*>(fuse_get_context()->private_data);
    }

    static int GetAttr(const char* path, struct stat* st, struct fuse_file_info*) {
        std::memset(st, 0, sizeof *st);
        if (std::strcmp(path, "/") == 0) {
            st->st_mode = S_IFDIR | 0755;
            st->st_nlink = 2;
            return 0;
        }
        if (std::strcmp(path, kFileName) == 0) {
            // A regular file: FUSE passes a regular file's fixed-size ioctls on to us.
            st->st_mode = S_IFREG | 0660;
            st->st_nlink = 1;
            st->st_gid = Self().config.group;
            return 0;
        }
        return -ENOENT;
    }

    static int ReadDir(const char* path, void* buffer, fuse_fill_dir_t fill, off_t,
                       struct fuse_file_info*, enum fuse_readdir_flags) {
        if (std::strcmp(path, "/") != 0) {
            return -ENOENT;
        }
        fill(buffer, ".", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
        fill(buffer, "..", nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
        fill(buffer, kFileName + 1, nullptr, 0, static_cast<fuse_fill_dir_flags>(0));
        return 0;
    }

    static int Open(const char* path, struct fuse_file_info* fi) {
        if (std::strcmp(path, kFileName) != 0) {
            return -ENOENT;
        }
        FuseLircDevice& self = Self();
        std::lock_guard lock(self.mutex);
        if (self.unplugged) {
            return -ENODEV;
        }
        if (self.config.openError != 0) {
            return -self.config.openError;
        }
        fi->direct_io = 1;
        fi->nonseekable = 1;
        ++self.openFiles;
        // Each reader has its own buffer: samples from before the open never reach it.
        if ((fi->flags & O_ACCMODE) != O_WRONLY) {
            ++self.readers;
            self.samples.clear();
        }
        return 0;
    }

    static int Release(const char*, struct fuse_file_info* fi) {
        FuseLircDevice& self = Self();
        std::lock_guard lock(self.mutex);
        --self.openFiles;
        if ((fi->flags & O_ACCMODE) != O_WRONLY) {
            --self.readers;
        }
        self.changed.notify_all();
        return 0;
    }

    static int Read(const char*, char* buffer, size_t size, off_t, struct fuse_file_info* fi) {
        FuseLircDevice& self = Self();
        std::unique_lock lock(self.mutex);
        if (size < sizeof(uint32_t)) {
            return -EINVAL;
        }
        for (;;) {
            if (self.unplugged) {
                return -ENODEV;
            }
            self.Deliver();
            if (!self.samples.empty()) {
                break;
            }
            if (self.unplugWhenDrained) {
                self.unplugged = true;
                return -ENODEV;
            }
            if ((fi->flags & O_NONBLOCK) != 0) {
                return -EAGAIN;
            }
            self.changed.wait(lock);
        }
        const size_t n = std::min(size / sizeof(uint32_t), self.samples.size());
        std::memcpy(buffer, self.samples.data(), n * sizeof(uint32_t));
        self.samples.erase(self.samples.begin(), self.samples.begin() + static_cast<long>(n));
        return static_cast<int>(n * sizeof(uint32_t));
    }

    static int Write(const char*, const char* data, size_t size, off_t, struct fuse_file_info*) {
        FuseLircDevice& self = Self();
        std::unique_lock lock(self.mutex);
        if (self.unplugged) {
            return -ENODEV;
        }
        if ((self.config.features & LIRC_CAN_SEND_PULSE) == 0) {
            return -EINVAL;
        }
        // The kernel's rules: whole values, an odd count (pulse first and last), at most
        // 512 of them, none zero and all of them together at most 500 ms.
        if (size < sizeof(uint32_t) || size % sizeof(uint32_t) != 0) {
            return -EINVAL;
        }
        FuseLircWrite write;
        write.values.resize(size / sizeof(uint32_t));
        std::memcpy(write.values.data(), data, size);
        if (write.values.size() > std::min(kMaxWriteValues, self.config.maxWriteValues) ||
            write.values.size() % 2 == 0) {
            return -EINVAL;
        }
        uint64_t totalUs = 0;
        for (uint32_t value : write.values) {
            if (value == 0 || value > kMaxWriteUs - totalUs) {
                return -EINVAL;
            }
            totalUs += value;
        }
        if (self.writesBeforeUnplug == 0) {
            self.unplugged = true;
            self.changed.notify_all();
            return -ENODEV;
        }
        if (self.writesBeforeUnplug > 0) {
            --self.writesBeforeUnplug;
        }
        // The write returns once the hardware has sent the signal.
        write.startUs = self.clock.NowUs();
        const auto until = std::chrono::steady_clock::now() +
                           std::chrono::microseconds(totalUs / self.clock.SpeedUp());
        if (self.changed.wait_until(lock, until, [&] { return self.unplugged; })) {
            return -ENODEV;
        }
        write.endUs = self.clock.NowUs();
        write.carrierHz = self.settings.carrierHz;
        write.dutyPercent = self.settings.dutyPercent;
        self.writes.push_back(std::move(write));
        return static_cast<int>(size);
    }

    static int Ioctl(const char*, unsigned int cmd, void*, struct fuse_file_info*, unsigned int,
                     void* data) {
        FuseLircDevice& self = Self();
        std::lock_guard lock(self.mutex);
        if (self.unplugged) {
            return -ENODEV;
        }
        const uint32_t features = self.config.features;
        uint32_t& value = *static_cast<uint32_t*>(data);
        if (cmd == LIRC_GET_FEATURES) {
            return Get(value, features);
        }
        // A request the device's features do not offer is not known to it.
        if ((features & FeatureFor(cmd)) == 0) {
            return -ENOTTY;
        }
        switch (cmd) {
            case LIRC_GET_SEND_MODE:
                return Get(value, LIRC_MODE_PULSE);
            case LIRC_GET_REC_MODE:
                return Get(value, self.settings.recMode);
            case LIRC_SET_REC_MODE:
                return Set(value == LIRC_MODE_MODE2 || value == LIRC_MODE_SCANCODE,
                           self.settings.recMode, value);
            case LIRC_GET_REC_RESOLUTION:
                return Get(value, self.config.resolutionUs);
            case LIRC_SET_SEND_CARRIER:
                return Set(value >= self.config.minCarrierHz && value <= self.config.maxCarrierHz,
                           self.settings.carrierHz, value);
            case LIRC_SET_SEND_DUTY_CYCLE:
                return Set(value > 0 && value < 100, self.settings.dutyPercent, value);
            case LIRC_GET_MIN_TIMEOUT:
                return Get(value, self.config.minTimeoutUs);
            case LIRC_GET_MAX_TIMEOUT:
                return Get(value, self.config.maxTimeoutUs);
            case LIRC_GET_REC_TIMEOUT:
                return Get(value, self.settings.timeoutUs);
            case LIRC_SET_REC_TIMEOUT:
                return Set(value >= self.config.minTimeoutUs && value <= self.config.maxTimeoutUs,
                           self.settings.timeoutUs, value);
            case LIRC_SET_MEASURE_CARRIER_MODE:
                return Set(value <= 1, self.settings.measureCarrier, value != 0);
            case LIRC_SET_WIDEBAND_RECEIVER:
                return Set(true, self.settings.wideband, value != 0);
            default:
                return -ENOTTY;
        }
    }

    // The feature a request needs; 0 for a request the device does not know.
    static uint32_t FeatureFor(unsigned int cmd) {
        switch (cmd) {
            case LIRC_GET_SEND_MODE:
                return LIRC_CAN_SEND_PULSE;
            case LIRC_GET_REC_MODE:
            case LIRC_SET_REC_MODE:
                return LIRC_CAN_REC_MODE2;
            case LIRC_GET_REC_RESOLUTION:
                return LIRC_CAN_GET_REC_RESOLUTION;
            case LIRC_SET_SEND_CARRIER:
                return LIRC_CAN_SET_SEND_CARRIER;
            case LIRC_SET_SEND_DUTY_CYCLE:
                return LIRC_CAN_SET_SEND_DUTY_CYCLE;
            case LIRC_GET_MIN_TIMEOUT:
            case LIRC_GET_MAX_TIMEOUT:
            case LIRC_GET_REC_TIMEOUT:
            case LIRC_SET_REC_TIMEOUT:
                return LIRC_CAN_SET_REC_TIMEOUT;
            case LIRC_SET_MEASURE_CARRIER_MODE:
                return LIRC_CAN_MEASURE_CARRIER;
            case LIRC_SET_WIDEBAND_RECEIVER:
                return LIRC_CAN_USE_WIDEBAND_RECEIVER;
            default:
                return 0;
        }
    }

    static int Get(uint32_t& value, uint32_t setting) {
        value = setting;
        return 0;
    }

    // A setting request: EINVAL for a value the device refuses.
    template <typename Setting, typename Value>
    static int Set(bool valid, Setting& setting, Value value) {
        if (!valid) {
            return -EINVAL;
        }
        setting = value;
        return 0;
    }

    static int Poll(const char*, struct fuse_file_info*, struct fuse_pollhandle* handle,
                    unsigned* events) {
        FuseLircDevice& self = Self();
        std::lock_guard lock(self.mutex);
        if (handle) {
            if (self.pollHandle) {
                fuse_pollhandle_destroy(self.pollHandle);
            }
            self.pollHandle = handle;
        }
        self.Deliver();
        if (self.samples.empty() && self.unplugWhenDrained) {
            self.unplugged = true;
        }
        *events = self.unplugged         ? POLLERR | POLLHUP
                  : self.samples.empty() ? 0u
                                         : static_cast<unsigned>(POLLIN | POLLRDNORM);
        return 0;
    }
};

FuseLircDevice::FuseLircDevice(ScaledLircClock& clock, FuseLircConfig configIn)
    : clock(clock), config(configIn) {
    initial.timeoutUs = config.timeoutUs;
    initial.recMode = config.recMode;
    settings = initial;
    std::string pattern = (std::filesystem::temp_directory_path() / "ardel-lirc-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) {
        error = "cannot make a mount point: " + std::string(std::strerror(errno));
        return;
    }
    mountPoint = pattern;

    static const struct fuse_operations operations = [] {
        struct fuse_operations o {};
        o.getattr = Ops::GetAttr;
        o.readdir = Ops::ReadDir;
        o.open = Ops::Open;
        o.release = Ops::Release;
        o.read = Ops::Read;
        o.write = Ops::Write;
        o.ioctl = Ops::Ioctl;
        o.poll = Ops::Poll;
        return o;
    }();
    char program[] = "fuse-lirc";
    char* argv[] = {program, nullptr};
    struct fuse_args args = FUSE_ARGS_INIT(1, argv);
    fuse = fuse_new(&args, &operations, sizeof operations, this);
    fuse_opt_free_args(&args);  // fuse_new may have added to them
    if (!fuse) {
        error = "fuse_new failed";
        return;
    }
    if (fuse_mount(fuse, mountPoint.c_str()) != 0) {
        error = "cannot mount a FUSE file system at " + mountPoint +
                (::access("/dev/fuse", R_OK | W_OK) != 0 ? " (no usable /dev/fuse)" : "");
        fuse_destroy(fuse);
        fuse = nullptr;
        return;
    }
    mounted = true;
    loop = std::thread([this] {
        struct fuse_loop_config* loopConfig = fuse_loop_cfg_create();
        fuse_loop_cfg_set_clone_fd(loopConfig, 0);
        fuse_loop_cfg_set_max_threads(loopConfig, 8);
        fuse_loop_mt(fuse, loopConfig);
        fuse_loop_cfg_destroy(loopConfig);
    });
}

FuseLircDevice::~FuseLircDevice() {
    if (fuse) {
        {
            std::lock_guard lock(mutex);
            unplugged = true;  // wakes a blocked write or read
            changed.notify_all();
        }
        fuse_exit(fuse);
        fuse_unmount(fuse);
        if (loop.joinable()) {
            loop.join();
        }
        if (pollHandle) {
            fuse_pollhandle_destroy(pollHandle);
        }
        fuse_destroy(fuse);
    }
    if (!mountPoint.empty()) {
        ::rmdir(mountPoint.c_str());
    }
}

uint32_t FuseLircDevice::Quantise(int64_t us) const {
    const int64_t step = config.resolutionUs == 0 ? 1 : config.resolutionUs;
    const int64_t rounded = (std::max<int64_t>(us, 1) + step / 2) / step * step;
    return static_cast<uint32_t>(std::max<int64_t>(rounded, step));
}

void FuseLircDevice::Deliver() {
    // Raw samples reach only readers, and only in mode2 (a reader in scancode mode would get
    // the kernel's decoded scancodes, which this device does not model).
    if (readers == 0 || settings.recMode != LIRC_MODE_MODE2) {
        return;
    }
    for (const FuseLircPress& press : pending) {
        if (settings.measureCarrier) {
            samples.push_back(LIRC_FREQUENCY(press.carrierHz));
        }
        // The receiver holds its output a little longer after each burst of carrier, and
        // reports what it saw rounded to its resolution; a pause as long as its time-out
        // gives a time-out sample, and the pause in full when the next burst comes.
        const int64_t stretch = config.markStretchUs;
        for (int32_t d : press.durations) {
            if (d > 0) {
                samples.push_back(LIRC_PULSE(Quantise(d + stretch)));
            } else if (d < 0) {
                const uint32_t space = Quantise(-static_cast<int64_t>(d) - stretch);
                if (space >= settings.timeoutUs) {
                    samples.push_back(LIRC_TIMEOUT(settings.timeoutUs));
                }
                samples.push_back(LIRC_SPACE(space));
            }
        }
        // A device pulled out in the middle of a signal never reports its end.
        if (!press.unplugAfter) {
            samples.push_back(LIRC_TIMEOUT(settings.timeoutUs));
        }
        if (press.overflowAfter) {
            samples.push_back(LIRC_OVERFLOW(0));
        }
        unplugWhenDrained = unplugWhenDrained || press.unplugAfter;
    }
    pending.clear();
}

void FuseLircDevice::Press(const FuseLircPress& press) {
    std::lock_guard lock(mutex);
    pending.push_back(press);
    changed.notify_all();
    if (pollHandle && readers > 0) {
        fuse_notify_poll(pollHandle);
    }
}

void FuseLircDevice::Unplug() {
    std::lock_guard lock(mutex);
    unplugged = true;
    changed.notify_all();
    if (pollHandle) {
        fuse_notify_poll(pollHandle);
    }
}

void FuseLircDevice::UnplugAfterWrites(int count) {
    std::lock_guard lock(mutex);
    writesBeforeUnplug = count;
}

std::vector<FuseLircWrite> FuseLircDevice::Writes() {
    std::lock_guard lock(mutex);
    return writes;
}

FuseLircSettings FuseLircDevice::Settings() {
    std::lock_guard lock(mutex);
    return settings;
}

int FuseLircDevice::OpenFilesAfterClose() {
    std::unique_lock lock(mutex);
    changed.wait_for(lock, std::chrono::seconds(1), [this] { return openFiles == 0; });
    return openFiles;
}
