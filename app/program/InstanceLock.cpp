#include "app/program/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

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

CInstanceLock::CInstanceLock(std::string root) : path_(std::move(root) + "/" + kFileName) {}

CInstanceLock::~CInstanceLock() {
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
    // The previous holder's id, if one crashed, is replaced by ours.
    const std::string pid = std::to_string(::getpid()) + "\n";
    if (::ftruncate(fd_, 0) != 0 ||
        ::pwrite(fd_, pid.data(), pid.size(), 0) != static_cast<ssize_t>(pid.size())) {
        // The lock holds all the same; only the message of a second start lacks the id.
    }
    return kTaken;
}
