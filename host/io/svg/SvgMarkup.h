// Writing SVG markup: text and attribute values made fit for XML, an
// element's attributes in writing order, and the colour a paint is shown with.
#pragma once

#include <string>
#include <unordered_map>
#include <unordered_set>

#include "host/io/svg/SvgColor.h"
#include "host/model/Art.h"

namespace orbalis::host::svg {

// Text fit for XML 1.0: valid UTF-8 (bad bytes become U+FFFD) without the
// control characters XML cannot hold.
std::string CleanText(const std::string& text);

void AppendEscaped(std::string& out, const std::string& raw, bool attribute);

// A well-formed attribute name (foreign attributes come from anywhere).
bool IsXmlName(const std::string& name);

// The RGB a colour is shown with.
Rgba ShownColor(const HostColor& color);

// An element's attributes in writing order; setting a name twice keeps the
// first place and the last value, so no attribute is ever written twice.
class Attributes {
public:
    void set(const std::string& name, const std::string& value) {
        auto [it, added] = index_.emplace(name, list_.size());
        if (added)
            list_.emplace_back(name, value);
        else
            list_[it->second].second = value;
    }
    bool has(const std::string& name) const { return index_.count(name) > 0; }
    // Keeps a kept attribute from being written (its value no longer holds).
    void withhold(const std::string& name) { withheld_.insert(name); }
    // A kept attribute, unless written already or withheld.
    void setKept(const std::string& name, const std::string& value) {
        if (!withheld_.count(name) && !has(name)) set(name, value);
    }
    void write(std::string& out) const {
        for (const auto& [name, value] : list_) {
            if (!IsXmlName(name)) continue;
            out += ' ';
            out += name;
            out += "=\"";
            AppendEscaped(out, value, true);
            out += '"';
        }
    }

private:
    NameValues list_;
    std::unordered_map<std::string, size_t> index_;
    std::unordered_set<std::string> withheld_;
};

}  // namespace orbalis::host::svg
