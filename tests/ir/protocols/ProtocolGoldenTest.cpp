// Frames written out by hand from each protocol's definition, and what they must decode to:
// sent as defined, and as learnt (marks longer, spaces shorter by a carrier period).
#include <gtest/gtest.h>

#include <string>

#include "ir/protocols/IrProtocol.h"
#include "ir/protocols/Protocols.h"
#include "tests/ir/protocols/HandFrames.h"

namespace {

constexpr int32_t kTrailingGapUs = 40000;

struct Golden {
    const char* name;
    std::vector<int32_t> durations;
    const char* protocol;
    uint32_t address;
    uint32_t command;
    uint8_t toggle = 0;
    bool repeat = false;
    bool bareRepeat = false;
};

// A pulse-distance frame as its timing defines it: the header (if it has one and
// `withHeader`), `count` bits, the stop mark and `gapUs`.
std::vector<int32_t> PulseDistanceFrame(const PulseDistanceTiming& timing, uint64_t bits, int count,
                                        bool withHeader = true, int32_t gapUs = kTrailingGapUs) {
    CHandFrame frame;
    if (withHeader && timing.headerMarkUs > 0) {
        frame.Mark(timing.headerMarkUs).Space(timing.headerSpaceUs);
    }
    return frame.PulseDistance(bits, count, timing.bitMarkUs, timing.zeroSpaceUs, timing.oneSpaceUs)
        .Mark(timing.bitMarkUs)
        .Space(gapUs)
        .Durations();
}

std::vector<int32_t> NecFrame(uint64_t bits, int count) {
    return PulseDistanceFrame(kNecTiming, bits, count);
}

std::vector<int32_t> NecRepeat() {
    const PulseDistanceTiming& nec = kNecTiming;
    return CHandFrame()
        .Mark(nec.headerMarkUs)
        .Space(kNecRepeatSpaceUs)
        .Mark(nec.bitMarkUs)
        .Space(nec.framePeriodUs - nec.headerMarkUs - kNecRepeatSpaceUs - nec.bitMarkUs)
        .Durations();
}

std::vector<int32_t> Samsung32Frame(uint64_t bits) {
    return PulseDistanceFrame(kSamsung32Timing, bits, kSamsung32Timing.bits);
}

std::vector<int32_t> Samsung32Repeat() {
    const PulseDistanceTiming& samsung = kSamsung32Timing;
    return CHandFrame()
        .Mark(samsung.headerMarkUs)
        .Space(samsung.headerSpaceUs)
        .Mark(samsung.bitMarkUs)
        .Space(samsung.oneSpaceUs)
        .Mark(samsung.bitMarkUs)
        .Space(kTrailingGapUs)
        .Durations();
}

// Start bit, field, toggle, 5 address bits, 6 command bits; a one is off, then on.
std::vector<int32_t> Rc5Frame(bool field, bool toggle, uint32_t address, uint32_t command) {
    using namespace rc5;
    const uint32_t bits =
        1u << 13 | uint32_t{field} << 12 | uint32_t{toggle} << 11 | address << 6 | command;
    return CHandFrame().Biphase(bits, 14, kHalfBitUs, false).Space(kTrailingGapUs).Durations();
}

std::vector<int32_t> Rc6Frame(uint32_t mode, bool toggle, uint32_t address, uint32_t command) {
    using namespace rc6;
    CHandFrame frame;
    frame.Mark(kLeaderMarkUs).Space(kLeaderSpaceUs);
    frame.Biphase(1, 1, kUnitUs, true).Biphase(mode, kModeBits, kUnitUs, true);
    frame.Biphase(toggle, 1, kToggleHalfUs, true);
    frame.Biphase(address << 8 | command, kAddressBits + kCommandBits, kUnitUs, true);
    return frame.Space(kTrailingGapUs).Durations();
}

std::vector<int32_t> SircFrame(uint64_t bits, int count) {
    using namespace sirc;
    return CHandFrame()
        .Mark(kHeaderMarkUs)
        .Space(kSpaceUs)
        .PulseWidth(bits, count, kZeroMarkUs, kOneMarkUs, kSpaceUs)
        .Space(kTrailingGapUs)
        .Durations();
}

std::vector<int32_t> KaseikyoFrame(uint64_t bits) {
    return PulseDistanceFrame(kKaseikyoTiming, bits, kKaseikyoTiming.bits);
}

std::vector<int32_t> RcaFrame(uint64_t bits) {
    return PulseDistanceFrame(kRcaTiming, bits, kRcaTiming.bits, true, kRcaTiming.gapUs);
}

std::vector<int32_t> PioneerFrame(uint64_t bits) {
    return PulseDistanceFrame(kPioneerTiming, bits, kPioneerTiming.bits, true,
                              kPioneerTiming.gapUs);
}

std::vector<int32_t> JvcFrame(uint64_t bits, bool header, int count = kJvcTiming.bits) {
    return PulseDistanceFrame(kJvcTiming, bits, count, header);
}

// A 15-bit frame and its echo, in the timing of Sharp or Denon.
std::vector<int32_t> PairFrame(const EchoTiming& timing, uint64_t first, uint64_t echo) {
    const PulseDistanceTiming& bits = timing.frame;
    std::vector<int32_t> durations =
        PulseDistanceFrame(bits, first, bits.bits, false, timing.echoSpaceUs);
    const std::vector<int32_t> second =
        PulseDistanceFrame(bits, echo, bits.bits, false, bits.gapUs);
    durations.insert(durations.end(), second.begin(), second.end());
    return durations;
}

// The bytes of each frame are written out in the order they are sent (first byte lowest).
std::vector<Golden> GoldenFrames() {
    return {
        {"Nec", NecFrame(0xF708FB04, 32), "NEC", 0x04, 0x08},
        {"NecAllOnes", NecFrame(0x00FF00FF, 32), "NEC", 0xFF, 0xFF},
        {"NecRepeatCode", NecRepeat(), "NEC", 0, 0, 0, true, true},
        {"NecExt", NecFrame(0xFD027F00, 32), "NECext", 0x7F00, 0xFD02},
        {"NecExtCommandNotInverted", NecFrame(0x1234FB04, 32), "NECext", 0xFB04, 0x1234},
        // 13-bit address 0x1ABC and its inverse 0x0543, command 0x5A and its inverse 0xA5.
        {"Nec42",
         NecFrame(uint64_t{0xA5} << 34 | uint64_t{0x5A} << 26 | 0x0543u << 13 | 0x1ABC, 42),
         "NEC42", 0x1ABC, 0x5A},
        {"Nec42Ext", NecFrame(uint64_t{0x1234} << 26 | 0x0ABCDEF, 42), "NEC42ext", 0x0ABCDEF,
         0x1234},
        {"Samsung32", Samsung32Frame(0xFD020707), "Samsung32", 0x07, 0x02},
        {"Samsung32RepeatCode", Samsung32Repeat(), "Samsung32", 0, 0, 0, true, true},
        {"Rc5", Rc5Frame(true, true, 0x05, 0x35), "RC5", 0x05, 0x35, 1},
        {"Rc5LastHalfBitInTheGap", Rc5Frame(true, false, 0x00, 0x3E), "RC5", 0x00, 0x3E, 0},
        // The extended range numbers its commands from 0: field bit 0 and command 0x05 is RC5X
        // 0x05.
        {"Rc5x", Rc5Frame(false, false, 0x1F, 0x05), "RC5X", 0x1F, 0x05, 0},
        {"Rc6", Rc6Frame(0, false, 0x0C, 0x21), "RC6", 0x0C, 0x21, 0},
        {"Rc6ToggleOne", Rc6Frame(0, true, 0xFF, 0x00), "RC6", 0xFF, 0x00, 1},
        {"Sirc", SircFrame(0x01u << 7 | 0x15, 12), "SIRC", 0x01, 0x15},
        {"Sirc15", SircFrame(0x97u << 7 | 0x30, 15), "SIRC15", 0x97, 0x30},
        // Device 0x1A, extension 0xD1.
        {"Sirc20", SircFrame((0xD1u << 5 | 0x1A) << 7 | 0x7F, 20), "SIRC20", 0xD1u << 5 | 0x1A,
         0x7F},
        // Vendor 0x2002, vendor parity 0, genres 8 and 0, command 0x3D, id 0, parity 0x53.
        {"Kaseikyo", KaseikyoFrame(0x5303D0802002), "Kaseikyo", 0x200280, 0x3D},
        // Address 0xF, command 0x54, then both inverted, first arriving bit lowest.
        {"Rca", RcaFrame(0xAB054F), "RCA", 0xF, 0x54},
        {"Pioneer", PioneerFrame(0xE51AAA55), "Pioneer", 0x55, 0x1A},
        {"Jvc", JvcFrame(0x1703, true), "JVC", 0x03, 0x17},
        {"JvcHeaderlessRepeat", JvcFrame(0x1703, false), "JVC", 0x03, 0x17, 0, true},
        // Address 1, command 0x4F, frame bits 1 0; the echo inverts command and frame bits.
        {"Sharp", PairFrame(kSharpTiming, 0x29E1, 0x29E1 ^ 0x7FE0), "Sharp", 0x01, 0x4F},
        {"Denon", PairFrame(kDenonTiming, 0x0222, 0x0222 ^ 0x7FE0), "Denon", 0x02, 0x11},
    };
}

class ProtocolGolden : public ::testing::TestWithParam<Golden> {};

TEST_P(ProtocolGolden, DecodesAsSentAndAsLearnt) {
    const Golden& golden = GetParam();
    const IrProtocol* protocol = FindIrProtocol(golden.protocol);
    ASSERT_NE(protocol, nullptr);
    const int32_t periodUs = CarrierPeriodUs(protocol->carrierHz);
    struct Variant {
        const char* what;
        std::vector<int32_t> durations;
        uint32_t carrierPeriodUs;
    };
    const Variant variants[] = {
        {"as sent", golden.durations, 0},
        {"learnt, carrier known", Stretched(golden.durations, periodUs), uint32_t(periodUs)},
        {"learnt, carrier unknown", Stretched(golden.durations, periodUs), 0},
        {"learnt, stretched by half", Stretched(golden.durations, periodUs / 2), 0},
    };
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.what);
        const IrDecoded decoded = DecodeIrSignal(variant.durations, variant.carrierPeriodUs);
        ASSERT_NE(decoded.protocol, nullptr);
        EXPECT_STREQ(decoded.protocol->name, golden.protocol);
        EXPECT_EQ(decoded.frame.code.address, golden.address);
        EXPECT_EQ(decoded.frame.code.command, golden.command);
        EXPECT_EQ(decoded.frame.code.toggle, golden.toggle);
        EXPECT_EQ(decoded.frame.repeat, golden.repeat);
        EXPECT_EQ(decoded.frame.bareRepeat, golden.bareRepeat);
        EXPECT_EQ(decoded.next, variant.durations.size());  // the frame and its gap
    }
}

