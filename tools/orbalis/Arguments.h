// A small command-line parser: positional words and --options, some taking
// a value, some repeatable.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace orbalis::tools {

class Arguments {
public:
    // `valued` options take the next word as their value; `flags` take none.
    // Unknown options are an error.
    Arguments(const std::vector<std::string>& words, const std::set<std::string>& valued,
              const std::set<std::string>& flags);

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    const std::vector<std::string>& positional() const { return positional_; }
    bool has(const std::string& option) const { return values_.count(option) != 0; }
    // The last value given for the option, or `fallback`.
    std::string value(const std::string& option, const std::string& fallback = {}) const;
    // Every value given, in order.
    std::vector<std::string> values(const std::string& option) const;
    // Options in the order given, for those whose order matters.
    const std::vector<std::pair<std::string, std::string>>& ordered() const { return ordered_; }

private:
    std::vector<std::string> positional_;
    std::multimap<std::string, std::string> values_;
    std::vector<std::pair<std::string, std::string>> ordered_;
    std::string error_;
};

}  // namespace orbalis::tools
