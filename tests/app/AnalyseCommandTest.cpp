#include <gtest/gtest.h>

#include <sstream>

#include "app/ctl/Commands.h"
#include "tests/app/CtlRun.h"

namespace {

CtlRun Analyse(const std::string& input) {
    return RunCommand(RunAnalyse, {}, input);
}

TEST(AnalyseCommand, FrameRepeatingThreeTimes) {
    std::string frame = "2400,-600, 1200 -600 600,-600 1200 -26000 # one frame\n";
    const CtlRun run = Analyse(frame + frame + "2400,-600, 1200 -600 600,-600 1200\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out,
              "result: 0\nframe_start: 0\ncount: 8\n"
              "durations: 2400,-600,1200,-600,600,-600,1200,-26000\n");
    EXPECT_EQ(run.err, "");
}

TEST(AnalyseCommand, TrailingZeroEndsTheData) {
    EXPECT_EQ(Analyse("500 -500 700 0\n").out,
              "result: 0\nframe_start: 3\ncount: 3\ndurations: 500,-500,700\n");
}

struct BadInput {
    const char* name;
    std::string input;
    const char* message;
};

class AnalyseBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(AnalyseBadInput, IsRefusedWithAMessage) {
    const CtlRun run = Analyse(GetParam().input);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, AnalyseBadInput,
    ::testing::Values(BadInput{"NotANumber", "500 -5x0\n", "'-5x0' is not a whole number"},
                      BadInput{"Fraction", "500 -500.5\n", "not a whole number"},
                      BadInput{"ZeroBeforeTheEnd", "500 0 -500\n", "a zero may only end"},
                      BadInput{"TooMany", AlternatingDurations(1025), "at most 1024"},
                      BadInput{"OutOfRange", "3000000000\n", "out of range"},
                      BadInput{"Empty", "# nothing\n", "empty"}),
    [](const auto& info) { return info.param.name; });

TEST(AnalyseCommand, OneHundredFiftyValuesAreFine) {
    EXPECT_EQ(Analyse(AlternatingDurations(150)).status, 0);
}

TEST(AnalyseCommand, MissingFileIsReported) {
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_NE(RunAnalyse({"/nonexistent/capture.txt"}, in, out, err), 0);
    EXPECT_NE(err.str().find("cannot open '/nonexistent/capture.txt'"), std::string::npos);
}

}  // namespace
