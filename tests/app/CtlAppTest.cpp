#include <gtest/gtest.h>

#include <sstream>

#include "app/ctl/Commands.h"

namespace {

struct CommandLine {
    const char* name;
    CtlArgs args;
    int status;
    const char* out;  // a part of standard output, or null
    const char* err;  // a part of standard error, or null
};

class CtlCommandLine : public ::testing::TestWithParam<CommandLine> {};

TEST_P(CtlCommandLine, AnswersAsExpected) {
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(RunCtl(GetParam().args, in, out, err), GetParam().status);
    if (GetParam().out) {
        EXPECT_NE(out.str().find(GetParam().out), std::string::npos) << out.str();
    }
    if (GetParam().err) {
        EXPECT_NE(err.str().find(GetParam().err), std::string::npos) << err.str();
    } else {
        EXPECT_EQ(err.str(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Words, CtlCommandLine,
    ::testing::Values(
        CommandLine{"Version", {"--version"}, 0, "ardelctl " ARDEL_VERSION, nullptr},
        CommandLine{"Help", {"--help"}, 0, "sim", nullptr},
        CommandLine{"SubcommandHelp", {"sim", "learn", "--help"}, 0, "--carrier", nullptr},
        CommandLine{"Nothing", {}, kCtlUsage, nullptr, "A subcommand is required"},
        CommandLine{"UnknownCommand", {"transmit"}, kCtlUsage, nullptr, "transmit"},
        CommandLine{"UnknownOption", {"analyse", "--fast"}, kCtlUsage, nullptr, "--fast"},
        CommandLine{"NotANumber",
                    {"sim", "learn", "--chip", "pxa255", "--carrier", "fast"},
                    kCtlUsage,
                    nullptr,
                    "ardelctl sim learn: --carrier"},
        CommandLine{"MissingChip",
                    {"sim", "send", "--carrier-us", "26"},
                    kCtlUsage,
                    nullptr,
                    "--chip is required"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
