// Preference files: record databases whose records are keyed (a big-endian 16-bit key, then
// the payload). The default preference file keeps the state of the remote screen between
// runs, a saved preference set keeps the same records under a name of the user's, and the
// used-list file keeps the names of the sets saved most recently.
//
// Payloads are either strings (UTF-16 little-endian units and one zero unit; an empty string
// is never stored, writing one removes the record) or blocks of n bytes followed by one
// further byte that readers ignore. Readers take whatever a record holds: a string without
// its terminator ends at the end of the record, and a block shorter than expected changes
// only the values whose bytes are there.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

#include "store/CPdbFile.h"
#include "store/FormTables.h"

class CPrefFile : public CPdbFile {
  public:
    static constexpr uint32_t kType = FourCharCode("ARpr");
    static constexpr uint32_t kCreator = FourCharCode("ARem");
    static constexpr uint16_t kVersion = 1;

    using CPdbFile::CPdbFile;

    // Creates an empty preference file and keeps it open read-write; the code of Create.
    int CreatePrefFile(const QString& path);
    bool IsPrefFile();
};

// Keys of the default preference file and of saved sets.
constexpr uint16_t PrefKeyHotCodebase(int form) {
    return uint16_t(FormSlotId(form));
}
constexpr uint16_t kPrefKeyScreen = 330;
constexpr uint16_t PrefKeyHardKey(int slot) {
    return uint16_t(350 + slot);
}
constexpr uint16_t kPrefKeyLastForms = 370;
constexpr uint16_t kPrefKeyIrPort = 380;
// Beside the IR port: the bias estimate of the receiving device last learnt through (written
// only once there is one; older builds pass over a key they do not know).
constexpr uint16_t kPrefKeyReceiverBias = 381;
// The folders of remote files that the user added to the code collections (a string, one
// host path a line).
constexpr uint16_t kPrefKeyCodeCollections = 390;
// Keys of the used-list file.
constexpr uint16_t PrefKeyUsedName(int position) {
    return uint16_t(10 + position);
}

// Payloads.
std::vector<uint8_t> PrefString(const QString& text);  // empty for an empty text
// The port name keeps its terminator even when empty, so its record always exists.
std::vector<uint8_t> PrefStringWithTerminator(const QString& text);
std::vector<uint8_t> PrefBlock(const std::vector<uint8_t>& bytes);
// Reads a string payload up to its first zero unit or the end of the payload.
QString ReadPrefString(const std::vector<uint8_t>& payload);

// Told the path of a preference file that could neither be opened nor created, so that
// the user interface can say "Failure on creating the file."
using PrefFailureReport = std::function<void(const QString& path)>;

// Writes the first record with `key`, creating the file when needed; an empty payload
// removes the record. False when the value could not be written.
bool WritePrefRecord(HandheldFs& fs, const QString& path, uint16_t key,
                     const std::vector<uint8_t>& payload,
                     const PrefFailureReport& report = nullptr);
// The same for several records in one write of the file, in the order given; a file that
// can neither be opened nor created is reported once for every record.
bool WritePrefRecords(HandheldFs& fs, const QString& path,
                      const std::vector<CPdbFile::KeyedChange>& changes,
                      const PrefFailureReport& report = nullptr);
// The payload of the first record with `key`; false when the file or the record is missing.
bool ReadPrefRecord(HandheldFs& fs, const QString& path, uint16_t key,
                    std::vector<uint8_t>& payload);

// The paths of the two files that every installation has.
QString DefaultPrefFileName(const QString& programName);  // "ArdelRemoteDefPref.PDB"
const QString& UsedListFileName();                        // "UsedPref.PDB"

// Creates the default preference file and the used-list file when they do not open.
void EnsurePrefFiles(HandheldFs& fs, const QString& baseFolder, const QString& programName);

// A hardware key's assignment: which remote button it sends.
struct HardKeyAssignment {
    bool used = true;
    int form = -1;    // 0..11, -1 for none
    int button = -1;  // index on that form, -1 for none
};
constexpr int kHardKeyCount = 7;
// The assignments of a new installation, which "Restore defaults" brings back.
std::array<HardKeyAssignment, kHardKeyCount> DefaultHardKeys();

// The state of the remote screen that the preference files keep. The remote window owns it;
// a new one holds the values of a first start.
struct RemoteState {
    std::array<QString, kFormCount> hotCodebases;  // the forms' slots; empty for none
    int currentForm = 0;
    bool keyCapture = true;
    bool soundsOn = true;
    bool greetingShown = false;
    std::array<HardKeyAssignment, kHardKeyCount> hardKeys = DefaultHardKeys();
    // Per category 1..6 (index c - 1): 0 when its first form was shown last, 1 the second.
    std::array<int, 6> lastForms = {};
    QString irPort;  // the program sets the detected port before loading
    // How much longer the receiving device reports marks (and shorter spaces) than a remote
    // sends them, over how many captures it was estimated; `receiver` names the device.
    struct ReceiverBias {
        QString receiver;
        int biasUs = 0;
        int captures = 0;
    } receiverBias;
};

// Reads every record of the preference file at `path` into `state`. Values whose record is
// missing keep what they were; without a screen record the current form becomes 0.
void LoadState(HandheldFs& fs, const QString& path, RemoteState& state);
// Writes every record of `state`; false when any of the writes failed. Hardware keys that
// are not used are written (and left in `state`) with form and button -1.
bool SaveState(HandheldFs& fs, const QString& path, RemoteState& state,
               const PrefFailureReport& report = nullptr);

// Loading and saving one form's hot codebase (also done when the codebase selector changes
// it). Loading empties the slot first.
void LoadHotCodebase(HandheldFs& fs, const QString& path, int form, QString& slot);
bool StoreHotCodebase(HandheldFs& fs, const QString& path, int form, const QString& slot,
                      const PrefFailureReport& report = nullptr);

// The names (with ".PDB") of the preference sets used most recently, most recent first.
constexpr int kMaxUsedNames = 5;
std::vector<QString> LoadUsedList(HandheldFs& fs, const QString& path);
bool SaveUsedList(HandheldFs& fs, const QString& path, const std::vector<QString>& names,
                  const PrefFailureReport& report = nullptr);
