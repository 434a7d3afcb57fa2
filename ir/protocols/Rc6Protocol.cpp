#include "ir/protocols/Protocols.h"

using namespace rc6;

namespace {

constexpr bool kMarkFirstIsOne = true;

bool DecodeRc6(CDurationCursor& cursor, IrFrame& frame) {
    if (!cursor.Mark(kLeaderMarkUs) || !cursor.Space(kLeaderSpaceUs)) {
        return false;
    }
    // Runs of up to three units: a half bit beside a double-width toggle half.
    CBiphaseReader reader(cursor, kUnitUs, 3, kMinGapUs);
    bool start = false;
    uint32_t mode = 0;
    if (!reader.Bit(kMarkFirstIsOne, start) || !start ||
        !reader.Bits(kModeBits, kMarkFirstIsOne, mode) || mode != 0) {
        return false;
    }
    bool first = false;
    bool second = false;
    if (!reader.Run(2, first) || !reader.Run(2, second) || first == second) {
        return false;
    }
    frame.code.toggle = first;
    return reader.Bits(kAddressBits, kMarkFirstIsOne, frame.code.address) &&
           reader.Bits(kCommandBits, kMarkFirstIsOne, frame.code.command) && reader.Finish();
}

void EncodeRc6(const IrCode& code, CSignalBuilder& builder) {
    builder.Mark(kLeaderMarkUs);
    builder.Space(kLeaderSpaceUs);
    builder.BiphaseBit(true, kMarkFirstIsOne, kUnitUs);  // start
    builder.BiphaseBits(0, kModeBits, kMarkFirstIsOne, kUnitUs);
    builder.BiphaseBit(code.toggle & 1, kMarkFirstIsOne, kToggleHalfUs);
    builder.BiphaseBits(code.address, kAddressBits, kMarkFirstIsOne, kUnitUs);
    builder.BiphaseBits(code.command, kCommandBits, kMarkFirstIsOne, kUnitUs);
    builder.EndPass(kFramePeriodUs, kMinGapUs);
}

}  // namespace

const IrProtocol kRc6Protocol = {"RC6", kCarrierHz, 0xFF, 0xFF, true, DecodeRc6, EncodeRc6};
