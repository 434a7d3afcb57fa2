#include "ir/protocols/Protocols.h"

using namespace sirc;

namespace {

bool DecodeBits(CDurationCursor& cursor, int addressBits, IrFrame& frame) {
    uint64_t bits = 0;
    if (!cursor.Mark(kHeaderMarkUs) || !cursor.Space(kSpaceUs) ||
        !cursor.PulseWidthBits(kCommandBits + addressBits, kZeroMarkUs, kOneMarkUs, kSpaceUs,
                               bits) ||
        !cursor.Gap(kMinGapUs)) {
        return false;
    }
    frame.code.command = bits & ((1u << kCommandBits) - 1);
    frame.code.address = static_cast<uint32_t>(bits >> kCommandBits);
    return true;
}

void EncodeBits(const IrCode& code, int addressBits, CSignalBuilder& builder) {
    const uint64_t command = code.command & ((1u << kCommandBits) - 1);
    const uint64_t address = code.address & ((1u << addressBits) - 1);
    builder.Mark(kHeaderMarkUs);
    builder.Space(kSpaceUs);
    builder.PulseWidthBits(command | address << kCommandBits, kCommandBits + addressBits,
                           kZeroMarkUs, kOneMarkUs, kSpaceUs);
    builder.EndPass(kFramePeriodUs, kMinGapUs);
}

bool DecodeSirc(CDurationCursor& cursor, IrFrame& frame) {
    return DecodeBits(cursor, 5, frame);
}
bool DecodeSirc15(CDurationCursor& cursor, IrFrame& frame) {
    return DecodeBits(cursor, 8, frame);
}
bool DecodeSirc20(CDurationCursor& cursor, IrFrame& frame) {
    return DecodeBits(cursor, 13, frame);
}
void EncodeSirc(const IrCode& code, CSignalBuilder& builder) {
    EncodeBits(code, 5, builder);
}
void EncodeSirc15(const IrCode& code, CSignalBuilder& builder) {
    EncodeBits(code, 8, builder);
}
void EncodeSirc20(const IrCode& code, CSignalBuilder& builder) {
    EncodeBits(code, 13, builder);
}

}  // namespace

const IrProtocol kSircProtocol = {"SIRC", kCarrierHz, 0x1F, 0x7F, false, DecodeSirc, EncodeSirc};
const IrProtocol kSirc15Protocol = {"SIRC15", kCarrierHz,   0xFF,        0x7F,
                                    false,    DecodeSirc15, EncodeSirc15};
const IrProtocol kSirc20Protocol = {"SIRC20", kCarrierHz,   0x1FFF,      0x7F,
                                    false,    DecodeSirc20, EncodeSirc20};
