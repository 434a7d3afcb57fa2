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

// `count` durations of 500 us, a mark first and then spaces and marks by turns.
inline std::string AlternatingDurations(int count) {
    std::string text;
    for (int k = 0; k < count; ++k) {
        text += k % 2 ? "-500 " : "500 ";
    }
    return text;
}
