#include "store/CPdbFile.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t kNameOffset = 0;
constexpr uint32_t kNameField = 32;
constexpr uint32_t kAttributesOffset = 32;
constexpr uint32_t kVersionOffset = 34;
constexpr uint32_t kModifiedOffset = 40;
constexpr uint32_t kTypeOffset = 60;
constexpr uint32_t kCreatorOffset = 64;
constexpr uint32_t kCountOffset = 76;
constexpr uint16_t kNewFileAttributes = 0x0008;
constexpr size_t kMaxFileNameWithSlash = 35;
constexpr uint32_t kMaxRecords = 0xFFFF;

// Seconds between 1601-01-01 and 1904-01-01, as the low 32 bits of the count.
constexpr uint32_t k1904In1601Seconds = 971694208u;

void PutNumber(uint8_t* at, uint32_t value, int width) {
    for (int k = width - 1; k >= 0; --k) {
        at[k] = static_cast<uint8_t>(value);
        value >>= 8;
    }
}

uint32_t GetNumber(const uint8_t* at, int width) {
    uint32_t value = 0;
    for (int k = 0; k < width; ++k) {
        value = (value << 8) | at[k];
    }
    return value;
}

// The header's modification date: seconds since 1904, from the system clock.
uint32_t ModificationDate(uint64_t systemTime) {
    return static_cast<uint32_t>(systemTime / 10000000ULL) - k1904In1601Seconds;
}

int CreateCode(FsError error) {
    switch (error) {
        case FsError::None:
            return kPdbOk;
        case FsError::InvalidPath:
            return kPdbCreateInvalidPath;
        case FsError::TooManyFiles:
            return kPdbCreateTooManyFiles;
        case FsError::AccessDenied:
            return kPdbCreateAccessDenied;
        case FsError::IoError:
            return kPdbCreateIoError;
        case FsError::Sharing:
            return kPdbCreateSharing;
        case FsError::Lock:
            return kPdbCreateLock;
        case FsError::DiskFull:
            return kPdbCreateDiskFull;
        case FsError::Other:
            return kPdbCreateFailed;
        case FsError::NotFound:
        case FsError::Exists:
            break;
    }
    return kPdbCreateOtherReason;
}

// Records enter a change with an even length: an odd one gets a trailing zero byte.
void PadToEven(std::vector<uint8_t>& data) {
    if (data.size() % 2) {
        data.push_back(0);
    }
}

// A keyed record: the big-endian key, then the payload. The key's two bytes are placed
// one by one rather than into a buffer sized length + 2, whose size the compiler cannot
// tell from zero when the sum wraps.
std::vector<uint8_t> KeyedBytes(uint16_t key, const uint8_t* payload, size_t length) {
    std::vector<uint8_t> record;
    record.reserve(length + 2);
    record.push_back(static_cast<uint8_t>(key >> 8));
    record.push_back(static_cast<uint8_t>(key));
    record.insert(record.end(), payload, payload + length);
    return record;
}

// Whether a name can become a file name without naming another folder or a pattern.
bool UsableAsFileName(const QByteArray& name) {
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || std::strchr("\\/:*?\"<>|", byte) != nullptr) {
            return false;
        }
    }
    return true;
}

}  // namespace

QByteArray ToFileBytes(const QString& text) {
    QByteArray bytes(text.size(), '\0');
    for (qsizetype k = 0; k < text.size(); ++k) {
        bytes[k] = static_cast<char>(text[k].unicode() & 0xFF);
    }
    return bytes;
}

QString FromFileBytes(const char* bytes, size_t size) {
    return QString::fromLatin1(bytes, static_cast<qsizetype>(size));
}

CPdbFile::CPdbFile(HandheldFs* fs) : fs_(fs) {}

CPdbFile::~CPdbFile() {
    Close();
}

HandheldFs* CPdbFile::Fs() const {
    return file_ ? openFs_ : fs_;
}

