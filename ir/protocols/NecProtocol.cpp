// NEC, its extended and 42-bit forms, and Pioneer, which sends NEC's frame under another
// header.
#include "ir/protocols/Protocols.h"

namespace {

// The fields of a frame: standard frames follow the address and the 8-bit command each with
// its inverse; extended ones carry an address of twice the width and a 16-bit command.
struct NecLayout {
    int addressBits;  // of the standard form: 8 (32-bit frames) or 13 (42-bit frames)
    bool extended;
};

constexpr NecLayout kNec32 = {8, false};
constexpr NecLayout kNecExt32 = {8, true};
constexpr NecLayout kNec42 = {13, false};
constexpr NecLayout kNecExt42 = {13, true};

constexpr uint64_t Mask(int bits) {
    return (uint64_t{1} << bits) - 1;
}

constexpr PulseDistanceTiming WithBits(PulseDistanceTiming timing, const NecLayout& layout) {
    timing.bits = 2 * layout.addressBits + 16;
    return timing;
}

// Pioneer's header (8.5 + 4.25 ms) is so near NEC's that the tolerance of either would take
// the other's. The header's mark plus space (which a learnt signal stretches and shrinks by
// the same amount) tells them apart at their midpoint.
constexpr int32_t kPioneerHeaderSplitUs =
    (kNecTiming.headerMarkUs + kNecTiming.headerSpaceUs + kPioneerTiming.headerMarkUs +
     kPioneerTiming.headerSpaceUs) /
    2;

// The bits of a full frame under NEC's header or Pioneer's. False, with `repeat` set, for
// NEC's repeat code.
bool ReadFrame(CDurationCursor& cursor, const PulseDistanceTiming& timing, uint64_t& bits,
               IrFrame& frame) {
    const bool nec = timing.headerMarkUs == kNecTiming.headerMarkUs;
    const int64_t headerMarkUs = cursor.Peek();
    if (!cursor.Mark(timing.headerMarkUs)) {
        return false;
    }
    if (nec && cursor.Space(kNecRepeatSpaceUs)) {
        frame.repeat = frame.bareRepeat = true;
        return false;
    }
    return (headerMarkUs - cursor.Peek() >= kPioneerHeaderSplitUs) == nec &&
           cursor.Space(timing.headerSpaceUs) && ReadPulseDistanceData(cursor, timing, bits);
}

bool IsStandard(uint64_t bits, int addressBits) {
    const uint64_t commandBits = bits >> (2 * addressBits);
    return ((bits ^ (bits >> addressBits)) & Mask(addressBits)) == Mask(addressBits) &&
           ((commandBits ^ (commandBits >> 8)) & 0xFF) == 0xFF;
}

bool Fields(const NecLayout& layout, uint64_t bits, IrCode& code) {
    if (IsStandard(bits, layout.addressBits) == layout.extended) {
        return false;
    }
    const int commandShift = 2 * layout.addressBits;
    code.address = bits & Mask(layout.extended ? commandShift : layout.addressBits);
    code.command = (bits >> commandShift) & Mask(layout.extended ? 16 : 8);
    return true;
}

uint64_t Bits(const NecLayout& layout, const IrCode& code) {
    const int commandShift = 2 * layout.addressBits;
    if (layout.extended) {
        return (code.address & Mask(commandShift)) | (code.command & Mask(16)) << commandShift;
    }
    const uint64_t address = code.address & Mask(layout.addressBits);
    const uint64_t command = code.command & 0xFF;
    return address | (~address & Mask(layout.addressBits)) << layout.addressBits |
           command << commandShift | (~command & 0xFF) << (commandShift + 8);
}

template <const NecLayout& layout>
bool DecodeNec(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    if (!ReadFrame(cursor, WithBits(kNecTiming, layout), bits, frame)) {
        // Plain NEC takes the repeat code, complete with its stop mark and gap.
        return &layout == &kNec32 && frame.bareRepeat && cursor.Mark(kNecTiming.bitMarkUs) &&
               cursor.Gap(kNecTiming.minGapUs);
    }
    return Fields(layout, bits, frame.code);
}

// A held button: the frame, then the repeat code for as long as it is held.
template <const NecLayout& layout>
void EncodeNec(const IrCode& code, CSignalBuilder& builder) {
    WritePulseDistanceFrame(builder, WithBits(kNecTiming, layout), Bits(layout, code));
    builder.StartRepeat();
    builder.Mark(kNecTiming.headerMarkUs);
    builder.Space(kNecRepeatSpaceUs);
    builder.Mark(kNecTiming.bitMarkUs);
    builder.EndPass(kNecTiming.framePeriodUs, kNecTiming.gapUs);
}

bool DecodePioneer(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    return ReadFrame(cursor, kPioneerTiming, bits, frame) && Fields(kNec32, bits, frame.code);
}

// Held buttons resend the frame.
void EncodePioneer(const IrCode& code, CSignalBuilder& builder) {
    WritePulseDistanceFrame(builder, kPioneerTiming, Bits(kNec32, code));
}

}  // namespace

const IrProtocol kNecProtocol = {
    "NEC", kNecTiming.carrierHz, 0xFF, 0xFF, false, DecodeNec<kNec32>, EncodeNec<kNec32>};
const IrProtocol kNecExtProtocol = {"NECext",
                                    kNecTiming.carrierHz,
                                    0xFFFF,
                                    0xFFFF,
                                    false,
                                    DecodeNec<kNecExt32>,
                                    EncodeNec<kNecExt32>};
const IrProtocol kNec42Protocol = {"NEC42", kNecTiming.carrierHz, 0x1FFF,           0xFF,
                                   false,   DecodeNec<kNec42>,    EncodeNec<kNec42>};
const IrProtocol kNec42ExtProtocol = {"NEC42ext", kNecTiming.carrierHz, 0x3FFFFFF,           0xFFFF,
                                      false,      DecodeNec<kNecExt42>, EncodeNec<kNecExt42>};
const IrProtocol kPioneerProtocol = {
    "Pioneer", kPioneerTiming.carrierHz, 0xFF, 0xFF, false, DecodePioneer, EncodePioneer};
