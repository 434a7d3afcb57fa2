#include "ir/protocols/Protocols.h"

using namespace rc5;

namespace {

constexpr bool kMarkFirstIsOne = false;

// Field bit, toggle, address and command; false unless the whole frame fits.
bool ReadFrame(CDurationCursor& cursor, bool& field, IrCode& code) {
    CBiphaseReader reader(cursor, kHalfBitUs, 2, kMinGapUs);
    // Of the start bit (a one) only its second half, carrier on, can be seen.
    bool mark = false;
    if (!reader.Next(mark) || !mark) {
        return false;
    }
    bool toggle = false;
    if (!reader.Bit(kMarkFirstIsOne, field) || !reader.Bit(kMarkFirstIsOne, toggle)) {
        return false;
    }
    code.toggle = toggle;
    return reader.Bits(kAddressBits, kMarkFirstIsOne, code.address) &&
           reader.Bits(kCommandBits, kMarkFirstIsOne, code.command) && reader.Finish();
}

bool DecodeRc5(CDurationCursor& cursor, IrFrame& frame) {
    bool field = false;
    return ReadFrame(cursor, field, frame.code) && field;
}

// RC5X codes are the commands of the extended range, 0 to 63 as they are numbered there:
// the frame carries them with the field bit cleared.
bool DecodeRc5x(CDurationCursor& cursor, IrFrame& frame) {
    bool field = false;
    return ReadFrame(cursor, field, frame.code) && !field;
}

void Encode(const IrCode& code, bool field, CSignalBuilder& builder) {
    constexpr int kFieldShift = kAddressBits + kCommandBits + 1;
    const uint64_t bits = uint64_t{1} << (kFieldShift + 1) | uint64_t{field} << kFieldShift |
                          uint64_t{code.toggle & 1u} << (kFieldShift - 1) |
                          uint64_t{code.address & ((1u << kAddressBits) - 1)} << kCommandBits |
                          (code.command & ((1u << kCommandBits) - 1));
    // Start bit, field, toggle, address, command.
    builder.BiphaseBits(bits, kFieldShift + 2, kMarkFirstIsOne, kHalfBitUs);
    builder.EndPass(kFramePeriodUs, kMinGapUs);
}

void EncodeRc5(const IrCode& code, CSignalBuilder& builder) {
    Encode(code, true, builder);
}

void EncodeRc5x(const IrCode& code, CSignalBuilder& builder) {
    Encode(code, false, builder);
}

}  // namespace

const IrProtocol kRc5Protocol = {"RC5", kCarrierHz, 0x1F, 0x3F, true, DecodeRc5, EncodeRc5};
const IrProtocol kRc5xProtocol = {"RC5X", kCarrierHz, 0x1F, 0x3F, true, DecodeRc5x, EncodeRc5x};
