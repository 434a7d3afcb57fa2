// ardelctl decode and ardelctl encode: protocol names for signals, and signals for codes.
// Each takes its options already parsed and the three streams, and returns the exit status.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <ostream>
#include <string>

#include "app/ctl/Commands.h"

// ardelctl decode [FILE] [--carrier-us N], or ardelctl decode --codebase FILE
struct DecodeOptions {
    std::string file;                  // empty or "-": standard input
    std::optional<int64_t> carrierUs;  // the period the signal was learnt with
    std::string codebase;              // a codebase file: every button's signals
};

// Prints "protocol: NAME" and, for a code, "address: 0xHEX", "command: 0xHEX" and for toggle
// protocols "toggle: 0|1"; "protocol: unknown" when no protocol fits in full. With a codebase,
// one line per button and signal: button, signal number, protocol, address and command,
// separated by tabs (address and command empty for an unknown signal).
int RunDecodeCommand(const DecodeOptions& options, std::istream& in, std::ostream& out,
                     std::ostream& err);

// ardelctl encode NAME ADDRESS COMMAND [--toggle N]
struct EncodeOptions {
    std::string protocol;
    std::string address;  // decimal, or hexadecimal after 0x
    std::string command;
    std::optional<int64_t> toggle;
    CodebaseTarget codebase;  // where to store the signal instead of printing it
};

// Prints "carrier_us", "frame_start", "count" and "durations" of the held button, or stores
// it under the button of the codebase as learning would.
int RunEncodeCommand(const EncodeOptions& options, std::ostream& out, std::ostream& err);
