// Files and folders of the handheld, and its system clock.
//
// The program names files the way the handheld does: "\My Documents\TV_Sony.PDB", with
// backslashes, from the root of the device, letter case not mattering. Everything that
// touches files goes through HandheldFs, so the storage code runs unchanged against a
// folder on the host that stands for the device, and tests can fix the clock and make
// writes fail.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Why a file operation failed.
enum class FsError : uint8_t {
    None,
    NotFound,      // no such file or folder, or a path that leaves the device
    InvalidPath,   // a name with characters that no file name may hold
    TooManyFiles,  // the process has too many files open
    AccessDenied,  // permissions, a read-only file, or a folder where a file was expected
    IoError,       // the medium failed
    Sharing,       // another user holds the file
    Lock,          // a lock on the file is in the way
    DiskFull,
    Exists,  // the target of a move already exists
    Other,
};

// How a file is opened.
enum class FsOpen : uint8_t {
    Read,       // an existing file, read-only
    ReadWrite,  // an existing file, read and write
    Create,     // created, or truncated when it exists; read and write
};

// One open file. Reads and writes address absolute offsets; there is no file position.
class HandheldFile {
  public:
    virtual ~HandheldFile() = default;

    // Reads exactly `size` bytes at `offset`; false when the file holds fewer there.
    virtual bool Read(uint64_t offset, void* data, size_t size) = 0;
    // Writes `size` bytes at `offset`, growing the file when needed.
    virtual bool Write(uint64_t offset, const void* data, size_t size) = 0;
    virtual bool SetLength(uint64_t length) = 0;
    // Makes everything written so far durable on the medium.
    virtual bool Flush() = 0;
    virtual uint64_t Length() = 0;
    virtual bool Writable() const = 0;
};

class HandheldFs {
  public:
    // Where the program file lies on a handheld set up the usual way.
    static constexpr const char* kDefaultProgramPath =
        "\\Program Files\\ArdelRemote\\ArdelRemote.exe";

    virtual ~HandheldFs() = default;

    // Opens a file; null with the reason in `error` on failure.
    virtual std::unique_ptr<HandheldFile> Open(const std::string& path, FsOpen mode,
                                               FsError& error) = 0;
    // Moves a file. With `replace` an existing target is replaced in one step (nobody ever
    // sees the target missing); without it an existing target fails with FsError::Exists.
    // A move that only changes the letter case of the name is allowed either way.
    virtual FsError Rename(const std::string& from, const std::string& to, bool replace) = 0;
    virtual FsError Remove(const std::string& path) = 0;
    virtual FsError CreateFolder(const std::string& path) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // The names (without folder) of the files in `folder` that match `pattern`, where '*'
    // stands for any run of characters and '?' for one; letter case does not matter.
    virtual std::vector<std::string> ListFiles(const std::string& folder,
                                               const std::string& pattern) = 0;
    // The beginning of every file that ListFiles names, in its order, for a scan that looks
    // at headers only: up to `size` bytes from the start, and the file's length. A file that
    // cannot be opened is left out; one whose bytes cannot be read has `readable` false.
    struct FileHead {
        std::string name;
        uint64_t length = 0;
        std::vector<uint8_t> bytes;  // min(size, length) bytes
        bool readable = true;
    };
    virtual std::vector<FileHead> ReadFileHeads(const std::string& folder,
                                                const std::string& pattern, size_t size);

    // The system clock: 100-nanosecond intervals since 1601-01-01 00:00 UTC.
    virtual uint64_t SystemTime() = 0;
    // The full handheld path of the running program file.
    virtual std::string ProgramPath() = 0;
    // The file of the host system that a handheld path stands for, for what must be handed
    // a host file name (the sound player); empty where there is none.
    virtual std::string HostPath(const std::string& path) {
        (void)path;
        return {};
    }
};

// Matches a file name against a pattern of '*' and '?', ignoring ASCII letter case.
bool MatchesFilePattern(const std::string& name, const std::string& pattern);
