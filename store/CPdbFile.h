// Record-database files (".PDB"): the one file format in which the program keeps its
// codebases and preferences.
//
// Layout, big-endian throughout: a 78-byte header (name, attributes, version, dates, type,
// creator, record count at 76), then one 8-byte entry per record (absolute offset, attribute
// byte, 24-bit unique ID), then the records' bytes back to back. A record runs to the next
// record's offset, the last one to the end of the file. An empty database is 80 bytes.
//
// Every change (append, replace, delete, header fields, name) builds the complete new file
// in memory and puts it in place of the old one through a temporary file in the same
// folder that is flushed and then renamed over it, so that a failure or a crash at any
// moment leaves either the old or the new file, never a mixture.
//
// A damaged file never makes a read go outside it: records whose offsets lie outside the
// file or are out of order read as empty, and a change refuses to rewrite a file whose
// records cannot all be loaded, leaving it as it was.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "platform/HandheldFs.h"

// Result codes of CPdbFile. Each operation uses its own set, so some numbers repeat.
enum PdbResult : int {
    kPdbOk = 0,

    // Open
    kPdbOpenNoPath = 1,
    kPdbOpenFailed = 2,

    // Create: the reason why the file could not be made.
    kPdbCreateNoPath = 1,
    kPdbCreateInvalidPath = 2,
    kPdbCreateTooManyFiles = 3,
    kPdbCreateAccessDenied = 4,
    kPdbCreateIoError = 5,
    kPdbCreateSharing = 6,
    kPdbCreateLock = 7,
    kPdbCreateDiskFull = 8,
    kPdbCreateFailed = 9,
    kPdbCreateNotPdb = 10,        // the path does not end in ".pdb"
    kPdbCreateNameTooLong = 12,   // "\" + file name longer than 35 characters
    kPdbCreateOtherReason = 100,  // e.g. a folder on the way that does not exist

    // ReplaceRecord, DeleteRecord (AppendRecord answers -1 for all of these)
    kPdbNoFileOpen = 1,
    kPdbNegativeIndex = 2,   // DeleteRecord only
    kPdbIndexTooLarge = 3,   // not below the record count
    kPdbNotLoaded = 5,       // the existing records could not be read; file untouched
    kPdbNotWritable = 6,     // opened read-only; for DeleteRecord also a failed rewrite
    kPdbRewriteFailed = -1,  // ReplaceRecord: the new file could not be written
    kPdbDeleteRewriteFailed = 6,

    // Rename
    kPdbRenameNothing = 1,     // no file open, or no name
    kPdbRenameMoveFailed = 2,  // the file could not be moved (another file has that name)
    kPdbRenameNotLoaded = 5,   // the file could not be read; name and bytes untouched
    kPdbRenameNotWritten = 6,  // opened read-only, or the header could not be written
    kPdbRenameBadName = 10,    // the name holds characters that no file name may hold
};

