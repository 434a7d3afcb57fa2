#include "Rc5Protocol.h"

#include "ProtocolEngine.h"

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
    uint32_t address = 0;
    for (int k = 0; k < kAddressBits; ++k) {
        bool one = false;
        if (!reader.Bit(kMarkFirstIsOne, one)) {
            return false;
        }
        address = address << 1 | one;
    }
    uint32_t command = 0;
    for (int k = 0; k < kCommandBits; ++k) {
        bool one = false;
        if (!reader.Bit(kMarkFirstIsOne, one)) {
            return false;
        }
        command = command << 1 | one;
    }
    if (!reader.Finish()) {
        return false;
    }
    code.address = address;
    code.command = command;
    code.toggle = toggle;
    return true;
}

bool DecodeRc5(CDurationCursor& cursor, IrFrame& frame) {
    bool field = false;
    return ReadFrame(cursor, field, frame.code) && field;
}

bool DecodeRc5x(CDurationCursor& cursor, IrFrame& frame) {
    bool field = false;
    if (!ReadFrame(cursor, field, frame.code) || field) {
        return false;
    }
    frame.code.command |= 1u << kCommandBits;
    return true;
}

void EncodeRc5(const IrCode& code, CSignalBuilder& builder) {
    const bool field = (code.command >> kCommandBits & 1) == 0;
    builder.BiphaseBit(true, kMarkFirstIsOne, kHalfBitUs);  // start
    builder.BiphaseBit(field, kMarkFirstIsOne, kHalfBitUs);
    builder.BiphaseBit(code.toggle & 1, kMarkFirstIsOne, kHalfBitUs);
    for (int k = kAddressBits - 1; k >= 0; --k) {
        builder.BiphaseBit(code.address >> k & 1, kMarkFirstIsOne, kHalfBitUs);
    }
    for (int k = kCommandBits - 1; k >= 0; --k) {
        builder.BiphaseBit(code.command >> k & 1, kMarkFirstIsOne, kHalfBitUs);
    }
    builder.EndPass(kFramePeriodUs, kMinGapUs);
}

}  // namespace

const IrProtocol kRc5Protocol = {"RC5", kCarrierHz, 0x1F, 0x3F, true, DecodeRc5, EncodeRc5};
const IrProtocol kRc5xProtocol = {"RC5X", kCarrierHz, 0x1F, 0x7F, true, DecodeRc5x, EncodeRc5};
