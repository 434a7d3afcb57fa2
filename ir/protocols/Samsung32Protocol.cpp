#include "Samsung32Protocol.h"

#include "ProtocolEngine.h"

using namespace samsung32;

namespace {

bool DecodeSamsung32(CDurationCursor& cursor, IrFrame& frame) {
    if (!cursor.Mark(kHeaderMarkUs) || !cursor.Space(kHeaderSpaceUs)) {
        return false;
    }
    CDurationCursor repeat = cursor;
    uint64_t bits = 0;
    if (cursor.PulseDistanceBits(kBits, kBitMarkUs, kZeroSpaceUs, kOneSpaceUs, bits) &&
        cursor.Mark(kBitMarkUs) && cursor.Gap(kMinGapUs)) {
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
    if (repeat.Mark(kBitMarkUs) && repeat.Space(kOneSpaceUs) && repeat.Mark(kBitMarkUs) &&
        repeat.Gap(kMinGapUs)) {
        cursor = repeat;
        frame.repeat = frame.bareRepeat = true;
        return true;
    }
    return false;
}

void EncodeSamsung32(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t address = code.address & 0xFF;
    const uint64_t command = code.command & 0xFF;
    builder.Mark(kHeaderMarkUs);
    builder.Space(kHeaderSpaceUs);
    builder.PulseDistanceBits(address | address << 8 | command << 16 | (~command & 0xFF) << 24,
                              kBits, kBitMarkUs, kZeroSpaceUs, kOneSpaceUs);
    builder.Mark(kBitMarkUs);
    builder.EndPass(kFramePeriodUs, kMinGapUs);
}

}  // namespace

const IrProtocol kSamsung32Protocol = {"Samsung32", kCarrierHz,      0xFF,           0xFF,
                                       false,       DecodeSamsung32, EncodeSamsung32};
