// A codebase: the learnt signals of one controlled device, in a record database of type
// "AIrC", creator "ARem".
//
// Record 0 is the format record (the text "2" in 12 bytes). Every further record holds one
// button, found by its name: the name with a terminating zero (and a pad byte to an even
// offset), the carrier period in two bytes, then signal 1 and signal 2, each as frame
// start, value count and signed 16-bit values. A button learnt in single mode has no
// signal 2 (frame start 0, count 0, two zero bytes).
//
// Durations longer than a 16-bit value are stored as several values of the same sign,
// which reading adds up again.
//
// A signal of more than 255 values (the long frames of air conditioners) does not fit that
// layout; its button is written in the long form: signal 1 and signal 2 as the short form
// reads them are both absent (with the two bytes of the long-form tag between them, which
// the short form skips), and both signals follow with a 16-bit frame start and a 16-bit
// value count each. A reader of the short form finds the button and reads no signal from
// it. A button whose signals fit the short form is always written in it.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "store/CPdbFile.h"

// One signal of a button as stored.
struct ButtonSignal {
    uint16_t frameStart = 0;
    std::vector<int16_t> values;
};

// A button record in memory.
struct ButtonRecord {
    QByteArray name;  // 8-bit characters, without the terminating zero
    uint16_t carrierPeriod = 0;
    ButtonSignal signal1;
    ButtonSignal signal2;
};

class CCodebaseFile : public CPdbFile {
  public:
    static constexpr uint32_t kType = FourCharCode("AIrC");
    static constexpr uint32_t kCreator = FourCharCode("ARem");
    static constexpr int kFormatNumber = 2;
    // The values of one signal in the short form, and in the long form.
    static constexpr size_t kMaxShortValues = 255;
    static constexpr size_t kMaxValues = 8192;

    using CPdbFile::CPdbFile;

    // Creates the file with its format record and file kind, and leaves it open read-write.
    // On failure nothing is left at `path`.
    bool CreateCodebase(const QString& path, int formatNumber = kFormatNumber);
    // An open file of the codebase kind, with a version other than 0.
    bool IsCodebase();
    // The same test on the fields of a header read without opening the file.
    static bool IsCodebaseHeader(const HeaderFields& header) {
        return header.type == kType && header.creator == kCreator && header.version != 0;
    }
    // The index (1 or more) of the first record of the button named exactly `name`, or -1.
    int FindButton(const QString& name);

    // Stores `values` as the button's signal `signalNumber` (1 or 2; clamped). A button
    // without a record gets one, with the values as its signal 1; signal 2 of a button
    // without a signal 1 becomes its signal 1. No values delete the button's record.
    // False when no name is given or the file could not be changed.
    bool StoreSignal(const std::vector<int16_t>& values, uint16_t frameStart, uint8_t carrierPeriod,
                     const QByteArray& name, int signalNumber);

    // Signal `signalNumber` of the button in record `index` (signal 1 when the button has no
    // signal 2), as durations. False, with no durations and count 0, when the record holds
    // no such signal.
    bool ReadSignal(int index, int signalNumber, std::vector<int32_t>& durations, uint16_t& count,
                    uint16_t& frameStart, uint8_t& carrierPeriod);

    bool ParseButtonRecord(int index, ButtonRecord& record);

    // The stored values of `count` durations: at most kMaxValues, the rest dropped.
    static std::vector<int16_t> DurationsToValues(const int32_t* durations, size_t count);
    // Back again: each run of values of one sign is one duration.
    static std::vector<int32_t> ValuesToDurations(const std::vector<int16_t>& values);
    // The record bytes of a button (the short form when both signals fit it, else the long
    // form), and a button from record bytes of either form. Parsing never reads outside
    // `size` bytes; false when there is no terminated name.
    static bool NeedsLongForm(const ButtonSignal& signal) {
        return signal.values.size() > kMaxShortValues ||
               (!signal.values.empty() && signal.frameStart > 0xFF);
    }
    static std::vector<uint8_t> BuildButtonRecord(const ButtonRecord& record);
    static bool ParseButtonBytes(const uint8_t* data, size_t size, ButtonRecord& record);

  private:
    // FindButton for a change: nothing when a record could not be read, so that a button
    // whose record failed to read is neither appended a second time nor rebuilt from
    // nothing.
    std::optional<int> LocateButton(const QString& name);
};
