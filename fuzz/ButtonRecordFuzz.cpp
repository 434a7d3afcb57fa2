// Button records as a damaged or hostile codebase may hold them: parsing stays inside the
// record, and what parses builds into a record that parses to the same button.
#include <cstdlib>

#include "store/CCodebaseFile.h"

namespace {

bool Same(const ButtonSignal& a, const ButtonSignal& b) {
    return a.frameStart == b.frameStart && a.values == b.values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ButtonRecord record;
    if (!CCodebaseFile::ParseButtonBytes(data, size, record)) {
        return 0;
    }
    if (record.signal1.values.size() > CCodebaseFile::kMaxValues ||
        record.signal2.values.size() > CCodebaseFile::kMaxValues || record.carrierPeriod > 0xFF) {
        std::abort();
    }
    const std::vector<uint8_t> bytes = CCodebaseFile::BuildButtonRecord(record);
    if (bytes.size() % 2) {
        std::abort();
    }
    ButtonRecord again;
    if (!CCodebaseFile::ParseButtonBytes(bytes.data(), bytes.size(), again)) {
        std::abort();
    }
    // Building moves a lone signal 2 into signal 1's place.
    const bool movedUp = record.signal1.values.empty() && !record.signal2.values.empty();
    const ButtonSignal& first = movedUp ? record.signal2 : record.signal1;
    const ButtonSignal absent;
    const ButtonSignal& second = movedUp ? absent : record.signal2;
    if (again.name != record.name || again.carrierPeriod != record.carrierPeriod ||
        !Same(again.signal1, first.values.empty() ? absent : first) ||
        !Same(again.signal2, second.values.empty() ? absent : second)) {
        std::abort();
    }
    // Read back as durations and stored again, a signal gives the same durations, unless
    // storing them needs more values than a signal holds.
    const std::vector<int32_t> durations = CCodebaseFile::ValuesToDurations(again.signal1.values);
    const std::vector<int16_t> values =
        CCodebaseFile::DurationsToValues(durations.data(), durations.size());
    if (values.size() > CCodebaseFile::kMaxValues ||
        (values.size() < CCodebaseFile::kMaxValues &&
         CCodebaseFile::ValuesToDurations(values) != durations)) {
        std::abort();
    }
    return 0;
}