int CPdbFile::Open(const QString& path, int mode) {
    Close();
    if (path.isEmpty()) {
        return kPdbOpenNoPath;
    }
    HandheldFs* fs = Fs();
    if (!fs || (mode != kModeRead && mode != kModeWrite && mode != kModeReadWrite)) {
        return kPdbOpenFailed;
    }
    // A write-only file is opened for reading as well: every change reads the records.
    FsError error = FsError::None;
    file_ =
        fs->Open(path.toStdString(), mode == kModeRead ? FsOpen::Read : FsOpen::ReadWrite, error);
    if (!file_) {
        return kPdbOpenFailed;
    }
    openFs_ = fs;
    path_ = path;
    mode_ = mode;
    length_ = file_->Length();
    return kPdbOk;
}

void CPdbFile::Close() {
    file_.reset();
    path_.clear();
    mode_ = kModeClosed;
    length_ = 0;
}

int CPdbFile::Create(const QString& path) {
    if (path.isEmpty()) {
        return kPdbCreateNoPath;
    }
    if (!path.endsWith(QStringLiteral(".pdb"), Qt::CaseInsensitive)) {
        return kPdbCreateNotPdb;
    }
    const qsizetype slash = path.lastIndexOf(QLatin1Char('\\'));
    const QString fileName = slash < 0 ? path : path.mid(slash);
    if (static_cast<size_t>(fileName.size()) > kMaxFileNameWithSlash) {
        return kPdbCreateNameTooLong;
    }
    Close();
    HandheldFs* fs = Fs();
    if (!fs) {
        return kPdbCreateFailed;
    }
    // A file that is there already must be one we may replace.
    const std::string hostPath = path.toStdString();
    if (fs->FileExists(hostPath)) {
        FsError error = FsError::None;
        if (!fs->Open(hostPath, FsOpen::ReadWrite, error)) {
            return CreateCode(error);
        }
    }

    std::vector<uint8_t> image(kEmptySize, 0);
    const QByteArray name =
        ToFileBytes(slash < 0 ? path.chopped(4) : path.mid(slash + 1).chopped(4));
    std::memcpy(image.data() + kNameOffset, name.constData(),
                std::min<size_t>(static_cast<size_t>(name.size()), kNameField - 1));
    PutNumber(image.data() + kAttributesOffset, kNewFileAttributes, 2);
    const FsError error = Commit(path, image);
    if (error != FsError::None) {
        Close();
        return CreateCode(error);
    }
    mode_ = kModeReadWrite;
    return kPdbOk;
}

FsError CPdbFile::Commit(const QString& path, const std::vector<uint8_t>& image) {
    HandheldFs* fs = Fs();
    if (!fs) {
        return FsError::Other;
    }
    const std::string target = path.toStdString();
    const std::string temporary = target + ".new";
    FsError error = FsError::None;
    std::unique_ptr<HandheldFile> file = fs->Open(temporary, FsOpen::Create, error);
    if (!file) {
        return error;
    }
    if (!file->Write(0, image.data(), image.size()) || !file->Flush()) {
        file.reset();
        fs->Remove(temporary);
        return FsError::IoError;
    }
    error = fs->Rename(temporary, target, true);
    if (error != FsError::None) {
        file.reset();
        fs->Remove(temporary);
        return error;
    }
    // The handle of the temporary file now reaches the file at its final name.
    file_ = std::move(file);
    openFs_ = fs;
    path_ = path;
    length_ = image.size();
    return FsError::None;
}

bool CPdbFile::Inside(uint64_t offset, size_t size) const {
    return file_ && offset <= length_ && size <= length_ - offset;
}

bool CPdbFile::ReadAt(uint64_t offset, void* data, size_t size) {
    return Inside(offset, size) && file_->Read(offset, data, size);
}

bool CPdbFile::Unchanged() const {
    return file_ && file_->Length() == length_;
}

uint32_t CPdbFile::ReadNumber(uint64_t offset, int width) {
    uint8_t bytes[4] = {};
    return ReadAt(offset, bytes, static_cast<size_t>(width)) ? GetNumber(bytes, width) : 0;
}

uint16_t CPdbFile::GetRecordCount() {
    return static_cast<uint16_t>(ReadNumber(kCountOffset, 2));
}

