// Reading and printing durations the way ardelctl does: signed microseconds, marks
// positive and spaces negative, separated by commas or white space; '#' starts a comment.
#pragma once

#include <cstdint>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

// Reads every value; a zero ends the data and may only stand last. On bad input returns
// false with a message in `error`.
bool ReadDurations(std::istream& in, std::vector<int32_t>& durations, std::string& error);

// Reads durations from the file named `path`, or standard input for an empty path or "-".
bool ReadDurationsFrom(const std::string& path, std::istream& standardInput,
                       std::vector<int32_t>& durations, std::string& error);

// "d1,d2,..." on one line.
std::string JoinDurations(const int32_t* durations, size_t count);
