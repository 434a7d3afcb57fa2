#include "store/formats/RemoteFormats.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>

#include "ir/protocols/IrProtocol.h"
#include "store/formats/Broadlink.h"
#include "store/formats/SignalForm.h"
#include "tests/store/formats/FormatTestSupport.h"

namespace {

struct GuessCase {
    const char* name;
    QByteArray content;
    RemoteFormat format;
};

class GuessRemoteFormatCase : public ::testing::TestWithParam<GuessCase> {};

TEST_P(GuessRemoteFormatCase, FromTheContent) {
    EXPECT_EQ(GuessRemoteFormat(GetParam().content), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GuessRemoteFormatCase,
    ::testing::Values(
        GuessCase{"Flipper", "Filetype: IR signals file\nVersion: 1\n", RemoteFormat::Flipper},
        GuessCase{"Lircd", "# made by hand\n\nbegin remote\n  name x\n", RemoteFormat::Lircd},
        GuessCase{"ProntoNamed", "# codes\nPower: 0000 006D 0000 0001 0010 0400\n",
                  RemoteFormat::Pronto},
        GuessCase{"ProntoBare", "0000 006D 0000 0001 0010 0400", RemoteFormat::Pronto},
        GuessCase{"BroadlinkBase64", "Power: JgAKAAABEokRMxEADQUAAA==\n", RemoteFormat::Broadlink},
        GuessCase{"BroadlinkHex", "260205001122110D05\n", RemoteFormat::Broadlink},
        GuessCase{"Prose", "Dear diary,\nno codes today.\n", RemoteFormat::Guess},
        GuessCase{"Binary", QByteArray("\x26\x00\x0a\x00\x00", 5), RemoteFormat::Guess}),
    [](const auto& info) { return std::string(info.param.name); });

struct BadInput {
    const char* name;
    RemoteFormat format;
    QByteArray content;
    const char* message;  // the error holds it; it names file and line
};

class BadInputIsRefused : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputIsRefused, WithFileAndLine) {
    const BadInput& c = GetParam();
    const ImportResult result = ReadRemoteFile(c.content, "bad.txt", c.format);
    EXPECT_TRUE(result.remotes.empty());
    EXPECT_NE(result.error.indexOf(QString::fromUtf8(c.message)), -1) << result.error.toStdString();
}

QByteArray Base64(std::initializer_list<uint8_t> bytes) {
    return QByteArray(reinterpret_cast<const char*>(std::data(bytes)), qsizetype(bytes.size()))
        .toBase64();
}

const QByteArray kFlipperHead = "Filetype: IR signals file\nVersion: 1\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, BadInputIsRefused,
    ::testing::Values(
        BadInput{"Empty", RemoteFormat::Guess, "", "bad.txt: line 1: the file is empty"},
        BadInput{"Blank", RemoteFormat::Pronto, "\n  \n\t\n", "bad.txt: line 1: the file is empty"},
        BadInput{"BinaryGarbage", RemoteFormat::Guess, QByteArray("abc\n\x01\x00\xff\xfe", 8),
                 "bad.txt: line 2: binary data"},
        BadInput{"BinaryAsPronto", RemoteFormat::Pronto, QByteArray("0000\n\x00\x01", 7),
                 "bad.txt: line 2: binary data"},
        BadInput{"NotUtf8", RemoteFormat::Flipper, "Filetype: IR signals file\n\xff\xfe\n",
                 "bad.txt: line 2: not UTF-8"},
        BadInput{"Prose", RemoteFormat::Guess, "Dear diary,\n",
                 "bad.txt: line 1: not a file of IR"},
        BadInput{"ProntoTruncated", RemoteFormat::Pronto, "0000 006D 0002 0001 0156",
                 "bad.txt: line 1: the code ends after 5 of the 10 words"},
        BadInput{"ProntoHeaderCut", RemoteFormat::Pronto, "0000 006D",
                 "bad.txt: line 1: the code ends after 2 words"},
        BadInput{
            "ProntoTooManyWords", RemoteFormat::Pronto,
            "# codes\nPower: 0000 006D 0001 0000 0156 00AB 0015\n",
            "bad.txt: line 2: words left over after the code that its pair counts call for: 1"},
        BadInput{"ProntoWrongPairCountRunsIntoNextCode", RemoteFormat::Pronto,
                 "0000 006D 0000 0001 0010 0400 0015\n0000 006D 0000 0001 0010 0400\n",
                 "bad.txt: line 1: the code ends after"},
        BadInput{"ProntoBadWord", RemoteFormat::Pronto, "Power: 0000 006D 00G2 0001\n",
                 "bad.txt: line 1: '00G2' is not a word"},
        BadInput{"ProntoZeroFrequency", RemoteFormat::Pronto, "0000 0000 0000 0001 0010 0400",
                 "bad.txt: line 1: the frequency word is 0000"},
        BadInput{"ProntoNoPairs", RemoteFormat::Pronto, "0000 006D 0000 0000",
                 "bad.txt: line 1: the code has no burst pairs"},
        BadInput{"FlipperNoHeader", RemoteFormat::Flipper, "name: Power\n",
                 "bad.txt: line 1: not an IR signals file"},
        BadInput{"FlipperVersion", RemoteFormat::Flipper, "Filetype: IR signals file\nVersion: 2\n",
                 "bad.txt: line 2: only version 1"},
        BadInput{"FlipperHeaderOnly", RemoteFormat::Flipper, kFlipperHead,
                 "bad.txt: line 3: no buttons"},
        BadInput{
            "FlipperTruncated", RemoteFormat::Flipper,
            kFlipperHead + "#\nname: Power\ntype: parsed\nprotocol: NEC\naddress: 04 00 00 00\n",
            "bad.txt: line 4: 'Power' has no command"},
        BadInput{"FlipperBadData", RemoteFormat::Flipper,
                 kFlipperHead + "name: A\ntype: raw\nfrequency: 38000\ndata: 900 -450\n",
                 "bad.txt: line 6: '-450' is not a duration"},
        BadInput{"FlipperBadAddress", RemoteFormat::Flipper,
                 kFlipperHead + "name: A\ntype: parsed\nprotocol: NEC\naddress: 4 0 0 0 0\n"
                                "command: 08\n",
                 "bad.txt: line 6: the address is not up to four"},
        BadInput{"FlipperUnknownType", RemoteFormat::Flipper,
                 kFlipperHead + "name: A\ntype: wave\n", "bad.txt: line 4: unknown type 'wave'"},
        BadInput{"FlipperNotKeyValue", RemoteFormat::Flipper, kFlipperHead + "name: A\njunk\n",
                 "bad.txt: line 4: not a 'key: value' line"},
        BadInput{"BroadlinkTruncated", RemoteFormat::Broadlink,
                 "Power: " + Base64({0x26, 0x00, 0x10, 0x00, 0x11, 0x22}),
                 "bad.txt: line 1: truncated: the packet says 16 bytes of data, 2 follow"},
        BadInput{"BroadlinkLongValueCut", RemoteFormat::Broadlink,
                 Base64({0x26, 0x00, 0x03, 0x00, 0x11, 0x00, 0x05}), "bad.txt: line 1: truncated"},
        BadInput{"BroadlinkHeaderCut", RemoteFormat::Broadlink, "# x\n" + Base64({0x26, 0x00}),
                 "bad.txt: line 2: the packet ends within its 4-byte header"},
        BadInput{"BroadlinkNotInfrared", RemoteFormat::Broadlink,
                 Base64({0x27, 0x00, 0x01, 0x00, 0x11}),
                 "bad.txt: line 1: not a Broadlink infrared"},
        BadInput{"BroadlinkNotBase64", RemoteFormat::Broadlink, "Power: Jg!!AA\n",
                 "bad.txt: line 1: not a Broadlink code"},
        BadInput{"TooLarge", RemoteFormat::Guess, QByteArray(kMaxRemoteFileBytes + 1, '0'),
                 "bad.txt: 16777217 bytes, more than the 16 MB"}),
    [](const auto& info) { return std::string(info.param.name); });

