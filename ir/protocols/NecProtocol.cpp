#include "NecProtocol.h"

#include "ProtocolEngine.h"

using namespace nec;

namespace {

// The bits of a full frame, or false with `repeat` set for the repeat code.
bool ReadFrame(CDurationCursor& cursor, int bitCount, uint64_t& bits, IrFrame& frame) {
    const int64_t headerMarkUs = cursor.Peek();
    if (!cursor.Mark(kHeaderMarkUs)) {
        return false;
    }
    if (cursor.Space(kRepeatSpaceUs)) {
        frame.repeat = frame.bareRepeat = true;
        return false;
    }
    return headerMarkUs - cursor.Peek() >= kPioneerHeaderSplitUs && cursor.Space(kHeaderSpaceUs) &&
           cursor.PulseDistanceBits(bitCount, kBitMarkUs, kZeroSpaceUs, kOneSpaceUs, bits) &&
           cursor.Mark(kBitMarkUs) && cursor.Gap(kMinGapUs);
}

// Standard frames check each field against its inverse; extended ones carry wider fields.
bool IsStandard32(uint64_t bits) {
    return ((bits ^ (bits >> 8)) & 0xFF) == 0xFF && (((bits >> 16) ^ (bits >> 24)) & 0xFF) == 0xFF;
}

bool IsStandard42(uint64_t bits) {
    return ((bits ^ (bits >> 13)) & 0x1FFF) == 0x1FFF &&
           (((bits >> 26) ^ (bits >> 34)) & 0xFF) == 0xFF;
}

bool DecodeNec(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    if (!ReadFrame(cursor, kBits, bits, frame)) {
        // The repeat code, complete with its stop mark and gap.
        return frame.bareRepeat && cursor.Mark(kBitMarkUs) && cursor.Gap(kMinGapUs);
    }
    if (!IsStandard32(bits)) {
        return false;
    }
    frame.code.address = bits & 0xFF;
    frame.code.command = (bits >> 16) & 0xFF;
    return true;
}

bool DecodeNecExt(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    if (!ReadFrame(cursor, kBits, bits, frame) || IsStandard32(bits)) {
        return false;
    }
    frame.code.address = bits & 0xFFFF;
    frame.code.command = (bits >> 16) & 0xFFFF;
    return true;
}

bool DecodeNec42(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    if (!ReadFrame(cursor, kBits42, bits, frame) || !IsStandard42(bits)) {
        return false;
    }
    frame.code.address = bits & 0x1FFF;
    frame.code.command = (bits >> 26) & 0xFF;
    return true;
}

bool DecodeNec42Ext(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    if (!ReadFrame(cursor, kBits42, bits, frame) || IsStandard42(bits)) {
        return false;
    }
    frame.code.address = bits & 0x3FFFFFF;
    frame.code.command = (bits >> 26) & 0xFFFF;
    return true;
}

// A held button: the frame, then the repeat code for as long as it is held.
void WriteHeld(uint64_t bits, int bitCount, CSignalBuilder& builder) {
    builder.Mark(kHeaderMarkUs);
    builder.Space(kHeaderSpaceUs);
    builder.PulseDistanceBits(bits, bitCount, kBitMarkUs, kZeroSpaceUs, kOneSpaceUs);
    builder.Mark(kBitMarkUs);
    builder.EndPass(kFramePeriodUs, kMinGapUs);
    builder.StartRepeat();
    builder.Mark(kHeaderMarkUs);
    builder.Space(kRepeatSpaceUs);
    builder.Mark(kBitMarkUs);
    builder.EndPass(kFramePeriodUs, kMinGapUs);
}

void EncodeNec(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t address = code.address & 0xFF;
    const uint64_t command = code.command & 0xFF;
    WriteHeld(address | (~address & 0xFF) << 8 | command << 16 | (~command & 0xFF) << 24, kBits,
              builder);
}

void EncodeNecExt(const IrCode& code, CSignalBuilder& builder) {
    WriteHeld(uint64_t{code.address & 0xFFFF} | uint64_t{code.command & 0xFFFF} << 16, kBits,
              builder);
}

void EncodeNec42(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t address = code.address & 0x1FFF;
    const uint64_t command = code.command & 0xFF;
    WriteHeld(address | (~address & 0x1FFF) << 13 | command << 26 | (~command & 0xFF) << 34,
              kBits42, builder);
}

void EncodeNec42Ext(const IrCode& code, CSignalBuilder& builder) {
    WriteHeld(uint64_t{code.address & 0x3FFFFFF} | uint64_t{code.command & 0xFFFF} << 26, kBits42,
              builder);
}

}  // namespace

const IrProtocol kNecProtocol = {"NEC", kCarrierHz, 0xFF, 0xFF, false, DecodeNec, EncodeNec};
const IrProtocol kNecExtProtocol = {"NECext", kCarrierHz,   0xFFFF,      0xFFFF,
                                    false,    DecodeNecExt, EncodeNecExt};
const IrProtocol kNec42Protocol = {"NEC42", kCarrierHz,  0x1FFF,     0xFF,
                                   false,   DecodeNec42, EncodeNec42};
const IrProtocol kNec42ExtProtocol = {"NEC42ext", kCarrierHz,     0x3FFFFFF,     0xFFFF,
                                      false,      DecodeNec42Ext, EncodeNec42Ext};
