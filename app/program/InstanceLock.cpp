#include "app/program/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

long ReadPid(int fd) {
    char text[32] = {};
    const ssize_t got = ::pread(fd, text, sizeof text - 1, 0);
    if (got <= 0) {
        return 0;
    }
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return end != text && pid > 0 ? pid : 0;
}

}  // namespace

CInstanceLock::CInstanceLock(std::string root, bool doorbell)
    : path_(root + "/" + kFileName),
      doorbellPath_(root + "/" + kDoorbellName),
      listens_(doorbell) {}

CInstanceLock::~CInstanceLock() {
    if (doorbell_ >= 0) {
        ::close(doorbell_);
    }
    if (fd_ >= 0) {
        // The file stays: removing it would let a program that opened it a moment ago lock
        // a file that no longer has a name, beside a third one that makes a new file.
        ::close(fd_);
    }
}

CInstanceLock::Result CInstanceLock::Take() {
    if (fd_ >= 0) {
        return kTaken;
    }
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        error_ = "cannot open the lock file " + path_ + ": " + std::strerror(errno);
        return kFailed;
    }
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error == EINTR) {
            continue;
        }
        if (error == EWOULDBLOCK) {
            holderPid_ = ReadPid(fd);
            ::close(fd);
            return kInUse;
        }
        error_ = "cannot lock " + path_ + ": " + std::strerror(error);
        ::close(fd);
        return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS ? kUnsupported : kFailed;
    }
    fd_ = fd;
    // Listening before the id is written: whoever sees the id can ring.
    if (listens_) {
        OpenDoorbell();
    }
    // The previous holder's id, if one crashed, is replaced by ours.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd_, 0) != 0 ||
        ::pwrite(fd_, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
        // The lock holds all the same; only the message of a second start lacks the id.
    }
    return kTaken;
}

void CInstanceLock::OpenDoorbell() {
    if (::mkfifo(doorbellPath_.c_str(), 0600) != 0 && errno != EEXIST) {
        return;
    }
    // Opened for writing as well, so that the pipe never reads as closed between rings.
    const int fd = ::open(doorbellPath_.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    struct stat about {};
    if (fd < 0) {
        return;
    }
    if (::fstat(fd, &about) != 0 || !S_ISFIFO(about.st_mode)) {
        ::close(fd);  // something else has the doorbell's name
        return;
    }
    // A pipe keeps nothing once its last reader is gone, so no ring of an earlier holder's
    // time is left in it.
    doorbell_ = fd;
}

bool CInstanceLock::TakeRings() {
    const int fd = doorbell_;
    if (fd < 0) {
        return false;
    }
    bool rung = false;
    char bytes[64];
    while (::read(fd, bytes, sizeof bytes) > 0) {
        rung = true;
    }
    return rung;
}

bool CInstanceLock::Ring(const std::string& root) {
    // Without a listener the open fails at once (ENXIO) instead of waiting for one.
    const std::string path = root + "/" + kDoorbellName;
    const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;
    }
    struct stat about {};
    const char ring = 1;
    const bool rung =
        ::fstat(fd, &about) == 0 && S_ISFIFO(about.st_mode) && ::write(fd, &ring, 1) == 1;
    ::close(fd);
    return rung;
}

void WatchDoorbell(CInstanceLock& lock, std::function<void()> rung, QObject* parent) {
    const int fd = lock.Doorbell();
    if (fd < 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(fd, QSocketNotifier::Read, parent);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier,
                     [&lock, rung = std::move(rung)] {
                         if (lock.TakeRings()) {
                             rung();
                         }
                     });
}