INSTANTIATE_TEST_SUITE_P(Frames, ProtocolGolden, ::testing::ValuesIn(GoldenFrames()),
                         [](const auto& info) { return std::string(info.param.name); });

// Real remotes off their protocol's nominal timing, and signals that more than one
// protocol's tolerance takes: the protocol whose timing fits best names them, and a
// measured carrier tells NEC from Pioneer.
struct OffNominal {
    const char* name;
    std::vector<int32_t> durations;
    uint32_t carrierPeriodUs;  // 0: not measured
    const char* protocol;
    uint32_t address;
    uint32_t command;
};

PulseDistanceTiming NecScaled(int percent) {
    PulseDistanceTiming timing = kNecTiming;
    for (int32_t* us : {&timing.headerMarkUs, &timing.headerSpaceUs, &timing.bitMarkUs,
                        &timing.zeroSpaceUs, &timing.oneSpaceUs}) {
        *us = *us * percent / 100;
    }
    return timing;
}

// NEC's bit periods (1,125 and 2,250 us) with marks stretched and spaces shortened by as
// much, the header long and short: a remote the kernel's NEC decoder reads.
PulseDistanceTiming NecStretchedMarks() {
    PulseDistanceTiming timing = kNecTiming;
    timing.headerMarkUs = 9293;
    timing.headerSpaceUs = 4302;
    timing.bitMarkUs = 771;
    timing.zeroSpaceUs = 1125 - 771;
    timing.oneSpaceUs = 2250 - 771;
    return timing;
}