CPdbFile::Extent CPdbFile::RecordExtent(int index, uint32_t count, uint32_t& start, uint32_t& end) {
    if (index < 0 || static_cast<uint32_t>(index) >= count) {
        return Extent::Empty;
    }
    // Parts of the list that lie outside the file read as missing; a read of a part that
    // lies inside and fails is no answer at all.
    const uint64_t entry = kHeaderSize + uint64_t(kEntrySize) * uint32_t(index);
    uint8_t offset[4];
    if (!Inside(entry, 4)) {
        return Extent::Empty;
    }
    if (!ReadAt(entry, offset, 4)) {
        return Extent::Unreadable;
    }
    start = GetNumber(offset, 4);
    uint64_t stop = length_;
    if (static_cast<uint32_t>(index) + 1 < count && Inside(entry + kEntrySize, 4)) {
        if (!ReadAt(entry + kEntrySize, offset, 4)) {
            return Extent::Unreadable;
        }
        stop = std::min<uint64_t>(GetNumber(offset, 4), length_);
    }
    end = static_cast<uint32_t>(stop);
    return start < stop ? Extent::Found : Extent::Empty;
}

bool CPdbFile::LoadSpan(int index, uint32_t count, uint32_t skip, std::vector<uint8_t>& data) {
    data.clear();
    uint32_t start = 0, end = 0;
    switch (RecordExtent(index, count, start, end)) {
        case Extent::Unreadable:
            return false;
        case Extent::Empty:
            return true;
        case Extent::Found:
            break;
    }
    if (end - start <= skip) {
        return true;
    }
    data.resize(end - start - skip);
    if (!ReadAt(uint64_t(start) + skip, data.data(), data.size())) {
        data.clear();
        return false;
    }
    return true;
}

std::vector<uint8_t> CPdbFile::ReadSpan(int index, uint32_t count, uint32_t skip) {
    std::vector<uint8_t> data;
    LoadSpan(index, count, skip, data);  // a record that cannot be read reads as empty
    return data;
}

std::vector<uint8_t> CPdbFile::ReadRecord(int index) {
    return ReadSpan(index, GetRecordCount(), 0);
}

std::optional<uint16_t> CPdbFile::TryGetRecordCount() {
    uint8_t bytes[2];
    if (!Inside(kCountOffset, 2)) {
        return 0;
    }
    if (!ReadAt(kCountOffset, bytes, 2)) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(GetNumber(bytes, 2));
}

std::optional<std::vector<uint8_t>> CPdbFile::TryReadRecord(int index) {
    const std::optional<uint16_t> count = TryGetRecordCount();
    std::vector<uint8_t> data;
    if (!count || !LoadSpan(index, *count, 0, data)) {
        return std::nullopt;
    }
    return data;
}

std::vector<uint8_t> CPdbFile::ReadKeyedRecord(int index) {
    return ReadSpan(index, GetRecordCount(), 2);
}

bool CPdbFile::LoadTable(std::vector<Slot>& table, size_t extra) {
    // Whatever cannot be read makes the change refuse: a record that failed to read must
    // not be written back as an empty one, nor a count that failed to read as no records.
    // A file that another writer changed since it was opened is refused as well, since
    // its records are no longer where this object last saw them.
    if (!Unchanged()) {
        return false;
    }
    const std::optional<uint16_t> count = TryGetRecordCount();
    if (!count) {
        return false;
    }
    table.assign(*count + extra, Slot{});
    uint64_t loaded = 0;
    for (uint32_t i = 0; i < *count; ++i) {
        Slot& slot = table[i];
        const uint64_t entry = kHeaderSize + uint64_t(kEntrySize) * i;
        if (entry >= length_ || !ReadAt(entry, slot.entry, kEntrySize)) {
            return false;
        }
        if (!LoadSpan(static_cast<int>(i), *count, 0, slot.data)) {
            return false;
        }
        // Records of a sound file do not overlap; overlapping ones would multiply the
        // memory a change needs, so such a file is refused as unreadable.
        loaded += slot.data.size();
        if (loaded > length_) {
            return false;
        }
        PadToEven(slot.data);
    }
    return true;
}

