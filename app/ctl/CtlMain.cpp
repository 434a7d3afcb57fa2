// ardelctl: the command-line companion of the remote, for people and for scripts.
#include <iostream>
#include <string>
#include <vector>

#include "Commands.h"

namespace {

struct Command {
    const char* name;
    int (*run)(const CtlArgs&, std::istream&, std::ostream&, std::ostream&);
    const char* usage;
};

constexpr Command kCommands[] = {
    {"analyse", RunAnalyse, "analyse [FILE]    frame analysis of a raw capture (microseconds)"},
    {"codebase", RunCodebase,
     "codebase list [--root DIR]\n"
     "                    the codebases of a device root: category, device name, path\n"
     "  codebase show FILE\n"
     "                    the name, buttons and signals of a codebase file"},
    {"sim", RunSim,
     "sim learn --chip CHIP --carrier HZ [--duty PERCENT] [--delay-ms N]\n"
     "            [--codebase FILE --button NAME [--signal 1|2]] [FILE]\n"
     "                    the simulated handheld learns what its device's remote sends\n"
     "                    (and stores it under the button in the codebase)\n"
     "  sim send --chip CHIP (--carrier-us N [--frame-start N] [FILE] |\n"
     "            --codebase FILE --button NAME [--signal 1|2]) [--repeat N] [--hold-ms N]\n"
     "                    the simulated handheld sends a signal; prints what it emitted"},
};

void Usage(std::ostream& out) {
    out << "usage: ardelctl COMMAND [ARGS]\n\ncommands:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.usage << "\n";
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        Usage(args.empty() ? std::cerr : std::cout);
        return args.empty() ? 2 : 0;
    }
    for (const Command& command : kCommands) {
        if (args[0] == command.name) {
            return command.run(CtlArgs(args.begin() + 1, args.end()), std::cin, std::cout,
                               std::cerr);
        }
    }
    std::cerr << "ardelctl: unknown command '" << args[0] << "'\n";
    Usage(std::cerr);
    return 2;
}