// A raw frame of `count` durations (even): two blocks of pulse-distance bits after a
// 3500/1750 header, 30 ms apart, and the pause after the frame.
std::vector<int32_t> AirConditionerState(size_t count) {
    std::vector<int32_t> durations;
    for (uint32_t k = 0; durations.size() < count; ++k) {
        if (durations.size() == 0 || durations.size() == count / 2) {
            durations.insert(durations.end(), {3500, -1750});
        } else if (durations.size() + 2 == count / 2) {
            durations.insert(durations.end(), {430, -30000});
        } else {
            durations.insert(durations.end(), {430, (k * 7 + k / 5) % 3 ? -1290 : -430});
        }
    }
    durations.back() = -40000;
    return durations;
}

// Signals as codebases hold them, each a different case for the writers.
std::vector<ExportButton> Buttons() {
    IrEncoded nec;
    EncodeIrSignal(*FindIrProtocol("NEC"), IrCode{0x04, 0x08, 0}, nec);
    IrEncoded rc5;
    EncodeIrSignal(*FindIrProtocol("RC5"), IrCode{0x05, 0x10, 1}, rc5);
    return {
        {"Power", SignalFrom(nec.durations, nec.frameStart, nec.carrierPeriodUs)},
        {"Vol+", SignalFrom(rc5.durations, rc5.frameStart, rc5.carrierPeriodUs)},
        // Raw: a frame that starts with a space, and one that ends on a mark.
        {"Fast Rewind", SignalFrom({3000, -1000, 500, -1500, 500, -25000, 700, -700, 700}, 5, 25)},
        {"1", SignalFrom({2400, -600, 1200, -600, 600, -600, 1200}, 0, 26)},
        // An air conditioner's state: 700 durations in two blocks, 30 ms apart.
        {"Cool", SignalFrom(AirConditionerState(700), 0, 26)},
    };
}

