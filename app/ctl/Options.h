// A small parser for ardelctl's "--name value" options and positional arguments.
#pragma once

#include <cstdint>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <vector>

class CtlOptions {
  public:
    // Splits `args` into options (each of `known` takes one value) and positional arguments.
    // On an unknown option or a missing value, returns false with a message in `error`.
    bool Parse(const std::vector<std::string>& args, const std::set<std::string>& known,
               std::string& error);

    bool Has(const std::string& name) const { return values_.count(name) != 0; }
    std::string Text(const std::string& name, const std::string& fallback = "") const;
    // A whole number in [min, max]; false with a message when it is not one.
    bool Number(const std::string& name, int64_t min, int64_t max, int64_t fallback, int64_t& value,
                std::string& error) const;
    const std::vector<std::string>& Positional() const { return positional_; }

  private:
    std::map<std::string, std::string> values_;
    std::vector<std::string> positional_;
};
