#include "model/LearnCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <vector>

#include "ir/IrFactory.h"
#include "ir/IrResult.h"
#include "model/CRemoteModel.h"
#include "model/ResultText.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/sim/SimHandheld.h"
#include "tests/ir/LongSignals.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSignals.h"

namespace {

constexpr uint8_t kCarrierUs = 26;  // 38 kHz

// What the receiver heard of one pass, entry by entry, against what was learnt.
struct CompareCase {
    const char* name;
    std::vector<int32_t> heard;
    CheckOutcome outcome;
    int entry;  // the first entry that differs, or -1
};

// The pause at its end goes out as silence: the receiver hears the entries before it.
const IrSignal kLearnt = SignalFrom({9000, -4500, 560, -1690, 560, -560, 560, -40000});

class CompareLearntTest : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareLearntTest, ComparesEntryByEntry) {
    const LearnCheck check = CompareLearnt(kLearnt, GetParam().heard);
    EXPECT_EQ(check.outcome, GetParam().outcome);
    EXPECT_EQ(check.entry, GetParam().entry);
    EXPECT_EQ(check.storedCount, 7);
    if (check.entry >= 0) {
        EXPECT_EQ(check.expectedUs, kLearnt.durations[check.entry]);
        EXPECT_EQ(check.gotUs, GetParam().heard[static_cast<size_t>(check.entry)]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CompareLearntTest,
    testing::Values(
        CompareCase{"Same", {9000, -4500, 560, -1690, 560, -560, 560}, CheckOutcome::Yes, -1},
        // The receiver times a mark from its first pulse to its last: a carrier period short,
        // the space after it as much longer.
        CompareCase{
            "MarksAPeriodShort", {8974, -4526, 534, -1716, 534, -586, 534}, CheckOutcome::Yes, -1},
        CompareCase{
            "StretchedMark", {9000, -4500, 700, -1550, 560, -560, 560}, CheckOutcome::No, 2},
        CompareCase{"LongSpace", {9000, -4600, 560, -1690, 560, -560, 560}, CheckOutcome::No, 1},
        CompareCase{"DroppedPair", {9000, -4500, 560, -560, 560}, CheckOutcome::No, 3},
        CompareCase{"ExtraPair",
                    {9000, -4500, 560, -1690, 560, -560, 560, -560, 560},
                    CheckOutcome::No,
                    -1},
        CompareCase{"LastMarkLost", {9000, -4500, 560, -1690, 560, -560}, CheckOutcome::No, -1},
        CompareCase{"Nothing", {}, CheckOutcome::No, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CompareLearnt, ASignalEndingOnAMarkIsHeardWhole) {
    const IrSignal learnt = SignalFrom({2400, -600, 1200, -600, 600});
    const std::vector<int32_t> whole = {2400, -600, 1200, -600, 600};
    EXPECT_EQ(CompareLearnt(learnt, whole).outcome, CheckOutcome::Yes);
    EXPECT_EQ(CompareLearnt(learnt, std::span(whole).first(3)).outcome, CheckOutcome::No);
}

TEST(CheckDifference, SaysWhatDiffered) {
    const std::vector<int32_t> stretched = {9000, -4500, 880, -1690, 560, -560, 560};
    LearnCheck check = CompareLearnt(kLearnt, stretched);
    EXPECT_EQ(CheckDifference(check), "entry 3: 560 µs learnt, 880 µs came back");
    const std::vector<int32_t> shorter = {9000, -4500, 560, -1690, 560};
    check = CompareLearnt(kLearnt, shorter);
    EXPECT_EQ(CheckDifference(check), "7 entries sent, 5 came back");
    check.captureResult = kIrNoSignal;
    EXPECT_EQ(CheckDifference(check), "nothing came back");
    EXPECT_EQ(CheckDifference(CompareLearnt(kLearnt, std::span(kLearnt.durations, 7))), "");
}

// The report: frame found or not, and a full buffer that is a cut only without a frame.
TEST(ReportOf, FrameAndCut) {
    struct Case {
        const char* name;
        uint8_t count, frameStart;
        bool bufferFull, frameFound, cut;
    };
    const Case cases[] = {
        {"FrameFound", 72, 68, false, true, false},
        {"NoFrame", 76, 76, false, false, false},
        {"FullButFrameFound", 40, 4, true, true, false},
        {"Cut", 149, 149, true, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IrSignal signal;
        signal.count = c.count;
        signal.frameStart = c.frameStart;
        signal.carrierPeriod = kCarrierUs;
        const LearnReport report = ReportOf(signal, c.bufferFull);
        EXPECT_EQ(report.entries, c.count);
        EXPECT_EQ(report.frameFound, c.frameFound);
        EXPECT_EQ(report.cut, c.cut);
        EXPECT_EQ(report.carrierUs, kCarrierUs);
    }
}

// The check through a simulated handheld: its emitter into its own receiver.
class LearnCheckOnHandheld : public testing::Test {
  protected:
    LearnCheckOnHandheld() {
        model_.SetIrPort("COM3:");
        model_.ownReceiver.listen = [this] { handheld_.ListenToOwnEmitter(); };
        model_.ownReceiver.hear = [this] { return hear_(); };
    }

    RemoteServices Services() {
        RemoteServices services;
        services.fs = &fs_;
        services.driver = [this] { return drivers_.GetIrDriver(); };
        return services;
    }

    // Learns the held NEC-style button of the fixture from the remote, storing nothing: the
    // learnt signal is checked as it was learnt.
    LearnOutcome LearnNec() {
        RemoteWaveform wave;
        std::ifstream in(std::string(ARDEL_TEST_DATA) + "/../ir/fixtures/nec-held.txt");
        std::string line;
        while (std::getline(in, line)) {
            line = line.substr(0, line.find('#'));
            std::replace(line.begin(), line.end(), ',', ' ');
            std::istringstream values(line);
            int32_t value = 0;
            while (values >> value) {
                wave.durations.push_back(value);
            }
        }
        return Learn(wave);
    }
    LearnOutcome Learn(const RemoteWaveform& wave) {
        model_.beforeCapture = [this, wave](const QString&, int) {
            ++presses_;
            handheld_.Air().Play(wave, handheld_.Clock().Now());
        };
        LearnFace face;
        LearnRequest request;
        request.button = "Power";
        request.category = 1;
        const LearnOutcome outcome = model_.LearnButton(request, face);
        EXPECT_EQ(outcome.code, kOpOk);
        EXPECT_EQ(outcome.learnt.size(), 1u);
        EXPECT_EQ(outcome.checks.size(), 1u);
        return outcome;
    }
    static LearnCheck CheckOf(const LearnOutcome& outcome) {
        return outcome.checks.empty() ? LearnCheck{} : outcome.checks[0];
    }

    // Plays what the emitter sent back through a receiver that stretches every mark.
    bool HearStretched(uint32_t stretchNs) {
        const Demodulated sent = handheld_.Air().Demodulate();
        RemoteWaveform wave;
        wave.durations = sent.durations;
        wave.carrierHz = 1000000000u / sent.carrierPeriodNs;
        wave.stretchNs = stretchNs;
        wave.delayNs = SimHandheld::kOwnEchoDelayNs;
        handheld_.Air().Play(wave, handheld_.Clock().Now());
        return true;
    }

    TempFolder folder_;
    HostHandheldFs fs_{folder_.Path().string()};
    SimHandheld handheld_{*FindSimProfile("pxa255")};
    CIrDriverFactory drivers_{handheld_};
    CRemoteModel model_{Services()};
    std::function<bool()> hear_ = [this] { return handheld_.HearOwnEmitter(); };
    int presses_ = 0;  // of the device's remote
};

TEST_F(LearnCheckOnHandheld, AFaithfulReceiverGivesTheSignalBack) {
    const LearnOutcome outcome = LearnNec();
    ASSERT_FALSE(outcome.learnt.empty());
    const LearnCheck check = CheckOf(outcome);
    EXPECT_EQ(check.outcome, CheckOutcome::Yes) << CheckDifference(check).toStdString();
    EXPECT_EQ(check.backCount, outcome.learnt[0].count - 1);  // all but the pause at the end
}

// An air conditioner's 600-duration frame: checked whole, and the report says how long it
// lasts.
TEST_F(LearnCheckOnHandheld, ALongSignalIsCheckedWhole) {
    RemoteWaveform wave;
    wave.durations = AirConditionerPress();
    const LearnOutcome outcome = Learn(wave);
    ASSERT_EQ(outcome.learnt.size(), 1u);
    ASSERT_EQ(outcome.reports.size(), 1u);
    const IrSignal& learnt = outcome.learnt[0];
    ASSERT_EQ(learnt.count, 600);
    const LearnCheck check = CheckOf(outcome);
    EXPECT_EQ(check.outcome, CheckOutcome::Yes) << CheckDifference(check).toStdString();
    EXPECT_EQ(check.backCount, 599);

    EXPECT_FALSE(outcome.reports[0].cut);
    int64_t lengthUs = 0;
    for (int k = 0; k < learnt.count; ++k) {
        lengthUs += std::abs(learnt.durations[k]);
    }
    EXPECT_EQ(outcome.reports[0].lengthUs, lengthUs);
    EXPECT_TRUE(
        LearntText(outcome).contains(QString(" It lasts %1 ms.").arg(int((lengthUs + 500) / 1000))))
        << LearntText(outcome).toStdString();
    // A short signal's report reads as before.
    EXPECT_FALSE(LearntText(LearnNec()).contains("lasts"));
}

TEST_F(LearnCheckOnHandheld, AReceiverThatStretchesMarksIsCaught) {
    hear_ = [this] { return HearStretched(300000); };
    const LearnCheck check = CheckOf(LearnNec());
    EXPECT_EQ(check.outcome, CheckOutcome::No);
    EXPECT_EQ(check.entry, 0);
    EXPECT_GT(check.gotUs, check.expectedUs + 200);
}

TEST_F(LearnCheckOnHandheld, AnAirThatDropsAnEntryIsCaught) {
    hear_ = [this] {
        const Demodulated sent = handheld_.Air().Demodulate();
        RemoteWaveform wave;
        wave.durations = sent.durations;
        wave.durations.erase(wave.durations.begin() + 3, wave.durations.begin() + 5);
        wave.delayNs = SimHandheld::kOwnEchoDelayNs;
        handheld_.Air().Play(wave, handheld_.Clock().Now());
        return true;
    };
    const LearnCheck check = CheckOf(LearnNec());
    EXPECT_EQ(check.outcome, CheckOutcome::No);
    EXPECT_EQ(check.backCount, check.storedCount - 2);
}

TEST_F(LearnCheckOnHandheld, SkippedWithoutAReceiverThatHearsTheEmitter) {
    hear_ = [] { return false; };
    EXPECT_EQ(CheckOf(LearnNec()).outcome, CheckOutcome::Skipped);
    model_.ownReceiver = {};
    EXPECT_EQ(CheckOf(LearnNec()).outcome, CheckOutcome::Skipped);
}

// The device's remote keeps still during the check: only the emitter is heard.
TEST_F(LearnCheckOnHandheld, TheRemoteIsNotPressedDuringTheCheck) {
    EXPECT_EQ(CheckOf(LearnNec()).outcome, CheckOutcome::Yes);
    EXPECT_EQ(presses_, 1);  // for the read alone
}

}  // namespace