// A four-character code as stored in the header: "AIrC" is 0x41497243.
constexpr uint32_t FourCharCode(const char (&code)[5]) {
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

// Names inside the files are 8-bit: each UTF-16 unit is kept as its low byte when written,
// and bytes are widened as Latin-1 when read.
QByteArray ToFileBytes(const QString& text);
QString FromFileBytes(const char* bytes, size_t size);

class CPdbFile {
  public:
    enum Mode : int { kModeClosed = 0, kModeRead = 1, kModeWrite = 2, kModeReadWrite = 3 };

    static constexpr uint32_t kHeaderSize = 78;
    static constexpr uint32_t kEntrySize = 8;
    static constexpr uint32_t kEmptySize = 80;
    static constexpr int kMaxNameLength = 31;

    // Works on `fs`; without one, nothing opens.
    explicit CPdbFile(HandheldFs* fs);
    virtual ~CPdbFile();
    CPdbFile(const CPdbFile&) = delete;
    CPdbFile& operator=(const CPdbFile&) = delete;

    // Closes what is open, then opens `path` with a Mode. kPdbOk, kPdbOpenNoPath or
    // kPdbOpenFailed (the object stays closed).
    int Open(const QString& path, int mode);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    int GetMode() const { return mode_; }
    // The path as it was opened or created (or renamed to).
    const QString& GetPath() const { return path_; }
    // The file's length as last seen: on open, create and after every change.
    uint64_t GetLength() const { return length_; }

    // Makes `path` an empty database (replacing any file there) and keeps it open read-write.
    int Create(const QString& path);

    uint16_t GetRecordCount();
    // A copy of record `index`; empty when nothing is open, the index is out of range or
    // the record is empty.
    std::vector<uint8_t> ReadRecord(int index);
    // The same two for a caller that is about to change the file and must tell a record
    // (or count) that cannot be read from an empty or missing one: nothing when a read
    // failed.
    std::optional<uint16_t> TryGetRecordCount();
    std::optional<std::vector<uint8_t>> TryReadRecord(int index);

    // The new record's index, or -1. An odd length is padded with one zero byte.
    int AppendRecord(const uint8_t* data, size_t length);
    int ReplaceRecord(int index, const uint8_t* data, size_t length);
    int DeleteRecord(int index);

    // The header name, at most 31 characters; empty when nothing is open.
    QString GetName();
    // Writes the first 31 characters of `name` into the header and moves the file to that
    // name + ".PDB" in its folder. The file stays open read-write. A file that cannot be
    // read whole keeps its name and bytes (kPdbRenameNotLoaded).
    int Rename(const QString& name);

    // The header fields that a scan looks at, from a file's first bytes (up to
    // kHeaderSize of them) and its length, as the getters below read them from the open
    // file: a field that lies beyond the end reads as 0.
    struct HeaderFields {
        QString name;
        uint16_t version = 0;
        uint32_t type = 0, creator = 0;
    };
    static HeaderFields ParseHeader(const std::vector<uint8_t>& head, uint64_t length);

    uint16_t GetVersion();
    void SetVersion(uint16_t version);
    uint32_t GetType();
    void SetType(uint32_t type);
    uint32_t GetCreator();
    void SetCreator(uint32_t creator);

    // Records whose first two bytes are a big-endian key.
    // The first index from `start` on whose record begins with `key`, or -1.
    int FindKeyedRecord(uint16_t key, int start);
    int AppendKeyedRecord(const uint8_t* payload, size_t length, uint16_t key);
    // Without a payload nothing changes and the result is kPdbOk.
    int ReplaceKeyedRecord(const uint8_t* payload, size_t length, int index, uint16_t key);
    // The record's bytes after its key; empty when it holds no more than the key.
    std::vector<uint8_t> ReadKeyedRecord(int index);

    // One change of a keyed record: the first record with `key` gets `payload`, or a new
    // record is appended; an empty payload removes the record.
    struct KeyedChange {
        uint16_t key;
        std::vector<uint8_t> payload;
    };
    // Makes the changes in their order and writes the file once: the records end as the
    // changes one after the other would leave them. kPdbOk (also when nothing changed),
    // kPdbNoFileOpen, kPdbNotWritable, kPdbNotLoaded (file untouched) or kPdbRewriteFailed.
    int ApplyKeyedChanges(const std::vector<KeyedChange>& changes);

  protected:
    // The file system of the open file, or the one the next Open or Create will use.
    HandheldFs* Fs() const;

  private:
    struct Slot {
        uint8_t entry[kEntrySize] = {};
        std::vector<uint8_t> data;  // even length
        bool deleted = false;
    };

    enum class Extent { Found, Empty, Unreadable };

    // Whether `size` bytes at `offset` lie inside the file as last seen.
    bool Inside(uint64_t offset, size_t size) const;
    // False when the bytes lie outside the file or the read fails.
    bool ReadAt(uint64_t offset, void* data, size_t size);
    // Whether the file still has the length this object last saw (no other writer
    // changed it in place since).
    bool Unchanged() const;
    uint32_t ReadNumber(uint64_t offset, int width);
    void WriteHeaderField(uint64_t offset, uint32_t value, int width);
    // Where record `index` lies. Empty when it lies outside the file or has no bytes;
    // Unreadable when a read inside the file failed.
    Extent RecordExtent(int index, uint32_t count, uint32_t& start, uint32_t& end);
    // Record `index` of `count` without its first `skip` bytes; false only when a read
    // failed (an empty or missing record gives true and no bytes).
    bool LoadSpan(int index, uint32_t count, uint32_t skip, std::vector<uint8_t>& data);
    // The same for readers, to whom a record that cannot be read is empty.
    std::vector<uint8_t> ReadSpan(int index, uint32_t count, uint32_t skip);
    // The records of the file, one slot each, plus `extra` empty slots; false, and the
    // change must not go on, when any of it could not be read.
    bool LoadTable(std::vector<Slot>& table, size_t extra);
    bool Rewrite(const std::vector<Slot>& table);
    // Replaces the whole file at `path` by `image`; the new file becomes the open one.
    FsError Commit(const QString& path, const std::vector<uint8_t>& image);
    // The file's bytes as last seen; false when they cannot all be read.
    bool ReadWholeFile(std::vector<uint8_t>& image);

    HandheldFs* fs_;                // as given to the constructor
    HandheldFs* openFs_ = nullptr;  // the one the open file belongs to
    std::unique_ptr<HandheldFile> file_;
    QString path_;
    int mode_ = kModeClosed;
    uint64_t length_ = 0;
};
