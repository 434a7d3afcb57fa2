#include <gtest/gtest.h>

#include <sstream>

#include "../support/TempFolder.h"
#include "CCodebaseFile.h"
#include "Commands.h"
#include "HostHandheldFs.h"
#include "SimRun.h"

namespace {

struct CtlRun {
    int status;
    std::string out, err;
};

CtlRun Ctl(int (*command)(const CtlArgs&, std::istream&, std::ostream&, std::ostream&),
           const CtlArgs& args) {
    std::istringstream in;
    std::ostringstream out, err;
    const int status = command(args, in, out, err);
    return {status, out.str(), err.str()};
}

std::string Data(const std::string& name) {
    return std::string(ARDEL_TEST_DATA) + "/../store/data/" + name;
}

TEST(CodebaseShow, NameButtonsAndSignals) {
    const CtlRun run = Ctl(RunCodebase, {"show", Data("OneButtonCodebase.PDB")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "name: TV_Sony\n"
              "button: Power\n"
              "  carrier_us: 26\n"
              "  signal 1: frame_start 2, durations "
              "9000,-4500,560,-560,560,-1690,560,-560,560,-40000\n");
}

struct BadShow {
    const char* name;
    CtlArgs args;
    int status;
    const char* message;
};

class CodebaseShowRefuses : public ::testing::TestWithParam<BadShow> {};

TEST_P(CodebaseShowRefuses, WithAMessage) {
    const CtlRun run = Ctl(RunCodebase, GetParam().args);
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Args, CodebaseShowRefuses,
    ::testing::Values(
        BadShow{"NoFile", {"show"}, 2, "ardelctl codebase show: FILE is required"},
        BadShow{"NoSubcommand", {}, 2, "ardelctl codebase: A subcommand is required"},
        BadShow{"Missing", {"show", "/nonexistent/TV_Sony.PDB"}, 1, "cannot open"},
        BadShow{"AFolder", {"show", ARDEL_TEST_DATA}, 1, "cannot open"},
        BadShow{"NoCodebase", {"show", Data("EmptyDatabase.PDB")}, 1, "is not a codebase"}),
    [](const auto& info) { return info.param.name; });

// Keeping learnt signals in a codebase and taking them out for sending.
class CodebasePlumbing : public ::testing::Test {
  protected:
    static SimLearnOutcome Learnt(std::vector<int32_t> durations, uint8_t frameStart = 0,
                                  uint8_t carrier = 26) {
        SimLearnOutcome outcome;
        outcome.durations = std::move(durations);
        outcome.frameStart = frameStart;
        outcome.carrierPeriod = carrier;
        return outcome;
    }
    int Store(const char* button, int signal, const SimLearnOutcome& learnt,
              const char* path = "\\TV_Sony.PDB") {
        return StoreLearnt(device_, path, button, signal, learnt);
    }
    int Load(const char* button, int signal, SimSendRequest& request) {
        return LoadStored(device_, "\\TV_Sony.PDB", button, signal, request);
    }

    TempFolder folder_;
    HostHandheldFs device_{folder_.Path().string()};
};

TEST_F(CodebasePlumbing, TheFirstButtonCreatesTheCodebase) {
    ASSERT_EQ(Store("Power", 1, Learnt({9000, -4500, 560, -40000}, 2, 25)), kCodebaseDone);
    ASSERT_EQ(Store("Mute", 2, Learnt({560, -560})), kCodebaseDone);
    ASSERT_EQ(Store("Power", 2, Learnt({1000, -1000})), kCodebaseDone);

    SimSendRequest request;
    ASSERT_EQ(Load("Power", 1, request), kCodebaseDone);
    EXPECT_EQ(request.durations, (std::vector<int32_t>{9000, -4500, 560, -40000}));
    EXPECT_EQ(request.frameStart, 2);
    EXPECT_EQ(request.carrierPeriod, 26);  // the carrier of the last signal learnt
    ASSERT_EQ(Load("Power", 2, request), kCodebaseDone);
    EXPECT_EQ(request.durations, (std::vector<int32_t>{1000, -1000}));
    ASSERT_EQ(Load("Mute", 2, request), kCodebaseDone);
    EXPECT_EQ(request.durations, (std::vector<int32_t>{560, -560}));

    const CtlRun run = Ctl(RunCodebase, {"show", folder_ / "TV_Sony.PDB"});
    EXPECT_EQ(run.out,
              "name: TV_Sony\n"
              "button: Power\n"
              "  carrier_us: 26\n"
              "  signal 1: frame_start 2, durations 9000,-4500,560,-40000\n"
              "  signal 2: frame_start 0, durations 1000,-1000\n"
              "button: Mute\n"
              "  carrier_us: 26\n"
              "  signal 1: frame_start 0, durations 560,-560\n");
}

TEST_F(CodebasePlumbing, FailuresAreNamed) {
    SimSendRequest request;
    EXPECT_EQ(Load("Power", 1, request), kCodebaseNotOpened);
    EXPECT_EQ(Store("Power", 1, Learnt({500, -500}), "\\TV_Sony.txt"), kCodebaseNotCreated);
    EXPECT_EQ(Store("Power", 1, Learnt({})), kCodebaseNotStored);
    EXPECT_EQ(Load("Volume", 1, request), kCodebaseNoButton);

    CPdbFile other(&device_);
    ASSERT_EQ(other.Create("\\Other.PDB"), kPdbOk);
    other.Close();
    EXPECT_EQ(Store("Power", 1, Learnt({500, -500}), "\\Other.PDB"), kCodebaseNotACodebase);
    EXPECT_EQ(ReadHostFile(folder_ / "Other.PDB").size(), 80u);
}

struct BadSimArgs {
    const char* name;
    CtlArgs args;
    const char* message;
};

class SimCodebaseOptions : public ::testing::TestWithParam<BadSimArgs> {};

TEST_P(SimCodebaseOptions, AreChecked) {
    const CtlRun run = Ctl(RunSim, GetParam().args);
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Args, SimCodebaseOptions,
    ::testing::Values(
        BadSimArgs{"ButtonWithoutCodebase",
                   {"learn", "--chip", "pxa255", "--carrier", "38000", "--button", "Power"},
                   "--button requires --codebase"},
        BadSimArgs{"SignalWithoutCodebase",
                   {"send", "--chip", "pxa255", "--carrier-us", "26", "--signal", "2"},
                   "--signal requires --codebase"},
        BadSimArgs{"SignalThree",
                   {"send", "--chip", "pxa255", "--codebase", "a.PDB", "--button", "Power",
                    "--signal", "3"},
                   "--signal: Value 3 not in range 1 to 2"},
        BadSimArgs{"CodebaseAndDurations",
                   {"send", "--chip", "pxa255", "--codebase", "a.PDB", "--button", "Power",
                    "durations.txt"},
                   "--codebase excludes FILE"},
        BadSimArgs{"CodebaseAndCarrier",
                   {"send", "--chip", "pxa255", "--codebase", "a.PDB", "--button", "Power",
                    "--carrier-us", "26"},
                   "--carrier-us excludes --codebase"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