bool CPdbFile::Rewrite(const std::vector<Slot>& table) {
    // A file too short for its header keeps the bytes it has.
    std::vector<uint8_t> image(kHeaderSize, 0);
    const size_t have = static_cast<size_t>(std::min<uint64_t>(length_, kHeaderSize));
    if (have && !ReadAt(0, image.data(), have)) {
        return false;
    }
    uint32_t kept = 0;
    uint64_t dataSize = 0;
    for (const Slot& slot : table) {
        if (!slot.deleted) {
            ++kept;
            dataSize += slot.data.size();
        }
    }
    if (kept == 0) {
        // An empty database: the count, and two zero bytes; the date stays as it was.
        image.resize(kEmptySize, 0);
        PutNumber(image.data() + kCountOffset, 0, 2);
        return Commit(path_, image) == FsError::None;
    }
    const uint64_t total = kHeaderSize + uint64_t(kEntrySize) * kept + dataSize;
    if (kept > kMaxRecords || total > 0xFFFFFFFFULL) {
        return false;
    }
    image.resize(static_cast<size_t>(total), 0);
    uint32_t position = kHeaderSize + kEntrySize * kept;
    uint8_t* entry = image.data() + kHeaderSize;
    for (size_t s = 0; s < table.size(); ++s) {
        const Slot& slot = table[s];
        if (slot.deleted) {
            continue;
        }
        // The unique ID is the record's place before this change, counted from 1.
        std::memcpy(entry, slot.entry, kEntrySize);
        PutNumber(entry, position, 4);
        entry[5] = 0;
        PutNumber(entry + 6, static_cast<uint32_t>(s + 1), 2);
        std::copy(slot.data.begin(), slot.data.end(), image.begin() + position);
        position += static_cast<uint32_t>(slot.data.size());
        entry += kEntrySize;
    }
    PutNumber(image.data() + kCountOffset, kept, 2);
    PutNumber(image.data() + kModifiedOffset, ModificationDate(Fs()->SystemTime()), 4);
    return Commit(path_, image) == FsError::None;
}

int CPdbFile::AppendRecord(const uint8_t* data, size_t length) {
    if (!IsOpen() || !data || mode_ == kModeRead || GetRecordCount() >= kMaxRecords) {
        return -1;
    }
    std::vector<Slot> table;
    if (!LoadTable(table, 1)) {
        return -1;
    }
    Slot& slot = table.back();
    slot.data.assign(data, data + length);
    PadToEven(slot.data);
    const int index = static_cast<int>(table.size() - 1);
    return Rewrite(table) ? index : -1;
}

int CPdbFile::ReplaceRecord(int index, const uint8_t* data, size_t length) {
    if (!IsOpen()) {
        return kPdbNoFileOpen;
    }
    if (mode_ == kModeRead) {
        return kPdbNotWritable;
    }
    if (index < 0 || index >= GetRecordCount()) {
        return kPdbIndexTooLarge;
    }
    if (!data && length) {
        return kPdbRewriteFailed;
    }
    std::vector<Slot> table;
    // The count is read again while loading; a file whose count changed meanwhile is one
    // whose records cannot be trusted.
    if (!LoadTable(table, 0) || static_cast<size_t>(index) >= table.size()) {
        return kPdbNotLoaded;
    }
    Slot& slot = table[static_cast<size_t>(index)];
    slot.data.assign(data, data + length);
    PadToEven(slot.data);
    return Rewrite(table) ? kPdbOk : kPdbRewriteFailed;
}

int CPdbFile::DeleteRecord(int index) {
    if (!IsOpen()) {
        return kPdbNoFileOpen;
    }
    if (index < 0) {
        return kPdbNegativeIndex;
    }
    if (mode_ == kModeRead) {
        return kPdbNotWritable;
    }
    if (index >= GetRecordCount()) {
        return kPdbIndexTooLarge;
    }
    std::vector<Slot> table;
    if (!LoadTable(table, 0) || static_cast<size_t>(index) >= table.size()) {
        return kPdbNotLoaded;
    }
    table[static_cast<size_t>(index)].deleted = true;
    return Rewrite(table) ? kPdbOk : kPdbDeleteRewriteFailed;
}

