#include "platform/host/HostHandheldFs.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>

namespace {

// Seconds from 1601-01-01 to 1970-01-01.
constexpr uint64_t kUnixEpochIn1601Seconds = 11644473600ULL;

FsError FromErrno(int code) {
    switch (code) {
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
            return FsError::NotFound;
        case EACCES:
        case EPERM:
        case EISDIR:
        case EROFS:
            return FsError::AccessDenied;
        case EMFILE:
        case ENFILE:
            return FsError::TooManyFiles;
        case EIO:
            return FsError::IoError;
        case ENOSPC:
        case EDQUOT:
            return FsError::DiskFull;
        case ETXTBSY:
            return FsError::Sharing;
        case ENAMETOOLONG:
            return FsError::InvalidPath;
        case EEXIST:
        case ENOTEMPTY:
            return FsError::Exists;
        default:
            return FsError::Other;
    }
}

bool SameFolded(const std::string& a, const std::string& b) {
    return a.size() == b.size() && MatchesFilePattern(a, b);
}

// Characters that no handheld file name may hold.
bool IsReservedChar(unsigned char c) {
    return c < 0x20 || std::strchr("*?\"<>|:", c) != nullptr;
}

// Makes a finished rename or removal durable: the folder's entry list is flushed.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Moves all `size` bytes at `offset` through `transfer` (pread or pwrite), going on after an
// interrupting signal and after a part; false when a call fails or moves nothing.
template <typename Byte, typename Transfer>
bool TransferAll(Transfer transfer, Byte* bytes, size_t size, uint64_t offset) {
    while (size > 0) {
        const ssize_t moved = transfer(bytes, size, static_cast<off_t>(offset));
        if (moved < 0 && errno == EINTR) {
            continue;
        }
        if (moved <= 0) {
            return false;
        }
        bytes += moved;
        size -= static_cast<size_t>(moved);
        offset += static_cast<uint64_t>(moved);
    }
    return true;
}

class HostFile : public HandheldFile {
  public:
    HostFile(int fd, bool writable) : fd_(fd), writable_(writable) {}
    ~HostFile() override { ::close(fd_); }
    HostFile(const HostFile&) = delete;
    HostFile& operator=(const HostFile&) = delete;

    bool Read(uint64_t offset, void* data, size_t size) override {
        return TransferAll([this](uint8_t* bytes, size_t count,
                                  off_t at) { return ::pread(fd_, bytes, count, at); },
                           static_cast<uint8_t*>(data), size, offset);
    }

    bool Write(uint64_t offset, const void* data, size_t size) override {
        if (!writable_) {
            return false;
        }
        return TransferAll([this](const uint8_t* bytes, size_t count,
                                  off_t at) { return ::pwrite(fd_, bytes, count, at); },
                           static_cast<const uint8_t*>(data), size, offset);
    }

    bool SetLength(uint64_t length) override {
        return writable_ && ::ftruncate(fd_, static_cast<off_t>(length)) == 0;
    }

    bool Flush() override {
        if (!writable_) {
            return true;
        }
        return ::fdatasync(fd_) == 0;
    }

    uint64_t Length() override {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    }

    bool Writable() const override { return writable_; }

  private:
    int fd_;
    bool writable_;
};

}  // namespace

HostHandheldFs::HostHandheldFs(std::string rootFolder, std::string programPath)
    : root_(std::move(rootFolder)), programPath_(std::move(programPath)) {
    while (root_.size() > 1 && root_.back() == '/') {
        root_.pop_back();
    }
}