// Every duration within `tolerance` microseconds.
void ExpectClose(const std::vector<int32_t>& actual, const std::vector<int32_t>& expected,
                 int tolerance, const std::string& what) {
    ASSERT_EQ(actual.size(), expected.size()) << what;
    for (size_t i = 0; i < actual.size(); ++i) {
        EXPECT_LE(std::abs(actual[i] - expected[i]), tolerance) << what << " at " << i;
    }
}

// What is sent while the button is held: the first pass and two more frames.
std::vector<int32_t> Held(const IrSignal& signal) {
    std::vector<int32_t> sent = FirstPass(signal);
    const std::vector<int32_t> frame(sent.begin() + signal.frameStart, sent.end());
    for (int i = 0; i < 2; ++i) {
        for (int32_t d : frame) {
            if ((sent.back() < 0) == (d < 0)) {
                sent.back() += d;
            } else {
                sent.push_back(d);
            }
        }
    }
    sent.pop_back();  // the last pause, which a frame turned round moves
    return sent;
}

// Writes the test buttons in `format`, reads the file back with the format guessed, and
// hands each button with the one signal read back for it to `check`.
void RoundTrip(RemoteFormat format, const QString& fileName,
               const std::function<void(const ExportButton&, const IrSignal&)>& check) {
    const std::vector<ExportButton> buttons = Buttons();
    const QByteArray file = WriteRemoteFile(format, "TV_Test", buttons);
    ASSERT_EQ(GuessRemoteFormat(file), format);
    const ImportResult back = ReadRemoteFile(file, fileName, RemoteFormat::Guess);
    ASSERT_TRUE(back.error.isEmpty()) << back.error.toStdString();
    for (const ExportButton& button : buttons) {
        SCOPED_TRACE(button.name.toStdString());
        const ImportedButton* read = ButtonNamed(back, button.name);
        ASSERT_TRUE(read && read->irSignals.size() == 1);
        check(button, read->irSignals[0]);
    }
}

TEST(RoundTrip, ProntoKeepsFrameAndCarrierWithinACycle) {
    RoundTrip(RemoteFormat::Pronto, "export.txt",
              [](const ExportButton& button, const IrSignal& signal) {
                  EXPECT_EQ(signal.carrierPeriod, button.signal.carrierPeriod);
                  // Pronto counts whole carrier cycles.
                  ExpectClose(Held(signal), Held(button.signal),
                              button.signal.carrierPeriod / 2 + 1, button.name.toStdString());
              });
}

TEST(RoundTrip, BroadlinkKeepsTheFirstPassWithinAUnit) {
    RoundTrip(RemoteFormat::Broadlink, "export.txt",
              [](const ExportButton& button, const IrSignal& signal) {
                  ExpectClose(Durations(signal), FirstPass(button.signal),
                              int(kBroadlinkUnitUs / 2) + 1, button.name.toStdString());
              });
}

TEST(RoundTrip, FlipperKeepsCodesAndRawSignals) {
    RoundTrip(RemoteFormat::Flipper, "export.ir",
              [](const ExportButton& button, const IrSignal& signal) {
                  const IrDecoded was =
                      DecodeIrSignal(Durations(button.signal), button.signal.carrierPeriod);
                  if (was.protocol) {
                      const IrDecoded is = DecodeIrSignal(Durations(signal), signal.carrierPeriod);
                      EXPECT_EQ(is.protocol, was.protocol);
                      EXPECT_EQ(is.frame.code.address, was.frame.code.address);
                      EXPECT_EQ(is.frame.code.command, was.frame.code.command);
                  } else {
                      EXPECT_EQ(Durations(signal), FirstPass(button.signal));
                      EXPECT_EQ(signal.carrierPeriod, button.signal.carrierPeriod);
                  }
              });
}

}  // namespace
