#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "Commands.h"

namespace {

struct CtlRun {
    int status;
    std::string out, err;
};

CtlRun Sim(const CtlArgs& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = RunSim(args, in, out, err);
    return {status, out.str(), err.str()};
}

std::string Field(const std::string& out, const std::string& name) {
    const size_t at = out.find(name + ": ");
    if (at == std::string::npos) {
        return "";
    }
    const size_t from = at + name.size() + 2;
    return out.substr(from, out.find('\n', from) - from);
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

TEST(Sim, UnknownChipListsTheChips) {
    const CtlRun run = Sim({"learn", "--chip", "pxa999", "--carrier", "38000"}, "500\n");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("unknown chip 'pxa999'"), std::string::npos);
    EXPECT_NE(run.err.find("pxa255"), std::string::npos);
}

}  // namespace
