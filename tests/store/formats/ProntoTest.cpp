#include "store/formats/Pronto.h"

#include <gtest/gtest.h>

#include <cmath>

#include "ir/protocols/IrProtocol.h"
#include "tests/store/formats/FormatTestSupport.h"

namespace {

// A Pronto duration: cycles of the carrier whose period the frequency word gives.
int32_t Us(int cycles, int frequencyWord) {
    return static_cast<int32_t>(std::lround(cycles * frequencyWord * kProntoUnitUs));
}

TEST(ReadPronto, NamedLearnedCodes) {
    const ImportResult result = ReadPronto(Fixture("codes.pronto"), "codes.pronto");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    ASSERT_EQ(result.remotes.size(), 1u);
    ASSERT_EQ(result.remotes[0].buttons.size(), 3u);

    // Two intro pairs, then one repeating pair: the frame starts after the intro.
    constexpr int kWord = 0x6D;
    const ImportedButton* power = ButtonNamed(result, "Power");
    ASSERT_TRUE(power && power->irSignals.size() == 1);
    EXPECT_EQ(power->line, 2);
    EXPECT_EQ(Durations(power->irSignals[0]),
              (std::vector<int32_t>{Us(0x156, kWord), -Us(0xAB, kWord), Us(0x15, kWord),
                                    -Us(0x41, kWord), Us(0x156, kWord), -Us(0x56, kWord),
                                    Us(0x15, kWord), -Us(0xE4F, kWord)}));
    EXPECT_EQ(power->irSignals[0].frameStart, 4);
    EXPECT_EQ(power->irSignals[0].carrierPeriod, std::lround(kWord * kProntoUnitUs));

    // No intro: the repeat alone, repeating from the start.
    const ImportedButton* mute = ButtonNamed(result, "Mute");
    ASSERT_TRUE(mute && mute->irSignals.size() == 1);
    EXPECT_EQ(mute->irSignals[0].frameStart, 0);
    EXPECT_EQ(mute->irSignals[0].count, 6);
    EXPECT_EQ(mute->irSignals[0].carrierPeriod, 28);  // word 0x73: 36 kHz

    // No repeat: the intro is all there is, and all of it repeats.
    const ImportedButton* intro = ButtonNamed(result, "Intro only");
    ASSERT_TRUE(intro && intro->irSignals.size() == 1);
    EXPECT_EQ(intro->irSignals[0].frameStart, 0);
    EXPECT_EQ(intro->irSignals[0].count, 2);
}

// Unnamed codes may run over lines and share them; an unmodulated code gets 38 kHz when no
// protocol knows better.
TEST(ReadPronto, CodesRunOverLines) {
    const ImportResult result = ReadPronto(Fixture("stream.pronto"), "stream.pronto");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    ASSERT_EQ(result.remotes.size(), 1u);
    const auto& buttons = result.remotes[0].buttons;
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].name, "Code 1");
    EXPECT_EQ(buttons[0].line, 1);
    ASSERT_EQ(buttons[0].irSignals.size(), 1u);
    EXPECT_EQ(buttons[0].irSignals[0].frameStart, 2);
    EXPECT_EQ(buttons[1].name, "Code 2");
    EXPECT_EQ(buttons[1].line, 2);
    ASSERT_EQ(buttons[1].irSignals.size(), 1u);
    EXPECT_EQ(Durations(buttons[1].irSignals[0]),
              (std::vector<int32_t>{Us(0x64, 0x18), -Us(0xC00, 0x18)}));
    EXPECT_EQ(buttons[1].irSignals[0].carrierPeriod, CarrierPeriodUs(38000));
}

TEST(ReadPronto, OtherCodeTypesAreSkippedWithTheReason) {
    const ImportResult result = ReadPronto(
        "RC5: 5000 0073 0000 0001 0001 000C\nPower: 0000 006D 0000 0001 0010 0400\n", "mixed.txt");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    const ImportedButton* rc5 = ButtonNamed(result, "RC5");
    ASSERT_TRUE(rc5);
    EXPECT_TRUE(rc5->irSignals.empty());
    EXPECT_NE(rc5->skipped.indexOf("5000"), -1) << rc5->skipped.toStdString();
    EXPECT_EQ(ButtonNamed(result, "Power")->irSignals.size(), 1u);
}

TEST(ProntoCode, WritesIntroAndFrame) {
    // 26 µs carrier: frequency word 108 (0x6C), and every duration a whole number of cycles.
    const double unitUs = 0x6C * kProntoUnitUs;
    auto us = [unitUs](int cycles) { return static_cast<int32_t>(std::lround(cycles * unitUs)); };
    const IrSignal signal = SignalFrom(
        {us(0x156), -us(0xAB), us(0x15), -us(0x600), us(0x156), -us(0x56), us(0x15), -us(0xE4F)}, 4,
        26);
    EXPECT_EQ(ProntoCode(signal).toStdString(),
              "0000 006C 0002 0002 0156 00AB 0015 0600 0156 0056 0015 0E4F");
}

}  // namespace
