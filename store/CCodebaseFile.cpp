#include "store/CCodebaseFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr size_t kFormatRecordSize = 12;
constexpr int32_t kValueLimit = 32767;
// What the short form reads as two absent signals, with the long-form tag between them
// (the two bytes that the short form skips after an absent signal 1).
constexpr uint8_t kLongFormHead[] = {0, 0, 'L', '1', 0, 0};

// A name is stored up to its first zero byte: what follows could not be found again.
QByteArray StoredName(const QByteArray& name) {
    const qsizetype zero = name.indexOf('\0');
    return zero < 0 ? name : name.left(zero);
}

void PutValues(std::vector<uint8_t>& bytes, const ButtonSignal& signal, size_t count, bool wide) {
    const uint16_t frameStart = count ? signal.frameStart : 0;
    if (wide) {
        bytes.push_back(static_cast<uint8_t>(frameStart >> 8));
        bytes.push_back(static_cast<uint8_t>(frameStart));
        bytes.push_back(static_cast<uint8_t>(count >> 8));
    } else {
        bytes.push_back(static_cast<uint8_t>(frameStart));
    }
    bytes.push_back(static_cast<uint8_t>(count));
    for (size_t k = 0; k < count; ++k) {
        const auto value = static_cast<uint16_t>(signal.values[k]);
        bytes.push_back(static_cast<uint8_t>(value >> 8));
        bytes.push_back(static_cast<uint8_t>(value));
    }
}

// Reads frame start and count at `pos`, then the values when they fit; `pos` moves past
// the signal as its count says, or by the two bytes of an absent signal. The long form
// (`wide`) has a 16-bit frame start and count; a count beyond kMaxValues is no signal.
void ParseSignal(const uint8_t* data, size_t size, size_t& pos, ButtonSignal& signal, bool wide) {
    signal = ButtonSignal{};
    const size_t head = wide ? 4 : 2;
    if (size - pos < head) {
        pos = size;
        return;
    }
    const uint16_t frameStart =
        wide ? static_cast<uint16_t>((data[pos] << 8) | data[pos + 1]) : data[pos];
    const size_t count =
        wide ? static_cast<size_t>((data[pos + 2] << 8) | data[pos + 3]) : data[pos + 1];
    pos += head;
    if (count == 0 || size - pos < 2 * count || count > CCodebaseFile::kMaxValues) {
        // The short form holds two zero bytes for an absent signal; in the long form a
        // signal that does not fit leaves nothing to find the next one by.
        pos = wide ? (count == 0 ? pos : size) : std::min(size, pos + 2);
        return;
    }
    signal.frameStart = frameStart;
    signal.values.resize(count);
    for (size_t k = 0; k < count; ++k, pos += 2) {
        signal.values[k] = static_cast<int16_t>((data[pos] << 8) | data[pos + 1]);
    }
}

}  // namespace

bool CCodebaseFile::CreateCodebase(const QString& path, int formatNumber) {
    if (Create(path) != kPdbOk) {
        return false;
    }
    char format[kFormatRecordSize] = {};
    std::snprintf(format, sizeof format, "%d", formatNumber);
    const bool made = AppendRecord(reinterpret_cast<const uint8_t*>(format), sizeof format) == 0;
    if (made) {
        SetCreator(kCreator);
        SetType(kType);
        SetVersion(1);
    }
    if (!made || !IsCodebase()) {
        // Half a codebase would be taken for a file that is there and then never listed.
        HandheldFs* fs = Fs();
        Close();
        if (fs) {
            fs->Remove(path.toStdString());
        }
        return false;
    }
    return true;
}

bool CCodebaseFile::IsCodebase() {
    return IsOpen() && IsCodebaseHeader({QString(), GetVersion(), GetType(), GetCreator()});
}

namespace {

// Whether a button record begins with `name` and its terminating zero.
bool HoldsButton(const std::vector<uint8_t>& record, const QString& name) {
    const auto zero = std::find(record.begin(), record.end(), uint8_t(0));
    return zero != record.end() &&
           FromFileBytes(reinterpret_cast<const char*>(record.data()),
                         static_cast<size_t>(zero - record.begin())) == name;
}

}  // namespace

int CCodebaseFile::FindButton(const QString& name) {
    const int count = GetRecordCount();
    for (int index = 1; index < count; ++index) {
        if (HoldsButton(ReadRecord(index), name)) {
            return index;
        }
    }
    return -1;
}

std::optional<int> CCodebaseFile::LocateButton(const QString& name) {
    const std::optional<uint16_t> count = TryGetRecordCount();
    if (!count) {
        return std::nullopt;
    }
    for (int index = 1; index < *count; ++index) {
        const std::optional<std::vector<uint8_t>> record = TryReadRecord(index);
        if (!record) {
            return std::nullopt;
        }
        if (HoldsButton(*record, name)) {
            return index;
        }
    }
    return -1;
}