QString CPdbFile::GetName() {
    char name[kNameField] = {};
    const size_t have = static_cast<size_t>(std::min<uint64_t>(length_, kNameField - 1));
    if (!ReadAt(kNameOffset, name, have)) {
        return QString();
    }
    return FromFileBytes(name, strnlen(name, kNameField - 1));
}

int CPdbFile::Rename(const QString& name) {
    if (!IsOpen() || name.isEmpty()) {
        return kPdbRenameNothing;
    }
    if (mode_ == kModeRead) {
        return kPdbRenameNotWritten;
    }
    QByteArray bytes = ToFileBytes(name.left(kMaxNameLength));
    bytes.truncate(static_cast<qsizetype>(strnlen(bytes.constData(), bytes.size())));
    if (bytes.isEmpty()) {
        return kPdbRenameNothing;
    }
    if (!UsableAsFileName(bytes)) {
        return kPdbRenameBadName;
    }
    const QString oldPath = path_;
    const QString newPath = oldPath.left(oldPath.lastIndexOf(QLatin1Char('\\')) + 1) +
                            FromFileBytes(bytes.constData(), bytes.size()) + QStringLiteral(".PDB");

    // The whole file is read before anything moves: a file that cannot be read must keep
    // its name and its bytes, not become a bare header under the new name.
    std::vector<uint8_t> image;
    if (!ReadWholeFile(image)) {
        return kPdbRenameNotLoaded;
    }
    // Move first, so that a name that is taken leaves everything as it was; then write
    // the header under the new name, and move back when that fails.
    HandheldFs* fs = Fs();
    if (fs->Rename(oldPath.toStdString(), newPath.toStdString(), false) != FsError::None) {
        return kPdbRenameMoveFailed;
    }
    path_ = newPath;
    if (image.size() < kNameField) {
        image.resize(kNameField, 0);
    }
    std::fill(image.begin(), image.begin() + kNameField, 0);
    std::copy(bytes.begin(), bytes.end(), image.begin());
    if (Commit(newPath, image) != FsError::None) {
        fs->Rename(newPath.toStdString(), oldPath.toStdString(), false);
        path_ = oldPath;
        return kPdbRenameNotWritten;
    }
    mode_ = kModeReadWrite;
    return kPdbOk;
}

bool CPdbFile::ReadWholeFile(std::vector<uint8_t>& image) {
    image.assign(static_cast<size_t>(length_), 0);
    if (!Unchanged() || !ReadAt(0, image.data(), image.size())) {
        image.clear();
        return false;
    }
    return true;
}

void CPdbFile::WriteHeaderField(uint64_t offset, uint32_t value, int width) {
    if (!IsOpen() || mode_ == kModeRead) {
        return;
    }
    std::vector<uint8_t> image;
    if (!ReadWholeFile(image)) {
        return;
    }
    if (image.size() < offset + width) {
        image.resize(offset + width, 0);
    }
    PutNumber(image.data() + offset, value, width);
    Commit(path_, image);
}

CPdbFile::HeaderFields CPdbFile::ParseHeader(const std::vector<uint8_t>& head, uint64_t length) {
    const auto number = [&](uint32_t offset, int width) -> uint32_t {
        const uint64_t end = offset + static_cast<uint64_t>(width);
        return end <= length && end <= head.size() ? GetNumber(head.data() + offset, width) : 0;
    };
    HeaderFields fields;
    const size_t have = static_cast<size_t>(
        std::min<uint64_t>({length, uint64_t{kNameField - 1}, static_cast<uint64_t>(head.size())}));
    if (have > 0) {
        const auto* name = reinterpret_cast<const char*>(head.data());
        fields.name = FromFileBytes(name, strnlen(name, have));
    }
    fields.version = static_cast<uint16_t>(number(kVersionOffset, 2));
    fields.type = number(kTypeOffset, 4);
    fields.creator = number(kCreatorOffset, 4);
    return fields;
}