std::vector<int32_t> SircShortLeader(uint64_t bits) {
    std::vector<int32_t> durations = SircFrame(bits, 12);
    durations[0] = 2078;
    return durations;
}

std::vector<OffNominal> OffNominals() {
    const uint64_t nec = 0xF708FB04;  // address 0x04, command 0x08
    return {
        {"SircShortLeaderCarrierUnknown", SircShortLeader(0x40), 0, "SIRC", 0x0, 0x40},
        {"SircShortLeaderAt40kHz", SircShortLeader(0x40), 25, "SIRC", 0x0, 0x40},
        {"NecStretchedMarks", PulseDistanceFrame(NecStretchedMarks(), nec, 32), 0, "NEC", 0x04,
         0x08},
        {"NecStretchedMarksAt38kHz", PulseDistanceFrame(NecStretchedMarks(), nec, 32), 26, "NEC",
         0x04, 0x08},
        // A generic NEC remote whose clock runs 4 % fast: the carrier decides.
        {"NecFastClockAt38kHz", PulseDistanceFrame(NecScaled(96), nec, 32), 26, "NEC", 0x04, 0x08},
        {"NecFastClockCarrierUnknown", PulseDistanceFrame(NecScaled(96), nec, 32), 0, "Pioneer",
         0x04, 0x08},
        {"PioneerAt40kHz", PioneerFrame(nec), 25, "Pioneer", 0x04, 0x08},
        {"PioneerFrameAt38kHz", PioneerFrame(nec), 26, "NEC", 0x04, 0x08},
        {"NecFrameAt40kHz", NecFrame(nec, 32), 25, "Pioneer", 0x04, 0x08},
    };
}

