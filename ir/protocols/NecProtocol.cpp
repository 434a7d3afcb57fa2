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

// Pioneer's frame is NEC's under a slightly shorter header on another carrier; the
// tolerance of either takes the other's. Where the carrier was measured it decides: 40 kHz
// (a period of 25 us, 39.2 kHz and more) is Pioneer, 38 kHz (26 us) NEC. Where it was not,
// the header's mark plus space (which a learnt signal stretches and shrinks by the same
// amount) tells them apart at their midpoint.
constexpr uint32_t kPioneerLongestCarrierPeriodUs = 25;
constexpr int32_t kPioneerHeaderSplitUs =
    (kNecTiming.headerMarkUs + kNecTiming.headerSpaceUs + kPioneerTiming.headerMarkUs +
     kPioneerTiming.headerSpaceUs) /
    2;

bool LooksLikePioneer(const CDurationCursor& cursor, int64_t headerMarkUs, int64_t headerSpaceUs) {
    if (cursor.MeasuredCarrierPeriodUs() != 0) {
        return cursor.MeasuredCarrierPeriodUs() <= kPioneerLongestCarrierPeriodUs;
    }
    return headerMarkUs - headerSpaceUs < kPioneerHeaderSplitUs;
}

// A bit mark within half a unit of its length (the stretch of a learnt mark forgiven), as
// the kernel's NEC decoder takes it.
bool LooseBitMark(int64_t markUs, const PulseDistanceTiming& timing, int64_t slackUs) {
    const int64_t halfUnitUs = timing.bitMarkUs / 2;
    return markUs >= timing.bitMarkUs - halfUnitUs &&
           markUs <= timing.bitMarkUs + halfUnitUs + slackUs;
}

// The stop mark after the bits, and the gap.
bool ReadStop(CDurationCursor& cursor, const PulseDistanceTiming& timing) {
    const int64_t markUs = cursor.Peek();
    if (!LooseBitMark(markUs, timing, cursor.SlackUs())) {
        return false;
    }
    cursor.Weigh(MarkOffUs(markUs, timing.bitMarkUs, cursor.SlackUs()), timing.bitMarkUs);
    cursor.Skip();
    return cursor.Gap(timing.minGapUs);
}

// One bit. Marks and spaces as the timing has them, or, for remotes whose marks run long and
// spaces short by the same amount, by the period of mark and space: within half a unit of
// a zero's or a one's.
bool ReadBit(CDurationCursor& cursor, const PulseDistanceTiming& timing, bool& one) {
    CDurationCursor strict = cursor;
    if (strict.Mark(timing.bitMarkUs)) {
        // A space that does not match neither moves nor weighs the cursor.
        const int32_t spaceUs = strict.Peek();
        if (strict.Space(timing.oneSpaceUs) || strict.Space(timing.zeroSpaceUs)) {
            one = SpaceMatches(spaceUs, timing.oneSpaceUs, cursor.SlackUs());
            cursor = strict;
            return true;
        }
    }
    const int64_t markUs = cursor.Peek();
    if (!LooseBitMark(markUs, timing, cursor.SlackUs())) {
        return false;
    }
    CDurationCursor afterMark = cursor;
    afterMark.Skip();
    const int64_t spaceUs = afterMark.Peek();
    if (spaceUs >= 0) {
        return false;
    }
    const int64_t periodUs = markUs - spaceUs;
    const int64_t zeroUs = timing.bitMarkUs + timing.zeroSpaceUs;
    const int64_t oneUs = timing.bitMarkUs + timing.oneSpaceUs;
    const int64_t nominalUs = periodUs * 2 > zeroUs + oneUs ? oneUs : zeroUs;
    const int64_t offUs = periodUs > nominalUs ? periodUs - nominalUs : nominalUs - periodUs;
    if (offUs > timing.bitMarkUs / 2) {
        return false;
    }
    one = nominalUs == oneUs;
    cursor.Weigh(offUs, nominalUs);
    cursor.Skip();
    cursor.Skip();
    return true;
}

// The bits, the stop mark and the gap.
bool ReadData(CDurationCursor& cursor, const PulseDistanceTiming& timing, uint64_t& bits) {
    for (int k = 0; k < timing.bits; ++k) {
        bool one = false;
        if (!ReadBit(cursor, timing, one)) {
            return false;
        }
        bits |= uint64_t{one} << k;
    }
    return ReadStop(cursor, timing);
}

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
    return LooksLikePioneer(cursor, headerMarkUs, cursor.Peek()) != nec &&
           cursor.Space(timing.headerSpaceUs) && ReadData(cursor, timing, bits);
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
        return &layout == &kNec32 && frame.bareRepeat && ReadStop(cursor, kNecTiming);
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