bool CCodebaseFile::StoreSignal(const std::vector<int16_t>& values, uint16_t frameStart,
                                uint8_t carrierPeriod, const QByteArray& name, int signalNumber) {
    const QByteArray stored = StoredName(name);
    if (stored.isEmpty()) {
        return false;
    }
    const std::optional<int> located =
        LocateButton(FromFileBytes(stored.constData(), stored.size()));
    if (!located) {
        return false;
    }
    const int index = *located;
    if (values.empty()) {
        // Nothing to keep: the button loses its record, if it has one.
        return index < 0 || DeleteRecord(index) == kPdbOk;
    }
    ButtonSignal signal;
    signal.frameStart = frameStart;
    signal.values.assign(values.begin(), values.begin() + std::min(values.size(), kMaxValues));

    ButtonRecord record;
    std::optional<std::vector<uint8_t>> bytesBefore;
    if (index >= 0) {
        bytesBefore = TryReadRecord(index);
        if (!bytesBefore) {
            return false;  // the other signal of the button must not be lost
        }
    }
    if (index < 0 || !ParseButtonBytes(bytesBefore->data(), bytesBefore->size(), record)) {
        record = ButtonRecord{};
        record.name = stored;
        record.signal1 = std::move(signal);
    } else if (std::clamp(signalNumber, 1, 2) == 2 && !record.signal1.values.empty()) {
        record.signal2 = std::move(signal);
    } else {
        record.signal1 = std::move(signal);
    }
    record.carrierPeriod = carrierPeriod;
    const std::vector<uint8_t> bytes = BuildButtonRecord(record);
    if (index < 0) {
        return AppendRecord(bytes.data(), bytes.size()) >= 0;
    }
    return ReplaceRecord(index, bytes.data(), bytes.size()) == kPdbOk;
}

bool CCodebaseFile::ReadSignal(int index, int signalNumber, std::vector<int32_t>& durations,
                               uint16_t& count, uint16_t& frameStart, uint8_t& carrierPeriod) {
    durations.clear();
    count = 0;
    frameStart = 0;
    carrierPeriod = 0;
    ButtonRecord record;
    if (!ParseButtonRecord(index, record)) {
        return false;
    }
    carrierPeriod = static_cast<uint8_t>(record.carrierPeriod);
    const ButtonSignal& chosen =
        std::clamp(signalNumber, 1, 2) == 2 && !record.signal2.values.empty() ? record.signal2
                                                                              : record.signal1;
    durations = ValuesToDurations(chosen.values);
    count = static_cast<uint16_t>(std::min<size_t>(durations.size(), UINT16_MAX));
    frameStart = durations.empty() ? 0 : chosen.frameStart;
    return !durations.empty();
}

bool CCodebaseFile::ParseButtonRecord(int index, ButtonRecord& record) {
    const std::vector<uint8_t> bytes = ReadRecord(index);
    return ParseButtonBytes(bytes.data(), bytes.size(), record);
}

std::vector<int16_t> CCodebaseFile::DurationsToValues(const int32_t* durations, size_t count) {
    std::vector<int16_t> values;
    if (!durations) {
        return values;
    }
    for (size_t k = 0; k < count && values.size() < kMaxValues; ++k) {
        int64_t rest = durations[k];
        while (rest > kValueLimit && values.size() < kMaxValues) {
            values.push_back(kValueLimit);
            rest -= kValueLimit;
        }
        while (rest < -kValueLimit && values.size() < kMaxValues) {
            values.push_back(-kValueLimit);
            rest += kValueLimit;
        }
        if (values.size() < kMaxValues) {
            values.push_back(static_cast<int16_t>(rest));
        }
    }
    return values;
}

std::vector<int32_t> CCodebaseFile::ValuesToDurations(const std::vector<int16_t>& values) {
    std::vector<int32_t> durations;
    for (size_t k = 0; k < values.size(); ++k) {
        if (k == 0 || (values[k] < 0) != (values[k - 1] < 0)) {
            durations.push_back(0);
        }
        durations.back() += values[k];
    }
    return durations;
}

std::vector<uint8_t> CCodebaseFile::BuildButtonRecord(const ButtonRecord& record) {
    const QByteArray name = StoredName(record.name);
    const bool moveUp = record.signal1.values.empty() && !record.signal2.values.empty();
    const ButtonSignal& first = moveUp ? record.signal2 : record.signal1;
    static const ButtonSignal kAbsent;
    const ButtonSignal& second = moveUp ? kAbsent : record.signal2;
    const size_t count1 = std::min(first.values.size(), kMaxValues);
    const size_t count2 = std::min(second.values.size(), kMaxValues);
    const bool wide = NeedsLongForm(first) || NeedsLongForm(second);

    std::vector<uint8_t> bytes(name.begin(), name.end());
    bytes.push_back(0);
    if (bytes.size() % 2) {
        bytes.push_back(0);
    }
    bytes.push_back(0);  // the carrier period's high byte is always 0
    bytes.push_back(static_cast<uint8_t>(record.carrierPeriod));
    if (wide) {
        bytes.insert(bytes.end(), std::begin(kLongFormHead), std::end(kLongFormHead));
    }
    PutValues(bytes, first, count1, wide);
    PutValues(bytes, second, count2, wide);
    if (count2 == 0 && !wide) {
        bytes.push_back(0);
        bytes.push_back(0);
    }
    return bytes;
}

bool CCodebaseFile::ParseButtonBytes(const uint8_t* data, size_t size, ButtonRecord& record) {
    record = ButtonRecord{};
    const uint8_t* zero = data ? static_cast<const uint8_t*>(std::memchr(data, 0, size)) : nullptr;
    if (!zero) {
        return false;
    }
    const auto nameLength = static_cast<size_t>(zero - data);
    record.name =
        QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(nameLength));
    size_t pos = nameLength + 1;
    pos = std::min(size, pos + pos % 2);
    if (size - pos < 2) {
        return true;
    }
    record.carrierPeriod = data[pos + 1];
    pos += 2;
    // The short form never begins with an absent signal 1 followed by anything but zeros.
    const bool wide = size - pos >= sizeof kLongFormHead &&
                      std::equal(std::begin(kLongFormHead), std::end(kLongFormHead), data + pos);
    if (wide) {
        pos += sizeof kLongFormHead;
    }
    ParseSignal(data, size, pos, record.signal1, wide);
    ParseSignal(data, size, pos, record.signal2, wide);
    return true;
}
