#include <gtest/gtest.h>

#include <sstream>

#include "app/ctl/Commands.h"
#include "platform/host/HostHandheldFs.h"
#include "store/CCodebaseFile.h"
#include "tests/app/CtlRun.h"
#include "tests/support/TempFolder.h"

namespace {

CtlRun Ctl(int (*command)(const CtlArgs&, std::istream&, std::ostream&, std::ostream&),
           const CtlArgs& args) {
    return RunCommand(command, args);
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
        BadSimArgs{"CodebaseAndRepeat",
                   {"send", "--chip", "pxa255", "--codebase", "a.PDB", "--button", "Power",
                    "--repeat", "1"},
                   "--repeat excludes --codebase"},
        BadSimArgs{"CodebaseAndCarrier",
                   {"send", "--chip", "pxa255", "--codebase", "a.PDB", "--button", "Power",
                    "--carrier-us", "26"},
                   "--carrier-us excludes --codebase"}),
    [](const auto& info) { return info.param.name; });

struct PressCase {
    const char* button;
    int status;
    const char* passes;   // the passes sent; empty when nothing was
    const char* message;  // on standard error
};

class SimSendCodebase : public ::testing::TestWithParam<PressCase> {};

// A stored button is pressed as a tap on the remote presses it: a volume button sends one
// pass, every other button three; a button the codebase lacks is named.
TEST_P(SimSendCodebase, PressesTheButtonAsTheRemoteDoes) {
    const PressCase& c = GetParam();
    const TempFolder folder;
    HostHandheldFs fs(folder.Path().string());
    CCodebaseFile file(&fs);
    ASSERT_TRUE(file.CreateCodebase("\\TV_Den.PDB"));
    const int32_t durations[] = {2400, -600, 1200, -600, 600, -25000};
    for (const char* name : {"Power", "Vol+"}) {
        ASSERT_TRUE(file.StoreSignal(CCodebaseFile::DurationsToValues(durations, 6), 0, 25,
                                     QByteArray(name), 1));
    }
    file.Close();
    const CtlRun run = Ctl(RunSim, {"send", "--chip", "pxa255", "--codebase",
                                    (folder.Path() / "TV_Den.PDB").string(), "--button", c.button});
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(Field(run.out, "passes"), c.passes) << run.out;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Buttons, SimSendCodebase,
                         ::testing::Values(PressCase{"Power", 0, "3", ""},
                                           PressCase{"Vol+", 0, "1", ""},
                                           PressCase{"Mute", 1, "", "no button 'Mute'"}),
                         [](const auto& info) {
                             return std::string(info.param.button == std::string("Vol+")
                                                    ? "VolPlus"
                                                    : info.param.button);
                         });

}  // namespace
