#include "Options.h"

#include <cerrno>
#include <cstdlib>

bool CtlOptions::Parse(const std::vector<std::string>& args, const std::set<std::string>& known,
                       std::string& error) {
    values_.clear();
    positional_.clear();
    for (size_t k = 0; k < args.size(); ++k) {
        const std::string& arg = args[k];
        if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            if (!known.count(arg)) {
                error = "unknown option '" + arg + "'";
                return false;
            }
            if (k + 1 >= args.size()) {
                error = "option '" + arg + "' needs a value";
                return false;
            }
            values_[arg] = args[++k];
        } else {
            positional_.push_back(arg);
        }
    }
    return true;
}

std::string CtlOptions::Text(const std::string& name, const std::string& fallback) const {
    const auto it = values_.find(name);
    return it == values_.end() ? fallback : it->second;
}

bool CtlOptions::Number(const std::string& name, int64_t min, int64_t max, int64_t fallback,
                        int64_t& value, std::string& error) const {
    const auto it = values_.find(name);
    if (it == values_.end()) {
        value = fallback;
        return true;
    }
    errno = 0;
    char* rest = nullptr;
    const long long parsed = std::strtoll(it->second.c_str(), &rest, 10);
    if (it->second.empty() || *rest != '\0' || errno == ERANGE || parsed < min || parsed > max) {
        error = name + " takes a whole number from " + std::to_string(min) + " to " +
                std::to_string(max) + ", not '" + it->second + "'";
        return false;
    }
    value = parsed;
    return true;
}
