#include "app/ctl/Durations.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <limits>

bool ReadDurations(std::istream& in, std::vector<int32_t>& durations, std::string& error) {
    durations.clear();
    bool ended = false;  // a zero was read
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        const size_t comment = line.find('#');
        if (comment != std::string::npos) {
            line.resize(comment);
        }
        size_t pos = 0;
        while (pos < line.size()) {
            const size_t start = line.find_first_not_of(" \t\r\f\v,", pos);
            if (start == std::string::npos) {
                break;
            }
            const size_t end = line.find_first_of(" \t\r\f\v,", start);
            const std::string token = line.substr(start, end - start);
            pos = end == std::string::npos ? line.size() : end;

            const std::string where = "line " + std::to_string(lineNumber) + ": ";
            errno = 0;
            char* rest = nullptr;
            const long long value = std::strtoll(token.c_str(), &rest, 10);
            if (rest == token.c_str() || *rest != '\0') {
                error = where + "'" + token + "' is not a whole number of microseconds";
                return false;
            }
            if (errno == ERANGE || value < std::numeric_limits<int32_t>::min() ||
                value > std::numeric_limits<int32_t>::max()) {
                error = where + "'" + token + "' is out of range";
                return false;
            }
            if (ended) {
                error = where + "a zero may only end the data, but '" + token + "' follows it";
                return false;
            }
            if (value == 0) {
                ended = true;
                continue;
            }
            durations.push_back(static_cast<int32_t>(value));
        }
    }
    if (in.bad()) {
        error = "cannot read the input";
        return false;
    }
    return true;
}

bool ReadDurationsFrom(const std::string& path, std::istream& standardInput,
                       std::vector<int32_t>& durations, std::string& error) {
    if (path.empty() || path == "-") {
        return ReadDurations(standardInput, durations, error);
    }
    std::ifstream file(path);
    if (!file) {
        error = "cannot open '" + path + "'";
        return false;
    }
    if (!ReadDurations(file, durations, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

std::string JoinDurations(const int32_t* durations, size_t count) {
    std::string text;
    for (size_t k = 0; k < count; ++k) {
        if (k) {
            text += ',';
        }
        text += std::to_string(durations[k]);
    }
    return text;
}