uint16_t CPdbFile::GetVersion() {
    return static_cast<uint16_t>(ReadNumber(kVersionOffset, 2));
}

void CPdbFile::SetVersion(uint16_t version) {
    WriteHeaderField(kVersionOffset, version, 2);
}

uint32_t CPdbFile::GetType() {
    return ReadNumber(kTypeOffset, 4);
}

void CPdbFile::SetType(uint32_t type) {
    WriteHeaderField(kTypeOffset, type, 4);
}

uint32_t CPdbFile::GetCreator() {
    return ReadNumber(kCreatorOffset, 4);
}

void CPdbFile::SetCreator(uint32_t creator) {
    WriteHeaderField(kCreatorOffset, creator, 4);
}

int CPdbFile::FindKeyedRecord(uint16_t key, int start) {
    const uint32_t count = GetRecordCount();
    if (start < 0 || uint32_t(start) >= count) {
        return -1;
    }
    // Entries of the record list that lie beyond the end of the file all read as key 0;
    // a damaged count of tens of thousands must not mean as many failed reads.
    const uint64_t listed = length_ > kHeaderSize ? (length_ - kHeaderSize) / kEntrySize : 0;
    const uint32_t readable = static_cast<uint32_t>(std::min<uint64_t>(count, listed));
    for (uint32_t index = uint32_t(start); index < readable; ++index) {
        // A record too short to hold a key counts as key 0.
        uint16_t found = 0;
        uint32_t begin = 0, end = 0;
        if (RecordExtent(int(index), count, begin, end) == Extent::Found && end - begin >= 2) {
            found = static_cast<uint16_t>(ReadNumber(begin, 2));
        }
        if (found == key) {
            return int(index);
        }
    }
    const uint32_t next = std::max(uint32_t(start), readable);
    return key == 0 && next < count ? int(next) : -1;
}

int CPdbFile::AppendKeyedRecord(const uint8_t* payload, size_t length, uint16_t key) {
    if (!payload) {
        return -1;
    }
    const std::vector<uint8_t> record = KeyedBytes(key, payload, length);
    return AppendRecord(record.data(), record.size());
}

int CPdbFile::ReplaceKeyedRecord(const uint8_t* payload, size_t length, int index, uint16_t key) {
    if (!payload) {
        return kPdbOk;
    }
    const std::vector<uint8_t> record = KeyedBytes(key, payload, length);
    return ReplaceRecord(index, record.data(), record.size());
}

int CPdbFile::ApplyKeyedChanges(const std::vector<KeyedChange>& changes) {
    if (!IsOpen()) {
        return kPdbNoFileOpen;
    }
    if (mode_ == kModeRead) {
        return kPdbNotWritable;
    }
    std::vector<Slot> table;
    if (!LoadTable(table, 0)) {
        return kPdbNotLoaded;
    }
    // A record too short to hold a key counts as key 0, as FindKeyedRecord reads it.
    const auto keyOf = [](const Slot& slot) {
        return slot.data.size() >= 2 ? static_cast<uint16_t>(slot.data[0] << 8 | slot.data[1])
                                     : uint16_t{0};
    };
    bool changed = false;
    for (const KeyedChange& change : changes) {
        const auto found = std::find_if(table.begin(), table.end(), [&](const Slot& slot) {
            return !slot.deleted && keyOf(slot) == change.key;
        });
        if (change.payload.empty()) {
            if (found != table.end()) {
                found->deleted = true;
                changed = true;
            }
            continue;
        }
        std::vector<uint8_t> record =
            KeyedBytes(change.key, change.payload.data(), change.payload.size());
        PadToEven(record);
        if (found != table.end()) {
            found->data = std::move(record);
        } else {
            table.push_back(Slot{});
            table.back().data = std::move(record);
        }
        changed = true;
    }
    if (!changed) {
        return kPdbOk;
    }
    // Unique IDs count the records as they stand after the changes, as the last of single
    // changes that replaces or appends leaves them.
    std::erase_if(table, [](const Slot& slot) { return slot.deleted; });
    return Rewrite(table) ? kPdbOk : kPdbRewriteFailed;
}
