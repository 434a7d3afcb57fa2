#include "ir/protocols/Protocols.h"

namespace {

bool DecodeSamsung32(CDurationCursor& cursor, IrFrame& frame) {
    const PulseDistanceTiming& timing = kSamsung32Timing;
    if (!cursor.Mark(timing.headerMarkUs) || !cursor.Space(timing.headerSpaceUs)) {
        return false;
    }
    CDurationCursor repeat = cursor;
    uint64_t bits = 0;
    if (ReadPulseDistanceData(cursor, timing, bits)) {
        const uint32_t address = bits & 0xFF;
        const uint32_t command = (bits >> 16) & 0xFF;
        if (((bits >> 8) & 0xFF) != address || ((bits >> 24) & 0xFF) != (~command & 0xFF)) {
            return false;
        }
        frame.code.address = address;
        frame.code.command = command;
        return true;
    }
    // The repeat code: the header, a single one bit and the stop mark.
    if (repeat.Mark(timing.bitMarkUs) && repeat.Space(timing.oneSpaceUs) &&
        repeat.Mark(timing.bitMarkUs) && repeat.Gap(timing.minGapUs)) {
        cursor = repeat;
        frame.repeat = frame.bareRepeat = true;
        return true;
    }
    return false;
}

void EncodeSamsung32(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t address = code.address & 0xFF;
    const uint64_t command = code.command & 0xFF;
    WritePulseDistanceFrame(builder, kSamsung32Timing,
                            address | address << 8 | command << 16 | (~command & 0xFF) << 24);
}

}  // namespace

const IrProtocol kSamsung32Protocol = {
    "Samsung32", kSamsung32Timing.carrierHz, 0xFF, 0xFF, false, DecodeSamsung32, EncodeSamsung32};