class ProtocolOffNominal : public ::testing::TestWithParam<OffNominal> {};

TEST_P(ProtocolOffNominal, BestFittingProtocolNamesIt) {
    const OffNominal& c = GetParam();
    const IrDecoded decoded = DecodeIrSignal(c.durations, c.carrierPeriodUs);
    ASSERT_NE(decoded.protocol, nullptr);
    EXPECT_STREQ(decoded.protocol->name, c.protocol);
    EXPECT_EQ(decoded.frame.code.address, c.address);
    EXPECT_EQ(decoded.frame.code.command, c.command);
    EXPECT_EQ(decoded.next, c.durations.size());
}

INSTANTIATE_TEST_SUITE_P(Frames, ProtocolOffNominal, ::testing::ValuesIn(OffNominals()),
                         [](const auto& info) { return std::string(info.param.name); });

// The short-leader Sony frame is one the bi-phase decoder alone would take (every pulse a
// third off): without weighing the fit it was named RC5X.
TEST(ProtocolOffNominal, ShortLeaderSircIsAlsoReadAsBiphase) {
    const std::vector<int32_t> durations = SircShortLeader(0x40);
    CDurationCursor cursor(durations, 0, CarrierPeriodUs(rc5::kCarrierHz));
    IrFrame frame;
    ASSERT_TRUE(kRc5xProtocol.decode(cursor, frame));
    EXPECT_GT(cursor.MeanDeviationPermille(), 250);
}