FsError HostHandheldFs::Resolve(const std::string& path, Resolved& out) {
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos <= path.size()) {
        size_t end = path.find('\\', pos);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string name = path.substr(pos, end - pos);
        pos = end + 1;
        if (name.empty()) {
            continue;
        }
        // Steps up or sideways, and host separators, would let a path leave the device.
        if (name == "." || name == ".." || name.find('/') != std::string::npos) {
            return FsError::NotFound;
        }
        for (const char c : name) {
            if (IsReservedChar(static_cast<unsigned char>(c))) {
                return FsError::InvalidPath;
            }
        }
        names.push_back(std::move(name));
    }

    out = Resolved{};
    out.host = root_;
    out.exists = true;
    out.isFolder = true;
    for (size_t k = 0; k < names.size(); ++k) {
        if (!out.isFolder) {
            return FsError::NotFound;  // a file on the way
        }
        out.folder = out.host;
        out.given = names[k];
        std::string real;
        struct stat st {};
        if (::lstat((out.folder + "/" + names[k]).c_str(), &st) == 0) {
            real = names[k];
        } else if (DIR* dir = ::opendir(out.folder.c_str())) {
            // The first match in name order, so that the choice does not depend on the host.
            while (const dirent* entry = ::readdir(dir)) {
                const std::string candidate = entry->d_name;
                if (candidate != "." && candidate != ".." && SameFolded(candidate, names[k]) &&
                    (real.empty() || candidate < real)) {
                    real = candidate;
                }
            }
            ::closedir(dir);
            if (!real.empty() && ::lstat((out.folder + "/" + real).c_str(), &st) != 0) {
                real.clear();
            }
        }
        if (real.empty()) {
            if (k + 1 < names.size()) {
                return FsError::NotFound;
            }
            out.host = out.folder + "/" + names[k];
            out.exists = false;
            out.isFolder = false;
            return FsError::None;
        }
        if (S_ISLNK(st.st_mode)) {
            return FsError::NotFound;  // a link could point anywhere on the host
        }
        out.host = out.folder + "/" + real;
        out.isFolder = S_ISDIR(st.st_mode);
    }
    return FsError::None;
}

std::string HostHandheldFs::HostPath(const std::string& path) {
    Resolved resolved;
    return Resolve(path, resolved) == FsError::None ? resolved.host : std::string();
}

