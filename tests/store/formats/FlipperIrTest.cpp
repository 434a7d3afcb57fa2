#include "store/formats/FlipperIr.h"

#include <gtest/gtest.h>

#include "ir/protocols/IrProtocol.h"
#include "ir/protocols/Protocols.h"
#include "store/formats/SignalForm.h"
#include "tests/ir/protocols/HandFrames.h"
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

// An RC5 frame of the extended range written out from the bi-phase definition: start bit,
// field bit cleared, toggle 0, five address bits and the six bits of the RC5X command, a one
// carrier off then on; the frame repeats whole every frame period.
std::vector<int32_t> Rc5xFrame(uint32_t address, uint32_t command) {
    using namespace rc5;
    const uint32_t bits = 1u << 13 | 0u << 12 | 0u << 11 | address << 6 | command;
    CHandFrame frame;
    frame.Biphase(bits, 14, kHalfBitUs, false);
    int32_t passUs = 0;
    for (int32_t us : frame.Durations()) {
        passUs += us > 0 ? us : -us;
    }
    return frame.Space(kFramePeriodUs - passUs).Durations();
}

TEST(ReadFlipperIr, Rc5xCommandsAreTheExtendedRange) {
    const ImportResult result = ReadFlipperIr(Fixture("rc5x.ir"), "rc5x.ir");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    const struct {
        const char* button;
        uint32_t address;
        uint32_t command;
    } expected[] = {{"Teletext", 0x00, 0x19}, {"Sound", 0x1F, 0x3F}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.button);
        const ImportedButton* button = ButtonNamed(result, e.button);
        ASSERT_TRUE(button && button->irSignals.size() == 1);
        const IrSignal& signal = button->irSignals[0];
        EXPECT_EQ(Durations(signal), Rc5xFrame(e.address, e.command));
        EXPECT_EQ(signal.frameStart, 0);
        EXPECT_EQ(signal.carrierPeriod, CarrierPeriodUs(rc5::kCarrierHz));
    }
    // A seventh command bit has no place in an RC5X code.
    const ImportedButton* wide = ButtonNamed(result, "Wide");
    ASSERT_TRUE(wide);
    EXPECT_TRUE(wide->irSignals.empty());
    EXPECT_EQ(wide->line, 17);
    EXPECT_NE(wide->skipped.indexOf("command 0x59"), -1) << wide->skipped.toStdString();
}

TEST(WriteFlipperIr, Rc5xIsWrittenAsTheFileNumbersIt) {
    const ExportButton buttons[] = {{"Teletext", SignalFrom(Rc5xFrame(0x00, 0x19), 0, 28)}};
    EXPECT_EQ(WriteFlipperIr(buttons).toStdString(),
              "Filetype: IR signals file\nVersion: 1\n"
              "#\nname: Teletext\ntype: parsed\nprotocol: RC5X\naddress: 00 00 00 00\n"
              "command: 19 00 00 00\n");
}

// A Pioneer remote recorded at the recorder's default 38 kHz: the carrier was not measured,
// so the frame's header names it, and it keeps Pioneer's carrier.
TEST(ReadFlipperIr, RawAtTheDefaultFrequencyIsNamedByItsTiming) {
    IrEncoded pioneer;
    ASSERT_EQ(EncodeIrSignal(*FindIrProtocol("Pioneer"), IrCode{0x55, 0x1A, 0}, pioneer),
              kIrCodeOk);
    QByteArray data;
    for (size_t k = 0; k + 1 < pioneer.durations.size(); ++k) {
        data += (k ? " " : "") + QByteArray::number(std::abs(pioneer.durations[k]));
    }
    const ImportResult result = ReadFlipperIr(
        "Filetype: IR signals file\nVersion: 1\n#\nname: Power\ntype: raw\nfrequency: "
        "38000\nduty_cycle: 0.33\ndata: " +
            data + "\n",
        "pioneer.ir");
    const ImportedButton* power = ButtonNamed(result, "Power");
    ASSERT_TRUE(power && power->irSignals.size() == 1);
    const IrSignal& signal = power->irSignals[0];
    EXPECT_EQ(signal.carrierPeriod, CarrierPeriodUs(kPioneerTiming.carrierHz));
    const IrDecoded decoded = DecodeIrSignal(
        std::span<const int32_t>(signal.durations, signal.count), signal.carrierPeriod);
    ASSERT_NE(decoded.protocol, nullptr);
    EXPECT_STREQ(decoded.protocol->name, "Pioneer");
}

// Protocols the Flipper has no name for are written raw, so that the file loads there.
TEST(WriteFlipperIr, ParsedOnlyForTheFlippersOwnProtocols) {
    const struct {
        const char* protocol;
        bool parsed;
    } cases[] = {{"NEC", true},  {"RC5X", true},   {"Pioneer", true}, {"RCA", true},
                 {"JVC", false}, {"Sharp", false}, {"Denon", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.protocol);
        IrEncoded encoded;
        ASSERT_EQ(EncodeIrSignal(*FindIrProtocol(c.protocol), IrCode{0x01, 0x02, 0}, encoded),
                  kIrCodeOk);
        const ExportButton buttons[] = {
            {"Key", SignalFrom(encoded.durations, encoded.frameStart, encoded.carrierPeriodUs)}};
        const std::string file = WriteFlipperIr(buttons).toStdString();
        EXPECT_EQ(file.find("type: parsed\nprotocol: " + std::string(c.protocol) + "\n") !=
                      std::string::npos,
                  c.parsed)
            << file;
        EXPECT_EQ(file.find("type: raw\n") != std::string::npos, !c.parsed) << file;
    }
}

// Air conditioners' raw signals of 200 to 1024 durations are kept whole; one longer than a
// signal holds is skipped with the reason, never cut.
TEST(ReadFlipperIr, LongRawSignalsAreKeptWhole) {
    const QByteArray file = Fixture("ac.ir");
    const ImportResult result = ReadFlipperIr(file, "ac.ir");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    // Every raw signal of the file, with its line's durations.
    int raw = 0;
    const ImportedButton* current = nullptr;
    for (const QByteArray& line : file.split('\n')) {
        if (line.startsWith("name: ")) {
            const QString name = QString::fromLatin1(line.mid(6));
            current = ButtonNamed(result, name);
            ASSERT_TRUE(current) << name.toStdString();
            if (name == "TooLong") {
                EXPECT_TRUE(current->irSignals.empty());
                EXPECT_NE(current->skipped.indexOf("1024"), -1) << current->skipped.toStdString();
                current = nullptr;
            }
        } else if (line.startsWith("data: ") && current) {
            SCOPED_TRACE(current->name.toStdString());
            ASSERT_EQ(current->irSignals.size(), 1u);
            ++raw;
            const QList<QByteArray> values = line.mid(6).split(' ');
            const IrSignal& signal = current->irSignals[0];
            // An odd count ends on a mark and gets the pause after it.
            ASSERT_EQ(signal.count, values.size() + values.size() % 2);
            for (qsizetype k = 0; k < values.size(); ++k) {
                EXPECT_EQ(std::abs(signal.durations[k]), values[k].toInt()) << k;
            }
        }
    }
    EXPECT_EQ(raw, 3);
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
