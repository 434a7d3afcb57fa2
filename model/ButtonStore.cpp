#include "model/ButtonStore.h"

#include <algorithm>
#include <span>

#include "ir/protocols/IrProtocol.h"
#include "store/CCodebaseFile.h"

namespace {

// The carrier of a signal whose receiver measured none and that no protocol names: the most
// common one, 38 kHz.
constexpr uint8_t kUnmeasuredCarrierUs = 26;

}  // namespace

StoreResult EnsureCodebase(HandheldFs& fs, const QString& path, bool& created) {
    created = false;
    CCodebaseFile file(&fs);
    if (file.Open(path, CPdbFile::kModeRead) == kPdbOk) {
        return file.IsCodebase() ? kStoreOk : kStoreNotACodebase;
    }
    if (!file.CreateCodebase(path, CCodebaseFile::kFormatNumber)) {
        return kStoreNotCreated;
    }
    created = true;
    return kStoreOk;
}

StoreResult StoreButtonSignal(HandheldFs& fs, const QString& path, const QString& button,
                              const IrSignal& signal, int number, LearnMode mode) {
    CCodebaseFile file(&fs);
    if (file.Open(path, CPdbFile::kModeReadWrite) != kPdbOk) {
        return kStoreNotOpened;
    }
    if (!file.IsCodebase()) {
        return kStoreNotACodebase;
    }
    const std::vector<int16_t> values = CCodebaseFile::DurationsToValues(
        signal.durations, std::min<size_t>(signal.count, kMaxDurations));
    if (values.empty()) {
        return kStoreNotStored;
    }
    const QByteArray name = ToFileBytes(button);
    if (mode == LearnMode::Single) {
        // A signal 2 learnt earlier in double mode must not keep alternating with the new one.
        const int index = file.FindButton(button);
        ButtonRecord record;
        if (index >= 0 && file.ParseButtonRecord(index, record) && !record.signal2.values.empty()) {
            record.carrierPeriod = signal.carrierPeriod;
            record.signal1 = ButtonSignal{signal.frameStart, values};
            record.signal2 = ButtonSignal{};
            const std::vector<uint8_t> bytes = CCodebaseFile::BuildButtonRecord(record);
            return file.ReplaceRecord(index, bytes.data(), bytes.size()) == kPdbOk
                       ? kStoreOk
                       : kStoreNotStored;
        }
        number = 1;
    }
    return file.StoreSignal(values, signal.frameStart, signal.carrierPeriod, name, number)
               ? kStoreOk
               : kStoreNotStored;
}

StoreResult StoreWholeButton(HandheldFs& fs, const QString& path, const QString& button,
                             const IrSignal& signal) {
    const StoreResult result = StoreButtonSignal(fs, path, button, signal, 1, LearnMode::Single);
    IrSignal second;
    if (result != kStoreOk || !OtherToggleSignal(signal, second)) {
        return result;
    }
    return StoreButtonSignal(fs, path, button, second, 2, LearnMode::Double);
}

StoreResult StoreLearntSignal(HandheldFs& fs, const QString& path, const QString& button,
                              const IrSignal& signal, int number, LearnMode mode, bool& created) {
    const StoreResult ensured = EnsureCodebase(fs, path, created);
    if (ensured != kStoreOk) {
        return ensured;
    }
    const IrSignal stored = SignalWithCarrier(signal);
    return mode == LearnMode::Single ? StoreWholeButton(fs, path, button, stored)
                                     : StoreButtonSignal(fs, path, button, stored, number, mode);
}

IrSignal SignalWithCarrier(const IrSignal& signal) {
    // A receiver that measures no carrier gives a period of 0; a recognised protocol knows
    // its own carrier, which is better than a guess.
    IrSignal result = signal;
    if (result.carrierPeriod == 0 && result.count > 0) {
        const IrDecoded decoded =
            DecodeIrSignal(std::span<const int32_t>(signal.durations, signal.count), 0);
        result.carrierPeriod =
            decoded.protocol ? CarrierPeriodUs(decoded.protocol->carrierHz) : kUnmeasuredCarrierUs;
    }
    return result;
}

namespace {

// Opens the codebase at `path` in `mode` and finds the record of `button` in it.
StoreResult OpenButton(CCodebaseFile& file, const QString& path, int mode, const QString& button,
                       int& index) {
    if (file.Open(path, mode) != kPdbOk) {
        return kStoreNotOpened;
    }
    if (!file.IsCodebase()) {
        return kStoreNotACodebase;
    }
    index = file.FindButton(button);
    return index < 0 ? kStoreNoButton : kStoreOk;
}

}  // namespace

StoreResult DeleteButtonSignals(HandheldFs& fs, const QString& path, const QString& button) {
    CCodebaseFile file(&fs);
    int index = -1;
    if (const StoreResult opened = OpenButton(file, path, CPdbFile::kModeReadWrite, button, index);
        opened != kStoreOk) {
        return opened;
    }
    // A button stored with no values has no record any more.
    return file.StoreSignal({}, 0, 0, button.toLatin1(), 1) ? kStoreOk : kStoreNotStored;
}

StoreResult ReadButtonSignal(HandheldFs& fs, const QString& path, const QString& button, int number,
                             IrSignal& signal) {
    signal = IrSignal{};
    CCodebaseFile file(&fs);
    int index = -1;
    if (const StoreResult opened = OpenButton(file, path, CPdbFile::kModeRead, button, index);
        opened != kStoreOk) {
        return opened;
    }
    std::vector<int32_t> durations;
    uint16_t count = 0;  // the vector's size is what counts
    uint16_t frameStart = 0;
    uint8_t carrierPeriod = 0;
    if (!file.ReadSignal(index, number, durations, count, frameStart, carrierPeriod)) {
        return kStoreNoSignal;
    }
    if (durations.empty()) {
        return kStoreNoSignal;
    }
    signal = MakeIrSignal(durations, frameStart, carrierPeriod);
    return kStoreOk;
}

IrSignal SignalOf(const IrSignal& driverSignal) {
    IrSignal signal = driverSignal;
    signal.count = std::min<uint16_t>(signal.count, kMaxDurations);
    if (signal.frameStart >= signal.count) {
        signal.frameStart = 0;
    }
    signal.nextStart = 0;
    return signal;
}

bool OtherToggleSignal(const IrSignal& signal, IrSignal& other) {
    IrEncoded encoded;
    if (!EncodeOtherToggle(std::span<const int32_t>(signal.durations, signal.count),
                           signal.carrierPeriod, encoded) ||
        encoded.durations.size() > kMaxDurations) {
        return false;
    }
    other = MakeIrSignal(encoded.durations, encoded.frameStart,
                         signal.carrierPeriod ? signal.carrierPeriod
                                              : static_cast<uint8_t>(encoded.carrierPeriodUs));
    return true;
}