std::unique_ptr<HandheldFile> HostHandheldFs::Open(const std::string& path, FsOpen mode,
                                                   FsError& error) {
    Resolved resolved;
    error = Resolve(path, resolved);
    if (error != FsError::None) {
        return nullptr;
    }
    if (resolved.isFolder) {
        error = resolved.folder.empty() ? FsError::NotFound : FsError::AccessDenied;
        return nullptr;
    }
    if (!resolved.exists && mode != FsOpen::Create) {
        error = FsError::NotFound;
        return nullptr;
    }
    int flags = O_CLOEXEC | O_NOFOLLOW;
    switch (mode) {
        case FsOpen::Read:
            flags |= O_RDONLY;
            break;
        case FsOpen::ReadWrite:
            flags |= O_RDWR;
            break;
        case FsOpen::Create:
            flags |= O_RDWR | O_CREAT | O_TRUNC;
            break;
    }
    const int fd = ::open(resolved.host.c_str(), flags, 0644);
    if (fd < 0) {
        error = FromErrno(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = FsError::AccessDenied;
        return nullptr;
    }
    return std::make_unique<HostFile>(fd, mode != FsOpen::Read);
}

FsError HostHandheldFs::Rename(const std::string& from, const std::string& to, bool replace) {
    Resolved source, target;
    FsError error = Resolve(from, source);
    if (error != FsError::None) {
        return error;
    }
    if (!source.exists || source.isFolder || source.folder.empty()) {
        return source.exists ? FsError::AccessDenied : FsError::NotFound;
    }
    error = Resolve(to, target);
    if (error != FsError::None) {
        return error;
    }
    if (target.folder.empty() || target.isFolder) {
        return FsError::AccessDenied;
    }
    std::string destination = target.host;
    if (target.exists && target.host == source.host) {
        // The same file: only the letter case of its name changes.
        destination = target.folder + "/" + target.given;
        if (destination == source.host) {
            return FsError::None;
        }
    } else if (target.exists && !replace) {
        return FsError::Exists;
    }
    if (::rename(source.host.c_str(), destination.c_str()) != 0) {
        return FromErrno(errno);
    }
    SyncFolder(target.folder);
    if (source.folder != target.folder) {
        SyncFolder(source.folder);
    }
    return FsError::None;
}

FsError HostHandheldFs::Remove(const std::string& path) {
    Resolved resolved;
    const FsError error = Resolve(path, resolved);
    if (error != FsError::None) {
        return error;
    }
    if (!resolved.exists) {
        return FsError::NotFound;
    }
    if (resolved.isFolder) {
        return FsError::AccessDenied;
    }
    if (::unlink(resolved.host.c_str()) != 0) {
        return FromErrno(errno);
    }
    SyncFolder(resolved.folder);
    return FsError::None;
}

FsError HostHandheldFs::CreateFolder(const std::string& path) {
    Resolved resolved;
    const FsError error = Resolve(path, resolved);
    if (error != FsError::None) {
        return error;
    }
    if (resolved.exists) {
        return resolved.isFolder ? FsError::None : FsError::Exists;
    }
    if (::mkdir(resolved.host.c_str(), 0755) != 0) {
        return FromErrno(errno);
    }
    return FsError::None;
}

bool HostHandheldFs::FileExists(const std::string& path) {
    Resolved resolved;
    return Resolve(path, resolved) == FsError::None && resolved.exists && !resolved.isFolder;
}

std::vector<std::string> HostHandheldFs::ListFiles(const std::string& folder,
                                                   const std::string& pattern) {
    std::vector<std::string> names;
    Resolved resolved;
    if (Resolve(folder, resolved) != FsError::None || !resolved.exists || !resolved.isFolder) {
        return names;
    }
    DIR* dir = ::opendir(resolved.host.c_str());
    if (!dir) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat st {};
        if (MatchesFilePattern(name, pattern) &&
            ::lstat((resolved.host + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    // The host lists a folder in no particular order; name order keeps runs repeatable.
    std::sort(names.begin(), names.end());
    return names;
}

// The folder is resolved once and its files are opened beside it, four system calls a file
// where opening each by its full path takes a dozen: a scan of hundreds of codebases is
// mostly system calls.
std::vector<HandheldFs::FileHead> HostHandheldFs::ReadFileHeads(const std::string& folder,
                                                                const std::string& pattern,
                                                                size_t size) {
    std::vector<FileHead> heads;
    Resolved resolved;
    if (Resolve(folder, resolved) != FsError::None || !resolved.exists || !resolved.isFolder) {
        return heads;
    }
    const int folderFd =
        ::open(resolved.host.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (folderFd < 0) {
        return heads;
    }
    DIR* dir = ::fdopendir(::dup(folderFd));
    if (!dir) {
        ::close(folderFd);
        return heads;
    }
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!MatchesFilePattern(name, pattern)) {
            continue;
        }
        // Links are not followed, and a named pipe must not hold the open.
        const int fd =
            ::openat(folderFd, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            continue;
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
            FileHead head;
            head.name = name;
            head.length = static_cast<uint64_t>(st.st_size);
            head.bytes.resize(static_cast<size_t>(std::min<uint64_t>(size, head.length)));
            head.readable = TransferAll([fd](uint8_t* bytes, size_t count,
                                             off_t at) { return ::pread(fd, bytes, count, at); },
                                        head.bytes.data(), head.bytes.size(), 0);
            heads.push_back(std::move(head));
        }
        ::close(fd);
    }
    ::closedir(dir);
    ::close(folderFd);
    // The same order as ListFiles.
    std::sort(heads.begin(), heads.end(),
              [](const FileHead& a, const FileHead& b) { return a.name < b.name; });
    return heads;
}

uint64_t HostHandheldFs::SystemTime() {
    if (fixedTime_) {
        return *fixedTime_;
    }
    const auto sinceUnix = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::system_clock::now().time_since_epoch());
    return kUnixEpochIn1601Seconds * 10000000ULL +
           static_cast<uint64_t>(sinceUnix.count()) / 100ULL;
}
