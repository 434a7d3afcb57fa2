#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "app/ctl/Commands.h"
#include "tests/app/CtlRun.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSignals.h"

namespace {

CtlRun Sim(const CtlArgs& args, const std::string& input = "") {
    return RunCommand(RunSim, args, input);
}

const std::string kNec = std::string(ARDEL_TEST_DATA) + "/../ir/fixtures/nec-held.txt";

// A held NEC-style button, learnt and piped back into a send, on every chip of the drivers.
class SimLearnThenSend : public ::testing::TestWithParam<const char*> {};

TEST_P(SimLearnThenSend, HeldNecButton) {
    const CtlRun learnt = Sim({"learn", "--chip", GetParam(), "--carrier", "38000", kNec});
    ASSERT_EQ(learnt.status, 0) << learnt.err;
    EXPECT_EQ(Field(learnt.out, "result"), "0");
    EXPECT_EQ(Field(learnt.out, "carrier_us"), "26");
    EXPECT_EQ(Field(learnt.out, "frame_start"), "0");
    EXPECT_EQ(Field(learnt.out, "count"), "76");  // the signal and the silence after it

    const CtlRun sent = Sim({"send", "--chip", GetParam(), "--carrier-us", "26", "--repeat", "1"},
                            Field(learnt.out, "durations"));
    ASSERT_EQ(sent.status, 0) << sent.err;
    EXPECT_EQ(Field(sent.out, "result"), "0");
    EXPECT_EQ(Field(sent.out, "carrier_us"), "26");
    EXPECT_EQ(Field(sent.out, "passes"), "1");
    const std::string emitted = Field(sent.out, "emitted");
    EXPECT_EQ(std::count(emitted.begin(), emitted.end(), ','), 74);
}

INSTANTIATE_TEST_SUITE_P(Chips, SimLearnThenSend,
                         ::testing::Values("pxa250", "pxa255", "pxa26x", "pxa27x", "sa1110"),
                         [](const auto& info) { return std::string(info.param); });

TEST(SimLearn, NothingArrivesIn20Seconds) {
    const CtlRun run =
        Sim({"learn", "--chip", "pxa27x", "--carrier", "38000", "--delay-ms", "25000"},
            "9000 -4500 560\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Field(run.out, "result"), "17");
    EXPECT_EQ(Field(run.out, "count"), "0");
}

// After learning, every chip sends what it learnt into its own receiver and hears it back.
class SimLearnCheck : public ::testing::TestWithParam<const char*> {};

TEST_P(SimLearnCheck, TheLearntSignalComesBack) {
    const CtlRun learnt = Sim({"learn", "--chip", GetParam(), "--carrier", "38000", kNec});
    ASSERT_EQ(learnt.status, 0) << learnt.err;
    EXPECT_EQ(Field(learnt.out, "checked"), "yes") << Field(learnt.out, "difference");
    EXPECT_EQ(Field(learnt.out, "frame"), "no");  // released after two repeats: no frame
    EXPECT_EQ(Field(learnt.out, "cut"), "no");
}

INSTANTIATE_TEST_SUITE_P(Chips, SimLearnCheck,
                         ::testing::Values("pxa250", "pxa255", "pxa26x", "pxa27x", "sa1110",
                                           "s3c2410", "s3c2440", "omap1510"),
                         [](const auto& info) { return std::string(info.param); });

// The durations of `frame` sent `times` times, `pauseUs` apart, as the text a command reads.
std::string HeldText(const std::vector<int32_t>& frame, int times, int32_t pauseUs) {
    std::string text;
    for (const int32_t value : Repeated(frame, times, pauseUs)) {
        text += std::to_string(value) + " ";
    }
    return text;
}

// A frame that fits, repeated while held: the frame is found. One longer than a signal holds
// (an air conditioner's): the capture is cut, said so, and not stored.
TEST(SimLearnReport, FrameFoundOrCut) {
    const std::string held =
        HeldText({2400, -600, 1200, -600, 600, -600, 1200, -600, 600, -600, 600}, 3, 40000);
    CtlRun run = Sim({"learn", "--chip", "pxa255", "--carrier", "40000"}, held);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Field(run.out, "frame"), "yes");
    EXPECT_EQ(Field(run.out, "cut"), "no");
    EXPECT_EQ(Field(run.out, "checked"), "yes") << Field(run.out, "difference");

    const TempFolder folder;
    const std::string file = (folder.Path() / "AC_Cool.PDB").string();
    run = Sim(
        {"learn", "--chip", "pxa255", "--carrier", "38000", "--codebase", file, "--button", "Cool"},
        HeldText(NeverRepeatingFrame(), 2, 50000));
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(Field(run.out, "cut"), "yes");
    EXPECT_EQ(Field(run.out, "frame"), "no");
    EXPECT_NE(run.err.find("1024 entries"), std::string::npos) << run.err;
    EXPECT_EQ(run.out.find("stored:"), std::string::npos);
}

TEST(Sim, UnknownChipListsTheChips) {
    const CtlRun run = Sim({"learn", "--chip", "pxa999", "--carrier", "38000"}, "500\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown chip 'pxa999'"), std::string::npos);
    EXPECT_NE(run.err.find("pxa255"), std::string::npos);
}

}  // namespace
