#include "platform/sim/SimRemotes.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class SimRemotesTest : public ::testing::TestWithParam<int> {
  protected:
    const SimRemote& Remote() const { return *FindSimRemote(GetParam()); }
};

TEST_P(SimRemotesTest, EveryButtonSendsAWellFormedSignalOfItsOwn) {
    std::set<std::vector<int32_t>> seen;
    for (const SimRemoteButton& button : Remote().buttons) {
        const RemoteWaveform wave = Remote().Press(button.name, 0);
        ASSERT_FALSE(wave.durations.empty()) << button.name;
        EXPECT_GT(wave.durations.front(), 0) << button.name;
        EXPECT_GT(wave.durations.back(), 0) << button.name;
        for (size_t k = 0; k < wave.durations.size(); ++k) {
            const int32_t d = wave.durations[k];
            EXPECT_EQ(d > 0, k % 2 == 0) << button.name << " entry " << k;
            EXPECT_GE(std::abs(d), 400) << button.name << " entry " << k;
        }
        EXPECT_TRUE(seen.insert(wave.durations).second) << button.name << " repeats a code";
    }
}

TEST_P(SimRemotesTest, HoldingSendsMoreFramesAndAMissingButtonNothing) {
    const size_t tap = Remote().Press("Power", 0).durations.size();
    EXPECT_GT(Remote().Press("Power", 500).durations.size(), tap);
    EXPECT_TRUE(Remote().Press("F1", 500).durations.empty());
    EXPECT_FALSE(Remote().HasButton("F1"));
    EXPECT_TRUE(Remote().HasButton("Power"));
}

INSTANTIATE_TEST_SUITE_P(Categories, SimRemotesTest, ::testing::Range(1, 7), [](const auto& info) {
    std::string name = FindSimRemote(info.param)->category;
    return name.substr(0, name.find('/'));
});

TEST(SimRemotes, FoundByNameIgnoringCaseOrByNumber) {
    EXPECT_EQ(FindSimRemote("tv"), FindSimRemote(1));
    EXPECT_EQ(FindSimRemote("Cab/Sat")->category, std::string("Cab/Sat"));
    EXPECT_EQ(FindSimRemote("Unknown"), nullptr);
    EXPECT_EQ(FindSimRemote(0), nullptr);
    EXPECT_EQ(FindSimRemote(7), nullptr);
}

TEST(SimRemotes, RepeatCodesFollowTheFirstFrame) {
    // The amplifier remote sends its code once, then short repeat codes every 108 ms.
    const RemoteWaveform wave = FindSimRemote("Audio")->Press("Power", 300);
    ASSERT_EQ(wave.durations.size(), 67u + 1 + 4 + 3);
    EXPECT_EQ(wave.durations[0], 9000);
    EXPECT_EQ(wave.durations[1], -4500);
    EXPECT_EQ(wave.durations[68], 9000);
    EXPECT_EQ(wave.durations[69], -2250);
    // Frame starts are 108 ms apart.
    int64_t start = 0;
    for (size_t k = 0; k < 68; ++k) {
        start += std::abs(wave.durations[k]);
    }
    EXPECT_EQ(start, 108000);
}

}  // namespace
