#include "tools/orbalis/Arguments.h"

namespace orbalis::tools {

Arguments::Arguments(const std::vector<std::string>& words, const std::set<std::string>& valued,
                     const std::set<std::string>& flags) {
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            positional_.push_back(word);
            continue;
        }
        std::string name = word, inlineValue;
        bool hasInline = false;
        if (auto eq = word.find('='); eq != std::string::npos) {
            name = word.substr(0, eq);
            inlineValue = word.substr(eq + 1);
            hasInline = true;
        }
        if (valued.count(name)) {
            if (!hasInline) {
                if (i + 1 >= words.size()) {
                    error_ = name + " needs a value";
                    return;
                }
                inlineValue = words[++i];
            }
            values_.emplace(name, inlineValue);
            ordered_.emplace_back(name, inlineValue);
        } else if (flags.count(name) && !hasInline) {
            values_.emplace(name, "");
            ordered_.emplace_back(name, "");
        } else {
            error_ = "unknown option " + word;
            return;
        }
    }
}

std::string Arguments::value(const std::string& option, const std::string& fallback) const {
    auto range = values_.equal_range(option);
    if (range.first == range.second) return fallback;
    return std::prev(range.second)->second;
}

std::vector<std::string> Arguments::values(const std::string& option) const {
    std::vector<std::string> out;
    for (auto [it, end] = values_.equal_range(option); it != end; ++it) out.push_back(it->second);
    return out;
}

}  // namespace orbalis::tools
