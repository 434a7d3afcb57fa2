// The confirmation after a learn says what was learnt: the button, the code its signal sends
// where a protocol names it, the carrier in kHz, and for double mode whether the two signals
// differ.
#include "model/ResultText.h"

#include <gtest/gtest.h>

#include <QStringList>

#include "ir/protocols/IrProtocol.h"
#include "tests/support/TestSignals.h"

namespace {

IrSignal Coded(const char* protocol, uint32_t address, uint32_t command, uint8_t carrierUs) {
    IrEncoded encoded;
    IrCode code;
    code.address = address;
    code.command = command;
    EXPECT_EQ(EncodeIrSignal(*FindIrProtocol(protocol), code, encoded), kIrCodeOk);
    return MakeIrSignal(encoded.durations, encoded.frameStart, carrierUs);
}

struct LearntCase {
    const char* name;
    const char* button;
    std::vector<IrSignal> learnt;
    bool byCode;
    std::vector<QString> lines;  // expected lines, in order, each a part of its line
};

void PrintTo(const LearntCase& c, std::ostream* os) {
    *os << c.name;
}

class LearntTextTest : public testing::TestWithParam<LearntCase> {};

TEST_P(LearntTextTest, SaysWhatWasLearnt) {
    const LearntCase& c = GetParam();
    LearnOutcome outcome;
    outcome.button = c.button;
    outcome.learnt = c.learnt;
    outcome.byCode = c.byCode;
    for (const IrSignal& signal : c.learnt) {
        outcome.reports.push_back(ReportOf(signal, false));
    }
    const QStringList lines = LearntText(outcome).split('\n');
    ASSERT_EQ(lines.size(), static_cast<qsizetype>(c.lines.size()))
        << LearntText(outcome).toStdString();
    for (size_t k = 0; k < c.lines.size(); ++k) {
        EXPECT_TRUE(lines[static_cast<qsizetype>(k)].contains(c.lines[k]))
            << lines[static_cast<qsizetype>(k)].toStdString() << " lacks "
            << c.lines[k].toStdString();
    }
}

const LearntCase kLearntCases[] = {
    {"Recognised",
     "Vol+",
     {Coded("SIRC", 0x1, 0x12, 25)},
     false,
     {"Vol+: SIRC 0x1/0x12", "carrier 40 kHz."}},
    {"Raw",
     "Mute",
     {SignalFrom({2400, -600, 1200, -600, 600, -25000}, 0, 26)},
     false,
     {"Mute: no protocol recognised", "carrier 38 kHz."}},
    {"GivenByCode",
     "Power",
     {Coded("NEC", 0x4, 0x8, 26)},
     true,
     {"Power: the code NEC 0x4/0x8", "Learnt: "}},
    {"DoubleDiffers",
     "Ch+",
     {Coded("NEC", 0x4, 0x8, 26), Coded("NEC", 0x4, 0x9, 26)},
     false,
     {"Ch+: NEC 0x4/0x8", "Signal 1: ", "Signal 2: NEC 0x4/0x9, ", "The two signals differ."}},
    {"DoubleSame",
     "Ch+",
     {Coded("NEC", 0x4, 0x8, 26), Coded("NEC", 0x4, 0x8, 26)},
     false,
     {"Ch+: NEC 0x4/0x8", "Signal 1: ", "Signal 2: ", "The two signals are the same"}},
    {"DoubleRawSame",
     "A",
     {SignalFrom({2400, -600, 1200, -600, 600, -25000}),
      SignalFrom({2410, -590, 1190, -610, 600, -25000})},
     false,
     {"A: no protocol recognised", "Signal 1: ", "Signal 2: ", "are the same"}},
};

INSTANTIATE_TEST_SUITE_P(Outcomes, LearntTextTest, testing::ValuesIn(kLearntCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
