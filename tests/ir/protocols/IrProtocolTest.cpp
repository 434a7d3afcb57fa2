// The registry, the range checks, and encode -> decode round trips of every protocol over
// the edges of its address and command ranges, sent as encoded and as learnt.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ir/IrSignal.h"
#include "ir/protocols/IrProtocol.h"
#include "tests/ir/protocols/HandFrames.h"

namespace {

std::set<std::string> Names() {
    std::set<std::string> names;
    for (const IrProtocol* protocol : IrProtocols()) {
        names.insert(protocol->name);
    }
    return names;
}

TEST(IrProtocols, NamesAsTheIrFilesSpellThem) {
    EXPECT_EQ(Names(),
              (std::set<std::string>{"NEC", "NECext", "NEC42", "NEC42ext", "Samsung32", "RC5",
                                     "RC5X", "RC6", "SIRC", "SIRC15", "SIRC20", "Kaseikyo", "RCA",
                                     "Pioneer", "JVC", "Sharp", "Denon"}));
}

TEST(IrProtocols, FoundByNameIgnoringCase) {
    ASSERT_NE(FindIrProtocol("necEXT"), nullptr);
    EXPECT_STREQ(FindIrProtocol("necEXT")->name, "NECext");
    EXPECT_STREQ(FindIrProtocol("rc5x")->name, "RC5X");
    EXPECT_EQ(FindIrProtocol("NEC4"), nullptr);
    EXPECT_EQ(FindIrProtocol(""), nullptr);
}

TEST(IrProtocols, CarrierPeriodIsRoundedToWholeMicroseconds) {
    EXPECT_EQ(CarrierPeriodUs(38000), 26);
    EXPECT_EQ(CarrierPeriodUs(36000), 28);
    EXPECT_EQ(CarrierPeriodUs(40000), 25);
    EXPECT_EQ(CarrierPeriodUs(37000), 27);
    EXPECT_EQ(CarrierPeriodUs(0), 0);
}

TEST(IrProtocols, NominalCarriersAndToggles) {
    const struct {
        const char* name;
        uint32_t carrierHz;
        bool toggle;
    } expected[] = {{"RC5", 36000, true},       {"RC5X", 36000, true},
                    {"RC6", 36000, true},       {"SIRC", 40000, false},
                    {"NEC", 38000, false},      {"Samsung32", 38000, false},
                    {"Kaseikyo", 37000, false}, {"Pioneer", 40000, false}};
    for (const auto& entry : expected) {
        const IrProtocol* protocol = FindIrProtocol(entry.name);
        ASSERT_NE(protocol, nullptr);
        EXPECT_EQ(protocol->carrierHz, entry.carrierHz) << entry.name;
        EXPECT_EQ(protocol->hasToggle, entry.toggle) << entry.name;
    }
}

TEST(IrProtocols, OutOfRangeCodesAreRefusedAndLeaveTheSignal) {
    const IrProtocol& rc5 = *FindIrProtocol("RC5");
    const IrProtocol& nec = *FindIrProtocol("NEC");
    IrEncoded signal;
    signal.durations = {1, -2};
    signal.frameStart = 1;
    EXPECT_EQ(EncodeIrSignal(rc5, {0x20, 0, 0}, signal), kIrCodeAddressOutOfRange);
    EXPECT_EQ(EncodeIrSignal(rc5, {0, 0x40, 0}, signal), kIrCodeCommandOutOfRange);
    EXPECT_EQ(EncodeIrSignal(rc5, {0, 0, 2}, signal), kIrCodeToggleOutOfRange);
    EXPECT_EQ(EncodeIrSignal(nec, {0, 0, 1}, signal), kIrCodeToggleOutOfRange);
    EXPECT_EQ(EncodeIrSignal(nec, {0x100, 0, 0}, signal), kIrCodeAddressOutOfRange);
    EXPECT_EQ(signal.durations, (std::vector<int32_t>{1, -2}));
    EXPECT_EQ(signal.frameStart, 1);
    EXPECT_EQ(CheckIrCode(rc5, {0x1F, 0x3F, 1}), kIrCodeOk);
}

std::vector<IrCode> EdgeCodes(const IrProtocol& protocol) {
    std::vector<IrCode> codes;
    const uint32_t addresses[] = {0, 1, protocol.addressMax / 2, protocol.addressMax};
    const uint32_t commands[] = {0, 1, protocol.commandMax / 2 + 1, protocol.commandMax};
    for (uint32_t address : addresses) {
        for (uint32_t command : commands) {
            for (uint8_t toggle = 0; toggle <= (protocol.hasToggle ? 1 : 0); ++toggle) {
                codes.push_back({address, command, toggle});
            }
        }
    }
    return codes;
}

class ProtocolRoundTrip : public ::testing::TestWithParam<const IrProtocol*> {};

TEST_P(ProtocolRoundTrip, EncodedHeldButtonDecodesBack) {
    const IrProtocol& protocol = *GetParam();
    for (const IrCode& code : EdgeCodes(protocol)) {
        SCOPED_TRACE(::testing::Message() << "address " << code.address << " command "
                                          << code.command << " toggle " << int(code.toggle));
        IrEncoded signal;
        ASSERT_EQ(EncodeIrSignal(protocol, code, signal), kIrCodeOk);
        const std::vector<int32_t>& durations = signal.durations;
        ASSERT_LE(durations.size(), size_t{kMaxDurations});
        EXPECT_EQ(signal.carrierPeriodUs, CarrierPeriodUs(protocol.carrierHz));
        EXPECT_LT(signal.frameStart, durations.size());
        EXPECT_GT(durations.front(), 0);
        // Every pass ends with a gap, so that passes sent one after another stay apart.
        EXPECT_LT(durations.back(), 0);
        if (signal.frameStart > 0) {
            EXPECT_LT(durations[signal.frameStart - 1], 0);
        }

        const int32_t periodUs = signal.carrierPeriodUs;
        for (int32_t stretchUs : {0, periodUs}) {
            SCOPED_TRACE(::testing::Message() << "marks stretched by " << stretchUs);
            const std::vector<int32_t> sent = Stretched(durations, stretchUs);
            const IrDecoded first = DecodeIrSignal(sent, stretchUs ? periodUs : 0);
            ASSERT_NE(first.protocol, nullptr);
            EXPECT_STREQ(first.protocol->name, protocol.name);
            EXPECT_EQ(first.frame.code.address, code.address);
            EXPECT_EQ(first.frame.code.command, code.command);
            EXPECT_EQ(first.frame.code.toggle, code.toggle);
            EXPECT_FALSE(first.frame.repeat);

            // What a held button sends after the first frame: the repeat form, or the same
            // frame again, ending where the signal ends.
            const IrDecoded again =
                DecodeIrFrame(sent, signal.frameStart ? signal.frameStart : first.next, 0);
            if (signal.frameStart == 0) {
                EXPECT_EQ(first.next, sent.size());
                continue;
            }
            ASSERT_NE(again.protocol, nullptr);
            EXPECT_EQ(again.next, sent.size());
            EXPECT_TRUE(again.frame.repeat);
            if (!again.frame.bareRepeat) {
                EXPECT_EQ(again.frame.code.address, code.address);
                EXPECT_EQ(again.frame.code.command, code.command);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, ProtocolRoundTrip, ::testing::ValuesIn(IrProtocols()),
                         [](const auto& info) { return std::string(info.param->name); });

TEST(IrProtocols, OtherToggleOfAToggleProtocol) {
    for (const char* name : {"RC5", "RC5X", "RC6"}) {
        const IrProtocol& protocol = *FindIrProtocol(name);
        const IrCode code{0x05, 0x7F & protocol.commandMax, 1};
        IrEncoded learnt;
        ASSERT_EQ(EncodeIrSignal(protocol, code, learnt), kIrCodeOk);
        IrEncoded other;
        ASSERT_TRUE(EncodeOtherToggle(learnt.durations, learnt.carrierPeriodUs, other)) << name;
        const IrDecoded decoded = DecodeIrSignal(other.durations, 0);
        ASSERT_EQ(decoded.protocol, &protocol);
        EXPECT_EQ(decoded.frame.code.toggle, 0);
        EXPECT_EQ(decoded.frame.code.address, code.address);
        EXPECT_EQ(decoded.frame.code.command, code.command);
    }
}

TEST(IrProtocols, NoOtherToggleWithoutAToggleProtocol) {
    IrEncoded nec;
    ASSERT_EQ(EncodeIrSignal(*FindIrProtocol("NEC"), {1, 2, 0}, nec), kIrCodeOk);
    IrEncoded other;
    EXPECT_FALSE(EncodeOtherToggle(nec.durations, 0, other));
    EXPECT_FALSE(EncodeOtherToggle(std::vector<int32_t>{500, -500}, 0, other));
    EXPECT_TRUE(other.durations.empty());
}

}  // namespace
