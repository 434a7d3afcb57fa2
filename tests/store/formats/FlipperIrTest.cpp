#include "store/formats/FlipperIr.h"

#include <gtest/gtest.h>

#include "ir/protocols/IrProtocol.h"
#include "store/formats/SignalForm.h"
#include "tests/store/formats/FormatTestSupport.h"

namespace {

TEST(ReadFlipperIr, ParsedAndRawButtons) {
    const ImportResult result = ReadFlipperIr(Fixture("tv.ir"), "tv.ir");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    ASSERT_EQ(result.remotes.size(), 1u);
    ASSERT_EQ(result.remotes[0].buttons.size(), 4u);

    // Parsed: what the protocol's encoder makes of the code.
    const ImportedButton* power = ButtonNamed(result, "Power");
    ASSERT_TRUE(power && power->irSignals.size() == 1);
    EXPECT_EQ(power->line, 5);
    IrEncoded nec;
    ASSERT_EQ(EncodeIrSignal(*FindIrProtocol("NEC"), IrCode{0x04, 0x08, 0}, nec), kIrCodeOk);
    EXPECT_EQ(Durations(power->irSignals[0]), nec.durations);
    EXPECT_EQ(power->irSignals[0].frameStart, nec.frameStart);
    EXPECT_EQ(power->irSignals[0].carrierPeriod, nec.carrierPeriodUs);

    // Raw: the lengths as marks and spaces at the file's carrier, with a gap after the last
    // mark.
    const ImportedButton* volUp = ButtonNamed(result, "Vol_up");
    ASSERT_TRUE(volUp && volUp->irSignals.size() == 1);
    EXPECT_EQ(Durations(volUp->irSignals[0]),
              (std::vector<int32_t>{2400, -600, 1200, -600, 600, -600, 1200, -kTrailingGapUs}));
    EXPECT_EQ(volUp->irSignals[0].carrierPeriod, 28);  // 36 kHz
    EXPECT_EQ(volUp->irSignals[0].frameStart, 0);

    const ImportedButton* mystery = ButtonNamed(result, "Mystery");
    ASSERT_TRUE(mystery);
    EXPECT_TRUE(mystery->irSignals.empty());
    EXPECT_NE(mystery->skipped.indexOf("unknown protocol 'Foo'"), -1);

    const ImportedButton* tooFar = ButtonNamed(result, "Too far");
    ASSERT_TRUE(tooFar);
    EXPECT_TRUE(tooFar->irSignals.empty());
    EXPECT_NE(tooFar->skipped.indexOf("address 0x100"), -1) << tooFar->skipped.toStdString();
}

TEST(ReadFlipperIr, LongRawSignalIsSkippedNotCut) {
    QByteArray data;
    for (int i = 0; i < 201; ++i) {
        data += i ? " 500" : "500";
    }
    const ImportResult result = ReadFlipperIr(
        "Filetype: IR signals file\nVersion: 1\n#\nname: AC\ntype: raw\nfrequency: 38000\n"
        "duty_cycle: 0.33\ndata: " +
            data + "\n",
        "ac.ir");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    const ImportedButton* ac = ButtonNamed(result, "AC");
    ASSERT_TRUE(ac);
    EXPECT_TRUE(ac->irSignals.empty());
    EXPECT_NE(ac->skipped.indexOf("150"), -1) << ac->skipped.toStdString();
}

TEST(WriteFlipperIr, ParsedWhereAProtocolFitsElseRaw) {
    IrEncoded nec;
    ASSERT_EQ(EncodeIrSignal(*FindIrProtocol("NEC"), IrCode{0x04, 0x08, 0}, nec), kIrCodeOk);
    const IrSignal necSignal = SignalFrom(nec.durations, nec.frameStart, nec.carrierPeriodUs);
    const ExportButton buttons[] = {{"Power", necSignal},
                                    {"Odd one", SignalFrom({2400, -600, 1200, -30000}, 0, 26)}};
    EXPECT_EQ(WriteFlipperIr(buttons).toStdString(),
              "Filetype: IR signals file\nVersion: 1\n"
              "#\nname: Power\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\n"
              "command: 08 00 00 00\n"
              "#\nname: Odd one\ntype: raw\nfrequency: 38462\nduty_cycle: 0.330000\n"
              "data: 2400 600 1200 30000\n");
}

}  // namespace
