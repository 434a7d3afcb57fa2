#include "store/PrefFile.h"

#include <algorithm>

namespace {

// A record's byte `i` as a signed value, if the record holds it.
bool SignedByte(const std::vector<uint8_t>& payload, size_t i, int& value) {
    if (i >= payload.size()) {
        return false;
    }
    value = int8_t(payload[i]);
    return true;
}

bool FlagByte(const std::vector<uint8_t>& payload, size_t i, bool& value) {
    if (i >= payload.size()) {
        return false;
    }
    value = payload[i] != 0;
    return true;
}

}  // namespace

int CPrefFile::CreatePrefFile(const QString& path) {
    const int result = Create(path);
    if (result != kPdbOk) {
        return result;
    }
    SetCreator(kCreator);
    SetType(kType);
    SetVersion(kVersion);
    return kPdbOk;
}

bool CPrefFile::IsPrefFile() {
    return IsOpen() && GetType() == kType && GetCreator() == kCreator && GetVersion() >= 1;
}

std::vector<uint8_t> PrefString(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    return PrefStringWithTerminator(text);
}

std::vector<uint8_t> PrefStringWithTerminator(const QString& text) {
    std::vector<uint8_t> bytes;
    bytes.reserve(size_t(text.size()) * 2 + 2);
    for (QChar c : text) {
        bytes.push_back(uint8_t(c.unicode() & 0xFF));
        bytes.push_back(uint8_t(c.unicode() >> 8));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<uint8_t> PrefBlock(const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> block = bytes;
    block.push_back(0);  // the further byte that readers ignore
    return block;
}

QString ReadPrefString(const std::vector<uint8_t>& payload) {
    QString text;
    for (size_t i = 0; i + 1 < payload.size(); i += 2) {
        const char16_t unit = char16_t(payload[i] | (payload[i + 1] << 8));
        if (unit == 0) {
            break;
        }
        text.append(QChar(unit));
    }
    return text;
}

namespace {

// Opens the preference file at `path` read-write, creating it when it does not open; tells
// `report` when neither works.
bool OpenOrCreate(CPrefFile& file, const QString& path, const PrefFailureReport& report) {
    if (file.Open(path, CPdbFile::kModeReadWrite) == kPdbOk ||
        file.CreatePrefFile(path) == kPdbOk) {
        return true;
    }
    file.Close();
    if (report) {
        report(path);
    }
    return false;
}

}  // namespace

bool WritePrefRecords(HandheldFs& fs, const QString& path,
                      const std::vector<CPdbFile::KeyedChange>& changes,
                      const PrefFailureReport& report) {
    CPrefFile file(&fs);
    if (!OpenOrCreate(file, path, nullptr)) {
        // Told once for every value that was not written, as single writes tell it.
        for (size_t k = 0; report && k < changes.size(); ++k) {
            report(path);
        }
        return false;
    }
    const bool written = file.ApplyKeyedChanges(changes) == kPdbOk;
    file.Close();
    return written;
}

bool WritePrefRecord(HandheldFs& fs, const QString& path, uint16_t key,
                     const std::vector<uint8_t>& payload, const PrefFailureReport& report) {
    CPrefFile file(&fs);
    if (!OpenOrCreate(file, path, report)) {
        return false;
    }
    bool written = true;
    const int index = file.FindKeyedRecord(key, 0);
    if (index < 0) {
        if (!payload.empty()) {
            written = file.AppendKeyedRecord(payload.data(), payload.size(), key) >= 0;
        }
    } else if (!payload.empty()) {
        written = file.ReplaceKeyedRecord(payload.data(), payload.size(), index, key) == kPdbOk;
    } else {
        written = file.DeleteRecord(index) == kPdbOk;
    }
    file.Close();
    return written;
}

bool ReadPrefRecord(HandheldFs& fs, const QString& path, uint16_t key,
                    std::vector<uint8_t>& payload) {
    payload.clear();
    CPrefFile file(&fs);
    if (file.Open(path, CPdbFile::kModeRead) != kPdbOk) {
        return false;
    }
    const int index = file.FindKeyedRecord(key, 0);
    if (index >= 0) {
        payload = file.ReadKeyedRecord(index);
    }
    file.Close();
    return !payload.empty();
}

QString DefaultPrefFileName(const QString& programName) {
    return programName + QStringLiteral("DefPref.PDB");
}

const QString& UsedListFileName() {
    static const QString name = QStringLiteral("UsedPref.PDB");
    return name;
}

void EnsurePrefFiles(HandheldFs& fs, const QString& baseFolder, const QString& programName) {
    for (const QString& path :
         {baseFolder + DefaultPrefFileName(programName), baseFolder + UsedListFileName()}) {
        CPrefFile file(&fs);
        if (file.Open(path, CPdbFile::kModeRead) != kPdbOk) {
            file.CreatePrefFile(path);
        }
        file.Close();
    }
}

std::array<HardKeyAssignment, kHardKeyCount> DefaultHardKeys() {
    // Button 1: TV Mute, Button 2: TV Power, Up/Down: Cab/Sat Ch+/Ch-, Left/Right: TV Vol-/Vol+,
    // Start: Cab/Sat OK.
    return {{{true, 0, 13},
             {true, 0, 0},
             {true, 2, 15},
             {true, 2, 19},
             {true, 0, 15},
             {true, 0, 17},
             {true, 3, 4}}};
}

void LoadHotCodebase(HandheldFs& fs, const QString& path, int form, QString& slot) {
    slot.clear();
    std::vector<uint8_t> payload;
    if (ReadPrefRecord(fs, path, PrefKeyHotCodebase(form), payload)) {
        slot = ReadPrefString(payload);
    }
}

bool StoreHotCodebase(HandheldFs& fs, const QString& path, int form, const QString& slot,
                      const PrefFailureReport& report) {
    return WritePrefRecord(fs, path, PrefKeyHotCodebase(form), PrefString(slot), report);
}

void LoadState(HandheldFs& fs, const QString& path, RemoteState& state) {
    for (int form = 0; form < kFormCount; ++form) {
        LoadHotCodebase(fs, path, form, state.hotCodebases[size_t(form)]);
    }

    std::vector<uint8_t> payload;
    state.currentForm = 0;
    if (ReadPrefRecord(fs, path, kPrefKeyScreen, payload)) {
        int form = 0;
        // A form number that names no form would leave the screen without one.
        if (SignedByte(payload, 0, form) && IsValidForm(form)) {
            state.currentForm = form;
        }
        FlagByte(payload, 1, state.keyCapture);
        FlagByte(payload, 2, state.soundsOn);
        FlagByte(payload, 3, state.greetingShown);
    }

    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        HardKeyAssignment& key = state.hardKeys[size_t(slot)];
        if (!ReadPrefRecord(fs, path, PrefKeyHardKey(slot), payload) ||
            !FlagByte(payload, 0, key.used) || !key.used) {
            continue;  // an unused slot keeps its form and button
        }
        SignedByte(payload, 1, key.form);
        SignedByte(payload, 2, key.button);
    }

    if (ReadPrefRecord(fs, path, kPrefKeyLastForms, payload)) {
        for (size_t c = 0; c < state.lastForms.size(); ++c) {
            SignedByte(payload, c, state.lastForms[c]);
        }
    }

    if (ReadPrefRecord(fs, path, kPrefKeyIrPort, payload)) {
        state.irPort = ReadPrefString(payload);
    }

    // Bias and captures as big-endian 16-bit numbers, then the receiver's name.
    if (ReadPrefRecord(fs, path, kPrefKeyReceiverBias, payload) && payload.size() >= 4) {
        state.receiverBias.biasUs = (payload[0] << 8) | payload[1];
        state.receiverBias.captures = (payload[2] << 8) | payload[3];
        state.receiverBias.receiver =
            ReadPrefString(std::vector<uint8_t>(payload.begin() + 4, payload.end()));
    }
}

bool SaveState(HandheldFs& fs, const QString& path, RemoteState& state,
               const PrefFailureReport& report) {
    // Every record in one write of the file: a file written record by record would be
    // rewritten two dozen times.
    std::vector<CPdbFile::KeyedChange> changes;
    for (int form = 0; form < kFormCount; ++form) {
        changes.push_back({PrefKeyHotCodebase(form), PrefString(state.hotCodebases[size_t(form)])});
    }

    changes.push_back(
        {kPrefKeyScreen, PrefBlock({uint8_t(state.currentForm), uint8_t(state.keyCapture),
                                    uint8_t(state.soundsOn), uint8_t(state.greetingShown)})});

    for (int slot = 0; slot < kHardKeyCount; ++slot) {
        HardKeyAssignment& key = state.hardKeys[size_t(slot)];
        if (!key.used) {
            key.form = -1;
            key.button = -1;
        }
        changes.push_back({PrefKeyHardKey(slot),
                           PrefBlock({uint8_t(key.used), uint8_t(key.form), uint8_t(key.button)})});
    }

    std::vector<uint8_t> lastForms;
    for (int form : state.lastForms) {
        lastForms.push_back(uint8_t(form));
    }
    changes.push_back({kPrefKeyLastForms, PrefBlock(lastForms)});

    changes.push_back({kPrefKeyIrPort, PrefStringWithTerminator(state.irPort)});

    const RemoteState::ReceiverBias& bias = state.receiverBias;
    if (bias.captures > 0 && !bias.receiver.isEmpty()) {
        const auto biasUs = static_cast<uint16_t>(std::clamp(bias.biasUs, 0, 0xFFFF));
        const auto captures = static_cast<uint16_t>(std::clamp(bias.captures, 0, 0xFFFF));
        std::vector<uint8_t> payload = {uint8_t(biasUs >> 8), uint8_t(biasUs),
                                        uint8_t(captures >> 8), uint8_t(captures)};
        const std::vector<uint8_t> name = PrefStringWithTerminator(bias.receiver);
        payload.insert(payload.end(), name.begin(), name.end());
        changes.push_back({kPrefKeyReceiverBias, payload});
    }
    return WritePrefRecords(fs, path, changes, report);
}

std::vector<QString> LoadUsedList(HandheldFs& fs, const QString& path) {
    std::vector<QString> names;
    std::vector<uint8_t> payload;
    for (int i = 0; i < kMaxUsedNames; ++i) {
        if (ReadPrefRecord(fs, path, PrefKeyUsedName(i), payload)) {
            // Names close up over a missing record, so that no empty entry is shown.
            QString name = ReadPrefString(payload);
            if (!name.isEmpty()) {
                names.push_back(std::move(name));
            }
        }
    }
    return names;
}

bool SaveUsedList(HandheldFs& fs, const QString& path, const std::vector<QString>& names,
                  const PrefFailureReport& report) {
    bool ok = true;
    for (int i = 0; i < kMaxUsedNames; ++i) {
        const QString name = size_t(i) < names.size() ? names[size_t(i)] : QString();
        ok &= WritePrefRecord(fs, path, PrefKeyUsedName(i), PrefString(name), report);
    }
    return ok;
}