// Frames that start like a protocol's but are not one in full: never a name.
struct HalfMatch {
    const char* name;
    std::vector<int32_t> durations;
};

std::vector<int32_t> Truncated(std::vector<int32_t> durations, size_t keep) {
    durations.resize(keep);
    durations.push_back(-kTrailingGapUs);
    return durations;
}

std::vector<int32_t> WithValue(std::vector<int32_t> durations, size_t index, int32_t value) {
    durations[index] = value;
    return durations;
}

std::vector<HalfMatch> HalfMatches() {
    const std::vector<int32_t> nec = NecFrame(0xF708FB04, 32);
    const std::vector<int32_t> rc5 = Rc5Frame(true, true, 0x05, 0x35);
    const std::vector<int32_t> sharp = PairFrame(kSharpTiming, 0x29E1, 0x29E1 ^ 0x7FE0);
    return {
        {"Empty", {}},
        {"OnlyMarks", {kNecTiming.headerMarkUs, kNecTiming.bitMarkUs, kNecTiming.bitMarkUs}},
        {"NecCutAfter20Bits", Truncated(nec, 2 + 2 * 20)},
        {"NecWithoutStopMark", Truncated(nec, 2 + 2 * 32 - 1)},
        // A space halfway between a zero and a one.
        {"NecAmbiguousBit",
         WithValue(nec, 5, -(kNecTiming.zeroSpaceUs + kNecTiming.oneSpaceUs) / 2)},
        {"NecHeaderTooShort", WithValue(nec, 0, kNecTiming.headerMarkUs / 2)},
        {"NecGoingOnWith33Bits", NecFrame(0x1F708FB04, 33)},
        {"NecGapTooShort", WithValue(nec, nec.size() - 1, -kNecTiming.oneSpaceUs)},
        {"NecRepeatWithoutStopMark", Truncated(NecRepeat(), 2)},
        {"Samsung32CommandNotInverted", Samsung32Frame(0x12020707)},
        {"Samsung32AddressNotRepeated", Samsung32Frame(0xFD020807)},
        {"Rc5CutInTheMiddle", Truncated(rc5, rc5.size() / 2)},
        {"Rc5OneHalfBitMore", WithValue(rc5, rc5.size() - 1, -rc5::kHalfBitUs)},
        {"Rc5RunOfThreeHalfBits", WithValue(rc5, 1, -3 * rc5::kHalfBitUs)},
        {"Rc6Mode6", Rc6Frame(6, false, 0x0C, 0x21)},
        {"Sirc13Bits", SircFrame(0x1FFF, 13)},
        {"Sirc11Bits", SircFrame(0x7FF, 11)},
        {"KaseikyoParityWrong", KaseikyoFrame(0x5403D0802002)},
        {"KaseikyoVendorParityWrong", KaseikyoFrame(0x5203D0812002)},
        {"RcaNotInverted", RcaFrame(0xAB054E)},
        {"PioneerCommandNotInverted", PioneerFrame(0xE51BAA55)},
        {"JvcWith17Bits", JvcFrame(0x11703, true, kJvcTiming.bits + 1)},
        {"SharpEchoNotInverted", PairFrame(kSharpTiming, 0x29E1, 0x29E1)},
        {"SharpWithoutEcho", Truncated(sharp, 2 * kSharpTiming.frame.bits + 1)},
        {"SharpFrameBitsNeitherSharpNorDenon", PairFrame(kSharpTiming, 0x69E1, 0x69E1 ^ 0x7FE0)},
    };
}

class ProtocolHalfMatch : public ::testing::TestWithParam<HalfMatch> {};

TEST_P(ProtocolHalfMatch, IsUnknown) {
    const IrDecoded decoded = DecodeIrSignal(GetParam().durations, 0);
    EXPECT_EQ(decoded.protocol, nullptr) << decoded.protocol->name;
}

INSTANTIATE_TEST_SUITE_P(Frames, ProtocolHalfMatch, ::testing::ValuesIn(HalfMatches()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
