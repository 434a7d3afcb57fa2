// The commands of ardelctl. The command line is parsed once, by RunCtl; each command then
// gets its parsed options and the three streams, and returns the process exit status:
// 0 success, 1 a failure of the work itself, 2 a command line that does not fit.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

using CtlArgs = std::vector<std::string>;

// The exit status of a command line that does not fit.
constexpr int kCtlUsage = 2;

struct CtlStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
};

// Runs ardelctl on `args` (the words after the program name).
int RunCtl(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err);

// Shorthands: RunSim(args, ...) is RunCtl({"sim", args...}, ...), and so on.
int RunAnalyse(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err);
int RunSim(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err);
int RunCodebase(const CtlArgs& args, std::istream& in, std::ostream& out, std::ostream& err);

// A button of a codebase file on the host: --codebase FILE --button NAME [--signal 1|2].
struct CodebaseTarget {
    std::string file;
    std::string button;
    int signal = 1;
    // Learning without --signal makes the signal the whole button, as single learning
    // does; with it, the signal is signal 1 or 2 of a button learnt in double mode.
    bool signalGiven = false;
    bool Given() const { return !file.empty(); }
};

struct AnalyseOptions {
    std::string file;  // empty: standard input
};
int AnalyseCommand(const AnalyseOptions& options, CtlStreams io);

struct CodebaseListOptions {
    std::string root = ".";
};
int CodebaseListCommand(const CodebaseListOptions& options, CtlStreams io);

struct CodebaseShowOptions {
    std::string file;
};
int CodebaseShowCommand(const CodebaseShowOptions& options, CtlStreams io);

struct SimLearnOptions {
    std::string chip;
    uint32_t carrierHz = 0;
    uint32_t dutyPercent = 33;
    uint32_t delayMs = 500;
    CodebaseTarget codebase;
    std::string file;
};
int SimLearnCommand(const SimLearnOptions& options, CtlStreams io);

struct SimSendOptions {
    std::string chip;
    int carrierUs = -1;  // -1: not given
    int frameStart = -1;
    uint16_t repeat = 0;
    uint32_t holdMs = 0;
    CodebaseTarget codebase;
    std::string file;
};
int SimSendCommand(const SimSendOptions& options, CtlStreams io);
