#include "model/ButtonCodes.h"

#include "store/CCodebaseFile.h"

StoreResult DecodeButtons(HandheldFs& fs, const QString& path, std::vector<ButtonCode>& rows) {
    rows.clear();
    CCodebaseFile codebase(&fs);
    if (codebase.Open(path, CPdbFile::kModeRead) != kPdbOk) {
        return kStoreNotOpened;
    }
    if (!codebase.IsCodebase()) {
        return kStoreNotACodebase;
    }
    for (int index = 1; index < codebase.GetRecordCount(); ++index) {
        ButtonRecord record;
        if (!codebase.ParseButtonRecord(index, record)) {
            continue;
        }
        const QString name = FromFileBytes(record.name.constData(), record.name.size());
        int number = 0;
        for (const ButtonSignal* signal : {&record.signal1, &record.signal2}) {
            ++number;
            if (signal->values.empty()) {
                continue;
            }
            const std::vector<int32_t> durations = CCodebaseFile::ValuesToDurations(signal->values);
            const IrDecoded decoded = DecodeIrSignal(durations, record.carrierPeriod & 0xFF);
            rows.push_back({name, number, decoded.protocol, decoded.frame});
        }
    }
    return kStoreOk;
}
