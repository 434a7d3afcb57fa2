// Reading LIRC remote files: each button, held down, as LIRC itself sends it.
#include "store/formats/LircdConf.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/ctl/SimRun.h"
#include "ir/IrFactory.h"
#include "ir/IrResult.h"
#include "ir/protocols/IrProtocol.h"
#include "platform/sim/SimHandheld.h"
#include "tests/support/TestSignals.h"

namespace {

const QString kFixtures = QStringLiteral(ARDEL_TEST_DATA "/fixtures/lircd/");

QByteArray Fixture(const QString& name) {
    QFile file(kFixtures + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

ImportResult ReadFixture(const QString& name) {
    const ImportResult result = ReadLircdConf(Fixture(name), name);
    EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    return result;
}

const ImportedButton* FindButton(const ImportResult& result, const QString& remote,
                                 const QString& button) {
    for (const ImportedRemote& r : result.remotes) {
        for (const ImportedButton& b : r.buttons) {
            if (r.name == remote && b.name == button) {
                return &b;
            }
        }
    }
    return nullptr;
}

// A waveform written from a protocol's definition: marks and spaces merge as the carrier
// sees them, and a pass ends with a space up to its period (or a plain gap).
class CWave {
  public:
    CWave& Mark(int32_t us) { return Add(us); }
    CWave& Space(int32_t us) { return Add(-us); }
    // Pulse-distance or pulse-width bits, most significant first.
    CWave& Bits(uint64_t value, int count, int32_t oneMark, int32_t oneSpace, int32_t zeroMark,
                int32_t zeroSpace) {
        for (int k = count - 1; k >= 0; --k) {
            const bool one = (value >> k) & 1;
            Mark(one ? oneMark : zeroMark).Space(one ? oneSpace : zeroSpace);
        }
        return *this;
    }
    // Bi-phase bits as LIRC writes them: a one is a space then a mark; `doubled` (a mask
    // over the bits) marks bits of double length.
    CWave& Biphase(uint64_t value, int count, int32_t halfUs, uint64_t doubled = 0) {
        for (int k = count - 1; k >= 0; --k) {
            const int32_t half = (doubled >> k) & 1 ? 2 * halfUs : halfUs;
            if ((value >> k) & 1) {
                Space(half).Mark(half);
            } else {
                Mark(half).Space(half);
            }
        }
        return *this;
    }
    // Ends a pass: the last space of the frame is dropped and a gap follows, such that the
    // pass lasts `periodUs` (minus `outsideUs`, which the period does not count).
    CWave& EndPeriod(int32_t periodUs, int32_t outsideUs = 0) {
        DropSpace();
        int32_t length = 0;
        for (size_t k = passStart_; k < d_.size(); ++k) {
            length += std::abs(d_[k]);
        }
        return EndGap(periodUs - (length - outsideUs));
    }
    CWave& EndGap(int32_t gapUs) {
        DropSpace();
        Space(gapUs);
        passStart_ = d_.size();
        return *this;
    }
    size_t Size() const { return d_.size(); }
    const std::vector<int32_t>& Durations() const { return d_; }

  private:
    CWave& Add(int32_t us) {
        if (d_.size() == passStart_ && us < 0) {
            return *this;  // silence before the first mark of a pass
        }
        if (d_.size() > passStart_ && (d_.back() < 0) == (us < 0)) {
            d_.back() += us;
        } else {
            d_.push_back(us);
        }
        return *this;
    }
    void DropSpace() {
        if (d_.size() > passStart_ && d_.back() < 0) {
            d_.pop_back();
        }
    }
    std::vector<int32_t> d_;
    size_t passStart_ = 0;
};

// Timing of the fixtures, as their files give it.
namespace nec {
constexpr int32_t kHeaderMark = 9000, kHeaderSpace = 4500, kBitMark = 560, kOneSpace = 1690,
                  kZeroSpace = 560, kRepeatSpace = 2250, kPeriod = 108000;
}
namespace sirc {
constexpr int32_t kHeaderMark = 2400, kUnit = 600, kPeriod = 45000;
}
namespace rc5 {
constexpr int32_t kHalf = 889, kPeriod = 113792;
}
namespace rc6 {
constexpr int32_t kHeaderMark = 2666, kHeaderSpace = 889, kHalf = 444, kPeriod = 106000;
}

TEST(LircdConfGolden, SpaceEncodedWithHeaderRepeatCodeAndConstantLength) {
    const ImportResult result = ReadFixture("nec.lircd.conf");
    const ImportedButton* power = FindButton(result, "TV_NEC", "KEY_POWER");
    ASSERT_NE(power, nullptr);
    ASSERT_EQ(power->irSignals.size(), 1u);
    EXPECT_TRUE(power->skipped.isEmpty());

    using namespace nec;
    CWave wave;
    wave.Mark(kHeaderMark).Space(kHeaderSpace);
    wave.Bits(0x20DF10EF, 32, kBitMark, kOneSpace, kBitMark, kZeroSpace).Mark(kBitMark);
    wave.EndPeriod(kPeriod);
    const size_t repeatStart = wave.Size();
    wave.Mark(kHeaderMark).Space(kRepeatSpace).Mark(kBitMark).EndPeriod(kPeriod);

    const IrSignal& signal = power->irSignals[0];
    EXPECT_EQ(Durations(signal), wave.Durations());
    EXPECT_EQ(signal.frameStart, repeatStart);
    EXPECT_EQ(signal.carrierPeriod, 26);
    EXPECT_EQ(power->line, 22);
    EXPECT_EQ(result.remotes[0].line, 3);
}

TEST(LircdConfGolden, PulseEncodedSendsMinRepeatFramesOnEachPress) {
    const ImportResult result = ReadFixture("sirc.lircd.conf");
    const ImportedButton* power = FindButton(result, "SONY_TV", "KEY_POWER");
    ASSERT_NE(power, nullptr);
    ASSERT_EQ(power->irSignals.size(), 1u);

    using namespace sirc;
    CWave wave;
    for (int pass = 0; pass < 3; ++pass) {  // the press and its two minimum repeats
        wave.Mark(kHeaderMark).Space(kUnit);
        wave.Bits(0xA90, 12, 2 * kUnit, kUnit, kUnit, kUnit).EndPeriod(kPeriod);
    }
    const IrSignal& signal = power->irSignals[0];
    EXPECT_EQ(Durations(signal), wave.Durations());
    EXPECT_EQ(signal.frameStart, wave.Size() / 3 * 2);  // held: the last frame again
    EXPECT_EQ(signal.carrierPeriod, 25);
}

TEST(LircdConfGolden, BiphaseToggleGivesOneSignalPerToggleValue) {
    const ImportResult result = ReadFixture("rc5.lircd.conf");
    const ImportedButton* one = FindButton(result, "RC5_TV", "KEY_1");
    ASSERT_NE(one, nullptr);
    ASSERT_EQ(one->irSignals.size(), 2u);

    // LIRC flips the toggle before every press, so its first press sends the toggle set.
    const uint64_t toggle = 0x800;
    for (size_t k = 0; k < 2; ++k) {
        CWave wave;
        wave.Mark(rc5::kHalf).Biphase(k == 0 ? 0x1175 | toggle : 0x1175, 13, rc5::kHalf);
        wave.EndPeriod(rc5::kPeriod);
        EXPECT_EQ(Durations(one->irSignals[k]), wave.Durations()) << "signal " << k + 1;
        EXPECT_EQ(one->irSignals[k].frameStart, 0);  // the whole frame repeats
        EXPECT_EQ(one->irSignals[k].carrierPeriod, 28);
    }
}

TEST(LircdConfGolden, Rc6ToggleBitIsOfDoubleLength) {
    const ImportResult result = ReadFixture("rc6.lircd.conf");
    const ImportedButton* power = FindButton(result, "RC6_TV", "KEY_POWER");
    ASSERT_NE(power, nullptr);
    ASSERT_EQ(power->irSignals.size(), 2u);
    const uint64_t toggle = uint64_t{1} << 16;  // of the 21 bits: pre data, then code
    for (size_t k = 0; k < 2; ++k) {
        const uint64_t bits = (uint64_t{0xF} << 16 | 0xFBF3) & ~toggle;
        CWave wave;
        wave.Mark(rc6::kHeaderMark).Space(rc6::kHeaderSpace);
        wave.Biphase(k == 0 ? bits | toggle : bits, 21, rc6::kHalf, toggle);
        wave.EndPeriod(rc6::kPeriod);
        EXPECT_EQ(Durations(power->irSignals[k]), wave.Durations()) << "signal " << k + 1;
    }
}

// RC-MM sends two bits at a time from the top, each pair as LIRC's zero, one, two or three;
// XMP four at a time, the zero space lengthened by the nibble's value times the one space.
TEST(LircdConfGolden, RcmmAndXmpSendTheirSymbolsFromTheTop) {
    struct Symbolled {
        const char* file;
        const char* remote;
        const char* button;
        std::vector<int32_t> durations;
    };
    constexpr int32_t kRcmmPulse = 167;
    constexpr int32_t kRcmmSpaces[] = {278, 444, 611, 778};  // pairs 0 to 3
    constexpr int32_t kXmpPulse = 210;
    constexpr int32_t kXmpZero = 760;
    constexpr int32_t kXmpStep = 136;
    const auto rcmm = [&](std::initializer_list<int> pairs) {
        std::vector<int32_t> d = {417, -278};
        for (int pair : pairs) {
            d.insert(d.end(), {kRcmmPulse, -kRcmmSpaces[pair]});
        }
        d.insert(d.end(), {kRcmmPulse, -27778});
        return d;
    };
    const auto xmp = [&](std::initializer_list<int> nibbles) {
        std::vector<int32_t> d;
        for (int nibble : nibbles) {
            d.insert(d.end(), {kXmpPulse, -(kXmpZero + nibble * kXmpStep)});
        }
        d.insert(d.end(), {kXmpPulse, -80000});
        return d;
    };
    const Symbolled cases[] = {
        // pre data 0x2A5C: pairs 0 2 2 2 1 1 3 0
        {"rcmm.lircd.conf", "RCMM_BOX", "KEY_POWER", rcmm({0, 2, 2, 2, 1, 1, 3, 0, 0, 1, 2, 3})},
        {"rcmm.lircd.conf", "RCMM_BOX", "KEY_MUTE", rcmm({0, 2, 2, 2, 1, 1, 3, 0, 3, 2, 1, 0})},
        {"xmp.lircd.conf", "XMP_BOX", "KEY_POWER", xmp({1, 0xD, 0, 3, 1, 0xF, 0, 5})},
        {"xmp.lircd.conf", "XMP_BOX", "KEY_OK", xmp({1, 0xD, 0, 3, 0, 0, 0, 0})},
    };
    for (const Symbolled& c : cases) {
        SCOPED_TRACE(c.button);
        const ImportResult result = ReadFixture(c.file);
        const ImportedButton* button = FindButton(result, c.remote, c.button);
        ASSERT_NE(button, nullptr);
        ASSERT_EQ(button->irSignals.size(), 1u) << button->skipped.toStdString();
        EXPECT_EQ(Durations(button->irSignals[0]), c.durations);
        EXPECT_EQ(button->irSignals[0].frameStart, 0);  // held: the frame again
    }
}

TEST(LircdConfGolden, RawCodesAreSentAsGivenWithTheGap) {
    const ImportResult result = ReadFixture("raw.lircd.conf");
    ASSERT_EQ(result.remotes.size(), 1u);
    const ImportedButton* power = FindButton(result, "RAW_AMP", "POWER");
    const ImportedButton* volume = FindButton(result, "RAW_AMP", "VOL+");
    ASSERT_TRUE(power && volume);
    EXPECT_EQ(Durations(power->irSignals.at(0)),
              (std::vector<int32_t>{3000, -1000, 500, -1500, 500, -500, 500, -40000}));
    EXPECT_EQ(Durations(volume->irSignals.at(0)),
              (std::vector<int32_t>{3000, -1000, 500, -500, 500, -1500, 500, -40000}));
    EXPECT_EQ(power->irSignals[0].frameStart, 0);
    EXPECT_EQ(power->irSignals[0].carrierPeriod, 28);
    EXPECT_EQ(power->line, 11);
}

TEST(LircdConfGolden, PreAndPostDataWithLeadTrailAndFoot) {
    const ImportResult result = ReadFixture("prepost.lircd.conf");
    const ImportedButton* a = FindButton(result, "PREPOST", "A");
    ASSERT_NE(a, nullptr);
    ASSERT_EQ(a->irSignals.size(), 1u);
    const auto frame = [](CWave& wave, bool first) {
        if (first) {
            wave.Mark(4000).Space(2000);  // header
        }
        wave.Mark(300);                                   // plead
        wave.Bits(0x2, 2, 300, 900, 300, 300);            // pre data
        wave.Mark(600).Space(1200);                       // pre
        wave.Bits(0x9, 4, 300, 900, 300, 300);            // code
        wave.Mark(700).Space(1400);                       // post
        wave.Bits(0x5, 3, 300, 900, 300, 300).Mark(300);  // post data, ptrail
        if (first) {
            wave.Space(2500).Mark(500);  // foot: its space first
        }
        wave.EndGap(30000);
    };
    CWave wave;
    frame(wave, true);
    const size_t repeatStart = wave.Size();
    frame(wave, false);
    EXPECT_EQ(Durations(a->irSignals[0]), wave.Durations());
    EXPECT_EQ(a->irSignals[0].frameStart, repeatStart);
}

TEST(LircdConfGolden, ConstLengthNoHeadRepAndRepeatHeaderWithRepeatGap) {
    const ImportResult result = ReadFixture("constlength.lircd.conf");
    ASSERT_EQ(result.remotes.size(), 2u);

    // The header of the first frame lies outside the constant 50 ms; repeats have none.
    const ImportedButton* up = FindButton(result, "CONST_ONE", "UP");
    ASSERT_NE(up, nullptr);
    CWave wave;
    wave.Mark(3000).Space(3000).Bits(0xA5, 8, 500, 1500, 500, 500).Mark(500);
    wave.EndPeriod(50000, 6000);
    const size_t repeatStart = wave.Size();
    wave.Bits(0xA5, 8, 500, 1500, 500, 500).Mark(500).EndPeriod(50000);
    EXPECT_EQ(Durations(up->irSignals.at(0)), wave.Durations());
    EXPECT_EQ(up->irSignals[0].frameStart, repeatStart);

    // The repeat code comes with the header and its own gap; min_repeat 1 puts one repeat
    // into every press, and that repeat is the frame that repeats while held.
    const ImportedButton* down = FindButton(result, "REPEAT_GAP", "DOWN");
    ASSERT_NE(down, nullptr);
    CWave held;
    held.Mark(3000).Space(3000).Bits(0x0F, 8, 500, 1500, 500, 500).Mark(500).EndGap(40000);
    const size_t heldRepeat = held.Size();
    held.Mark(3000).Space(3000).Mark(500).Space(2000).Mark(500).EndGap(20000);
    EXPECT_EQ(Durations(down->irSignals.at(0)), held.Durations());
    EXPECT_EQ(down->irSignals[0].frameStart, heldRepeat);
}

// A raw remote with a repeat code sends the repeat code while held. (LIRC's own transmitter
// sends the first lengths of the raw code instead, as many as the repeat code has: its
// buffer still points at the raw code.)
TEST(LircdConfGolden, RawRemoteWithRepeatCodeRepeatsTheRepeatCode) {
    const QByteArray content =
        "begin remote\n name RAWREP\n flags RAW_CODES\n repeat 9000 2250\n ptrail 560\n"
        " gap 40000\n begin raw_codes\n name K\n 9000 4500 560 560 560\n end raw_codes\n"
        "end remote\n";
    const ImportResult result = ReadLircdConf(content, "rawrep.conf");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    const IrSignal& signal = result.remotes.at(0).buttons.at(0).irSignals.at(0);
    EXPECT_EQ(Durations(signal), (std::vector<int32_t>{9000, -4500, 560, -560, 560, -40000, 9000,
                                                       -2250, 560, -40000}));
    EXPECT_EQ(signal.frameStart, 6);
}

// ---------------------------------------------------------------------------------------
// Variants of the same remote that LIRC reads as the same signals.

QByteArray Rc5Remote(const char* toggle, const char* flags, const char* code) {
    return QByteArray("begin remote\n name R\n bits 13\n flags ") + flags +
           "\n one 889 889\n zero 889 889\n plead 889\n gap 113792\n " + toggle +
           "\n frequency 36000\n begin codes\n K " + code + "\n end codes\nend remote\n";
}

TEST(LircdConfVariants, SpellingsOfTheSameRemoteGiveTheSameSignals) {
    const ImportResult reference = ReadFixture("rc5.lircd.conf");
    const ImportedButton* expected = FindButton(reference, "RC5_TV", "KEY_1");
    ASSERT_NE(expected, nullptr);
    struct Case {
        const char* what;
        QByteArray content;
    };
    const Case cases[] = {
        {"toggle_bit counted from the first bit", Rc5Remote("toggle_bit 2", "RC5", "0x1175")},
        {"the old flag name and a decimal code",
         Rc5Remote("toggle_bit_mask 0x800", "SHIFT_ENC|CONST_LENGTH", "4469")},
        {"an octal code", Rc5Remote("toggle_bit_mask 0x800", "RC5|CONST_LENGTH", "010565")},
        {"the code bits reversed",
         Rc5Remote("toggle_bit_mask 0x800", "RC5|REVERSE|CONST_LENGTH", "0x15D1")},
        {"a further code of the button",
         Rc5Remote("toggle_bit_mask 0x800", "rc5|const_length", "0x1175 0x1001")},
        {"the toggle set in the code",
         Rc5Remote("toggle_bit_mask 0x800", "RC5|CONST_LENGTH", "0x1975")},
    };
    for (const Case& c : cases) {
        const ImportResult result = ReadLircdConf(c.content, "variant.conf");
        ASSERT_TRUE(result.error.isEmpty()) << c.what << ": " << result.error.toStdString();
        const ImportedButton& button = result.remotes.at(0).buttons.at(0);
        ASSERT_EQ(button.irSignals.size(), 2u) << c.what;
        // Without CONST_LENGTH the gap is 113792 after the frame, not the period.
        const bool constLength =
            c.content.contains("onst_length") || c.content.contains("CONST_LENGTH");
        for (size_t k = 0; k < 2 && constLength; ++k) {
            EXPECT_EQ(Durations(button.irSignals[k]), Durations(expected->irSignals[k]))
                << c.what << ", signal " << k + 1;
        }
        if (!constLength) {
            std::vector<int32_t> frame = Durations(expected->irSignals[0]);
            std::vector<int32_t> got = Durations(button.irSignals[0]);
            ASSERT_EQ(got.size(), frame.size()) << c.what;
            EXPECT_TRUE(std::equal(frame.begin(), frame.end() - 1, got.begin())) << c.what;
            EXPECT_EQ(got.back(), -113792) << c.what;
        }
    }
}

// ---------------------------------------------------------------------------------------
// What is left out, and why.

struct SkipCase {
    const char* what;
    const char* remote;  // parameters and codes of a remote
    const char* reason;  // a part of the reason given
};

const SkipCase kSkipCases[] = {
    {"no timing (a receiver's table)",
     "bits 16\n one 0 0\n zero 0 0\n gap 100000\n begin codes\n K 0x1\n end codes", "no timing"},
    {"RC-MM without the timing of pairs 2 and 3",
     "bits 12\n flags RCMM\n one 166 444\n zero 166 277\n gap 28000\n begin codes\n K 0x1\n end "
     "codes",
     "RC-MM"},
    {"RC-MM with an odd number of bits",
     "bits 11\n flags RCMM\n one 166 444\n zero 166 277\n two 166 611\n three 166 777\n"
     " gap 28000\n begin codes\n K 0x1\n end codes",
     "11 bits"},
    {"XMP with bits that are no whole nibbles",
     "bits 30\n flags XMP\n one 0 136\n zero 210 760\n gap 80000\n begin codes\n K 0x1\n end "
     "codes",
     "30 bits"},
    {"GRUNDIG",
     "bits 8\n flags GRUNDIG\n one 500 500\n zero 500 500\n gap 80000\n begin codes\n K 0x1\n end "
     "codes",
     "GRUNDIG"},
    {"a raw code of more than 1024 durations",
     "gap 40000\n begin raw_codes\n name K\n" /* filled in by the test */, "at most 1024"},
    {"min_repeat beyond what a signal holds",
     "bits 32\n header 9000 4500\n one 560 1690\n zero 560 560\n ptrail 560\n gap 40000\n"
     " min_repeat 20\n begin codes\n K 0x1\n end codes",
     "repeats"},
    {"a frame longer than the constant length",
     "bits 8\n flags CONST_LENGTH\n one 5000 5000\n zero 5000 5000\n gap 40000\n begin codes\n K "
     "0xFF\n end codes",
     "constant length"},
    {"a raw length of 0", "gap 40000\n begin raw_codes\n name K\n 100 0 100\n end raw_codes",
     "length of 0"},
    {"no gap", "bits 8\n one 500 1500\n zero 500 500\n begin codes\n K 0x1\n end codes", "no gap"},
    {"more than 64 bits",
     "bits 60\n pre_data_bits 8\n one 500 1500\n zero 500 500\n gap 40000\n begin codes\n K 0x1\n "
     "end codes",
     "64 bits"},
    {"bit counts whose sum is beyond an int",
     "bits 2147483647\n pre_data_bits 2147483647\n one 500 1500\n zero 500 500\n gap 40000\n"
     " begin codes\n K 0x1\n end codes",
     "64 bits"},
    {"a toggle bit outside the code",
     "bits 8\n toggle_bit 9\n one 500 1500\n zero 500 500\n gap 40000\n begin codes\n K 0x1\n end "
     "codes",
     "toggle_bit"},
};

class LircdConfSkips : public ::testing::TestWithParam<SkipCase> {};

TEST_P(LircdConfSkips, ButtonIsReportedNotStoredHalf) {
    const SkipCase& c = GetParam();
    QByteArray remote = c.remote;
    if (remote.endsWith("name K\n")) {
        for (int k = 0; k < 520; ++k) {
            remote += " 500 500";
        }
        remote += " 500\n end raw_codes";
    }
    // A good button in a second remote of the same file is still imported.
    const QByteArray content =
        "begin remote\n name BAD\n" + remote +
        "\nend remote\nbegin remote\n name GOOD\n gap 40000\n"
        " begin raw_codes\n name K\n 500 500 500\n end raw_codes\nend remote\n";
    const ImportResult result = ReadLircdConf(content, "skip.conf");
    ASSERT_TRUE(result.error.isEmpty()) << c.what << ": " << result.error.toStdString();
    ASSERT_EQ(result.remotes.size(), 2u);
    const ImportedButton& bad = result.remotes[0].buttons.at(0);
    EXPECT_TRUE(bad.irSignals.empty()) << c.what;
    EXPECT_TRUE(bad.skipped.contains(c.reason)) << c.what << ": " << bad.skipped.toStdString();
    EXPECT_EQ(result.remotes[1].buttons.at(0).irSignals.size(), 1u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, LircdConfSkips, ::testing::ValuesIn(kSkipCases));

TEST(LircdConf, SecondDefinitionOfANameIsSkippedAndIncludesAreNoted) {
    const QByteArray content =
        "include \"other.conf\"\nbegin remote\n name R\n gap 40000\n begin raw_codes\n"
        " name K\n 100 200 300\n name K\n 400 500 600\n end raw_codes\nend remote\n";
    const ImportResult result = ReadLircdConf(content, "dup.conf");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    const std::vector<ImportedButton>& buttons = result.remotes.at(0).buttons;
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].irSignals.at(0).durations[0], 100);
    EXPECT_TRUE(buttons[1].irSignals.empty());
    EXPECT_TRUE(buttons[1].skipped.contains("again"));
    ASSERT_EQ(result.notes.size(), 1u);
    EXPECT_TRUE(result.notes[0].contains("dup.conf, line 1")) << result.notes[0].toStdString();
}

// ---------------------------------------------------------------------------------------
// Files that cannot be read as a whole.

struct BadCase {
    const char* what;
    QByteArray content;
    int line;  // 0: no line is named
    const char* message;
};

const BadCase kBadCases[] = {
    {"empty", "", 0, "no remote"},
    {"only comments", "# nothing\n\n", 0, "no remote"},
    {"only an include", "include \"a.conf\"\n", 0, "include"},
    {"truncated remote", "begin remote\n name R\n bits 8\n", 1, "not ended"},
    {"truncated codes", "begin remote\n name R\n begin codes\n K 0x1\n", 3, "not ended"},
    {"codes ended by end remote", "begin remote\n name R\n begin codes\n K 0x1\nend remote\n", 5,
     "end of the codes"},
    {"a number that is not one", "begin remote\n name R\n bits 8x\nend remote\n", 3, "\"8x\""},
    {"a code that is not hexadecimal without 0x",
     "begin remote\n name R\n begin codes\n K 10EF\n end codes\nend remote\n", 4, "\"10EF\""},
    {"a number too large", "begin remote\n name R\n gap 99999999999\nend remote\n", 3,
     "99999999999"},
    {"binary garbage", QByteArray("begin remote\n name R\n\x01\x02\x00\xff", 23), 3, "binary"},
    {"an even raw count",
     "begin remote\n name R\n begin raw_codes\n name K\n 100 200\n end raw_codes\nend remote\n", 4,
     "must end with a pulse"},
    {"an even raw count before the next name",
     "begin remote\n name R\n begin raw_codes\n name K\n 100 200\n name L\n 1\n end raw_codes\n"
     "end remote\n",
     4, "must end with a pulse"},
    {"a raw length not a number",
     "begin remote\n name R\n begin raw_codes\n name K\n 100 -200 300\n end raw_codes\nend "
     "remote\n",
     5, "\"-200\""},
    {"lengths before a name",
     "begin remote\n name R\n begin raw_codes\n 100\n end raw_codes\nend remote\n", 4,
     "before the first"},
    {"a header without its space", "begin remote\n name R\n header 9000\nend remote\n", 3,
     "pulse and a space"},
    {"an unknown parameter", "begin remote\n name R\n colour 3\nend remote\n", 3, "colour"},
    {"an unknown flag", "begin remote\n name R\n flags SPACE_ENC|FAST\nend remote\n", 3, "FAST"},
    {"two encodings", "begin remote\n name R\n flags SPACE_ENC|RC5\nend remote\n", 3,
     "more than one encoding"},
    {"a remote without a name", "begin remote\n bits 8\nend remote\n", 1, "no name"},
    {"end remote alone", "end remote\n", 1, "without"},
    {"a remote inside a remote", "begin remote\n name R\nbegin remote\n", 3, "inside"},
    {"codes twice",
     "begin remote\n name R\n begin codes\n end codes\n begin codes\n end codes\nend remote\n", 5,
     "already"},
    {"text outside a remote", "hello world\n", 1, "outside"},
};

class LircdConfBadFiles : public ::testing::TestWithParam<BadCase> {};

TEST_P(LircdConfBadFiles, NameTheFileAndTheLineAndImportNothing) {
    const BadCase& c = GetParam();
    const ImportResult result = ReadLircdConf(c.content, "bad.conf");
    EXPECT_TRUE(result.remotes.empty()) << c.what;
    EXPECT_TRUE(result.error.startsWith("bad.conf"))
        << c.what << ": " << result.error.toStdString();
    if (c.line > 0) {
        EXPECT_TRUE(result.error.contains(QStringLiteral("line %1:").arg(c.line)))
            << c.what << ": " << result.error.toStdString();
    }
    EXPECT_TRUE(result.error.contains(c.message)) << c.what << ": " << result.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, LircdConfBadFiles, ::testing::ValuesIn(kBadCases));

// 50 MB files: neither a crash nor a long wait, and no memory beyond the file's.
TEST(LircdConfLarge, FiftyMegabytesAreReadQuickly) {
    constexpr int kBytes = 50 << 20;
    struct Case {
        const char* what;
        QByteArray head, body, tail;
        bool readable;
    };
    const Case cases[] = {
        {"one raw code of millions of lengths",
         "begin remote\n name R\n gap 40000\n begin raw_codes\n name K\n", "500 500 ",
         "500\n end raw_codes\nend remote\n", true},
        {"millions of buttons", "begin remote\n name R\n bits 8\n begin codes\n", "K 0x1\n",
         " end codes\nend remote\n", false},
        {"one line of words", "", "word ", "\n", false},
    };
    for (const Case& c : cases) {
        QByteArray content = c.head;
        content.reserve(kBytes + 100);
        while (content.size() < kBytes) {
            content += c.body;
        }
        content += c.tail;
        const auto start = std::chrono::steady_clock::now();
        const ImportResult result = ReadLircdConf(content, "large.conf");
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_LT(seconds, 20.0) << c.what;
        std::cout << c.what << ": " << seconds << " s\n";
        if (c.readable) {
            ASSERT_TRUE(result.error.isEmpty()) << c.what << ": " << result.error.toStdString();
            const ImportedButton& button = result.remotes.at(0).buttons.at(0);
            EXPECT_TRUE(button.irSignals.empty()) << c.what;
            EXPECT_FALSE(button.skipped.isEmpty()) << c.what;
        } else {
            EXPECT_FALSE(result.error.isEmpty()) << c.what;
        }
    }
}

// ---------------------------------------------------------------------------------------
// Imported buttons sent on the simulated handheld: the protocol decoders name what the file
// describes, and LIRC (where installed) decodes it as the button of the file.

struct SendCase {
    const char* file;
    const char* remote;
    const char* button;
    const char* protocol;
    uint32_t address;
    uint32_t command;
};

const SendCase kSendCases[] = {
    {"nec.lircd.conf", "TV_NEC", "KEY_POWER", "NEC", 0x04, 0x08},
    {"rc5.lircd.conf", "RC5_TV", "KEY_1", "RC5", 0x05, 0x35},
    {"rc6.lircd.conf", "RC6_TV", "KEY_POWER", "RC6", 0x04, 0x0C},
    {"sirc.lircd.conf", "SONY_TV", "KEY_POWER", "SIRC", 0x01, 0x15},
};

// The LIRC program of that name, or empty.
QString LircTool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

// Runs a LIRC simulation tool in a folder of its own (it writes its output and log there).
QString RunLircTool(const QString& tool, const QStringList& arguments, const QString& folder) {
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CACHE_HOME", folder);
    environment.insert("HOME", folder);
    process.setProcessEnvironment(environment);
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

class LircdConfSend : public ::testing::TestWithParam<SendCase> {};

TEST_P(LircdConfSend, ImportedButtonSentOnTheHandheldDecodesAsTheFileSays) {
    const SendCase& c = GetParam();
    const ImportResult result = ReadFixture(c.file);
    const ImportedButton* button = FindButton(result, c.remote, c.button);
    ASSERT_NE(button, nullptr);
    const IrProtocol* protocol = FindIrProtocol(c.protocol);
    ASSERT_NE(protocol, nullptr);

    std::vector<uint8_t> toggles;
    for (const IrSignal& imported : button->irSignals) {
        SimHandheld handheld(*FindSimProfile("pxa255"));
        std::unique_ptr<CIrDriver> driver(CreateIrDriver(handheld.Profile().family, handheld));
        ASSERT_NE(driver, nullptr);
        driver->SetPortName(SimIrPortName(handheld.Profile()));
        ASSERT_EQ(driver->LoadSignal(imported.durations, imported.count, imported.frameStart,
                                     imported.carrierPeriod),
                  kIrOk);
        ASSERT_EQ(driver->Send(CIrDriver::kRepeatWhileHeld), kIrOk);
        driver->ClosePort();
        const Demodulated sent = handheld.Air().Demodulate();
        ASSERT_FALSE(sent.durations.empty());

        const IrDecoded decoded = DecodeIrSignal(sent.durations, sent.carrierPeriodUs);
        ASSERT_EQ(decoded.protocol, protocol)
            << c.file << ": " << (decoded.protocol ? decoded.protocol->name : "unknown");
        EXPECT_EQ(decoded.frame.code.address, c.address) << c.file;
        EXPECT_EQ(decoded.frame.code.command, c.command) << c.file;
        toggles.push_back(decoded.frame.code.toggle);

        const QString receive = LircTool("irsimreceive");
        if (receive.isEmpty()) {
            continue;
        }
        // LIRC's own decoder, on what the handheld sent after some silence.
        QTemporaryDir folder;
        ASSERT_TRUE(folder.isValid());
        QFile data(folder.filePath("sent.txt"));
        ASSERT_TRUE(data.open(QIODevice::WriteOnly));
        data.write("space 200000\n");
        for (int32_t d : sent.durations) {
            data.write(QStringLiteral("%1 %2\n")
                           .arg(d > 0 ? "pulse" : "space")
                           .arg(std::abs(d))
                           .toLatin1());
        }
        data.write("space 200000\n");
        data.close();
        const QString decodedByLirc =
            RunLircTool(receive, {kFixtures + c.file, data.fileName()}, folder.path());
        EXPECT_TRUE(decodedByLirc.contains(QStringLiteral(" %1 %2").arg(c.button, c.remote)))
            << c.file << ": LIRC decoded \"" << decodedByLirc.toStdString() << "\"";
    }
    // Toggle protocols: the two signals differ in the toggle alone.
    if (protocol->hasToggle) {
        ASSERT_EQ(toggles.size(), 2u);
        EXPECT_NE(toggles[0], toggles[1]);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LircdConfSend, ::testing::ValuesIn(kSendCases));

// ---------------------------------------------------------------------------------------
// LIRC's own transmitter as an independent oracle (where installed): what it writes for
// each button, press after press with the button held for four transmissions, is what the
// imported signals send.

// Cuts a stream of durations into transmissions: each ends with a space of 10 ms or more.
std::vector<std::vector<int32_t>> Transmissions(const std::vector<int32_t>& durations) {
    std::vector<std::vector<int32_t>> result(1);
    for (int32_t d : durations) {
        result.back().push_back(d);
        if (d <= -10000) {
            result.emplace_back();
        }
    }
    if (result.back().empty()) {
        result.pop_back();
    }
    return result;
}

// The imported signal held down for `count` transmissions.
std::vector<std::vector<int32_t>> Held(const IrSignal& signal, size_t count) {
    std::vector<int32_t> stream = Durations(signal);
    for (size_t pass = 0; Transmissions(stream).size() < count; ++pass) {
        if (pass == 2 * count) {
            return {};  // frames that no gap of 10 ms tells apart
        }
        stream.insert(stream.end(), signal.durations + signal.frameStart,
                      signal.durations + signal.count);
    }
    std::vector<std::vector<int32_t>> result = Transmissions(stream);
    result.resize(count);
    return result;
}

// The block of the remote of that name, cut out of its file (irsimsend sends from the first
// remote of a file).
QByteArray RemoteBlock(const QByteArray& content, const QString& name) {
    QByteArray block;
    bool inside = false, mine = false;
    for (const QByteArray& line : content.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() >= 2 && words[0].toLower() == "begin" && words[1].toLower() == "remote") {
            inside = true;
            mine = false;
            block.clear();
        }
        if (inside) {
            block += line + '\n';
            if (words.size() >= 2 && words[0].toLower() == "name" && words[1] == name.toUtf8() &&
                !line.trimmed().startsWith('#')) {
                mine = true;
            }
        }
        if (words.size() >= 2 && words[0].toLower() == "end" && words[1].toLower() == "remote") {
            inside = false;
            if (mine) {
                return block;
            }
        }
    }
    return {};
}

// LIRC's transmitter on the remote's buttons, each pressed as often as it has signals and
// held for `held` transmissions; false if a button differs from what LIRC sends.
::testing::AssertionResult SendsAsLirc(const QString& tool, const QByteArray& content,
                                       const ImportedRemote& remote, size_t held) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        return ::testing::AssertionFailure() << "no temporary folder";
    }
    QFile single(folder.filePath("remote.conf"));
    QFile list(folder.filePath("keys"));
    if (!single.open(QIODevice::WriteOnly) || !list.open(QIODevice::WriteOnly)) {
        return ::testing::AssertionFailure() << "cannot write into the temporary folder";
    }
    single.write(RemoteBlock(content, remote.name));
    single.close();
    std::vector<std::vector<int32_t>> ours;
    for (const ImportedButton& button : remote.buttons) {
        for (const IrSignal& signal : button.irSignals) {
            list.write(button.name.toUtf8() + '\n');
            const auto transmissions = Held(signal, held);
            if (transmissions.empty()) {
                return ::testing::AssertionFailure() << "frames without a gap of 10 ms";
            }
            ours.insert(ours.end(), transmissions.begin(), transmissions.end());
        }
    }
    list.close();
    RunLircTool(tool, {"-c", QString::number(held), "-l", list.fileName(), single.fileName()},
                folder.path());
    QFile out(folder.filePath("simsend.out"));
    if (!out.open(QIODevice::ReadOnly)) {
        return ::testing::AssertionFailure() << "LIRC sent nothing";
    }
    std::vector<int32_t> lirc;
    for (const QByteArray& line : out.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() == 2) {
            lirc.push_back(words[0] == "pulse" ? words[1].toInt() : -words[1].toInt());
        }
    }
    const std::vector<std::vector<int32_t>> theirs = Transmissions(lirc);
    if (theirs.size() != ours.size()) {
        return ::testing::AssertionFailure()
               << theirs.size() << " transmissions from LIRC, " << ours.size() << " imported";
    }
    for (size_t k = 0; k < ours.size(); ++k) {
        if (ours[k] != theirs[k]) {
            return ::testing::AssertionFailure() << "transmission " << k << " differs";
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(LircdConfOracle, LircSendsWhatTheImportedSignalsSend) {
    const QString send = LircTool("irsimsend");
    if (send.isEmpty()) {
        GTEST_SKIP() << "LIRC's irsimsend is not installed";
    }
    const QStringList files = QDir(kFixtures).entryList({"*.conf"}, QDir::Files);
    ASSERT_GE(files.size(), 7);
    for (const QString& file : files) {
        const ImportResult result = ReadFixture(file);
        for (const ImportedRemote& remote : result.remotes) {
            EXPECT_TRUE(SendsAsLirc(send, Fixture(file), remote, 4))
                << file.toStdString() << ": " << remote.name.toStdString();
        }
    }
}

// LIRC's remote database (Debian's lirc-compat-remotes), where installed: every imported
// button of every remote whose transmission LIRC and this reader agree to make.
TEST(LircdConfOracle, RemoteDatabaseSendsAsLirc) {
    const QString send = LircTool("irsimsend");
    const QString database = QStringLiteral("/usr/share/lirc/remotes");
    if (send.isEmpty() || !QDir(database).exists()) {
        GTEST_SKIP() << "LIRC's irsimsend or its remote database is not installed";
    }
    int remotes = 0;
    int apart = 0;  // not compared
    QDirIterator files(database, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        const ImportResult result = ReadLircdConf(content, path);
        for (const ImportedRemote& remote : result.remotes) {
            const bool any =
                std::any_of(remote.buttons.begin(), remote.buttons.end(),
                            [](const ImportedButton& b) { return b.skipped.isEmpty(); });
            if (!any) {
                continue;
            }
            // LIRC writes the halves of bits with a pulse or space of 0 (a remote sending
            // like a serial line) as separate entries, one after the other, which its
            // drivers then take as pulses and spaces in turn; the import joins them, as the
            // carrier does. And frames without a gap of 10 ms cannot be told apart here.
            const QByteArray block = RemoteBlock(content, remote.name);
            static const QRegularExpression zeroPart(
                "\\n\\s*(one|zero)\\s+(0+\\s+[1-9]|[1-9][0-9]*\\s+0+\\s)");
            if (zeroPart.match(QString::fromUtf8(block)).hasMatch()) {
                ++apart;
                continue;
            }
            ++remotes;
            const ::testing::AssertionResult same = SendsAsLirc(send, content, remote, 3);
            if (!same && QString::fromStdString(same.message()).contains("10 ms")) {
                std::cout << "not compared: " << path.toStdString() << ": "
                          << remote.name.toStdString() << ": " << same.message() << "\n";
                ++apart;
                continue;
            }
            EXPECT_TRUE(same) << path.toStdString() << ": " << remote.name.toStdString();
        }
    }
    EXPECT_GT(remotes, 0);
    std::cout << remotes << " remotes compared with LIRC, " << apart << " not\n";
}

}  // namespace
