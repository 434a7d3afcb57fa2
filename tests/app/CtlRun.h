// An ardelctl command run in a test: its exit status and what it printed.
#pragma once

#include <sstream>
#include <string>
#include <type_traits>

struct CtlRun {
    int status;
    std::string out, err;
};

// Runs `command` with `options`, `input` on its standard input.
template <typename Options>
CtlRun RunCommand(int (*command)(const Options&, std::istream&, std::ostream&, std::ostream&),
                  const std::type_identity_t<Options>& options, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = command(options, in, out, err);
    return {status, out.str(), err.str()};
}

// The value of the first "NAME: value" line of what a command printed; empty without one.
inline std::string Field(const std::string& out, const std::string& name) {
    const size_t at = out.find(name + ": ");
    if (at == std::string::npos) {
        return "";
    }
    const size_t from = at + name.size() + 2;
    return out.substr(from, out.find('\n', from) - from);
}

// `count` durations of 500 us, a mark first and then spaces and marks by turns.
inline std::string AlternatingDurations(int count) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        text += k % 2 ? "-500 " : "500 ";
    }
    return text;
}
