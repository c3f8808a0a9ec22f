#include "host/io/JsonLayout.h"

namespace orbalis::host {

namespace {

using Json = nlohmann::ordered_json;

// Longest container kept on one line.
constexpr size_t kLineWidth = 100;
constexpr int kIndentStep = 2;

bool IsContainer(const Json& value) { return value.is_array() || value.is_object(); }

// A container whose items are all scalars, or containers of scalars.
bool IsShallow(const Json& value) {
    for (const auto& item : value) {
        if (!IsContainer(item)) continue;
        for (const auto& inner : item)
            if (IsContainer(inner)) return false;
    }
    return true;
}

void AppendScalar(std::string& out, const Json& value) {
    out += value.dump(-1, ' ', false, nlohmann::detail::error_handler_t::replace);
}

void AppendKey(std::string& out, const std::string& key) {
    AppendScalar(out, Json(key));
    out += ": ";
}

// Appends the one-line form of `value`; false once `out` grows past `limit`.
bool AppendCompact(std::string& out, const Json& value, size_t limit) {
    if (!IsContainer(value)) {
        AppendScalar(out, value);
        return out.size() <= limit;
    }
    const bool object = value.is_object();
    out += object ? '{' : '[';
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) out += ", ";
        first = false;
        if (object) AppendKey(out, it.key());
        if (!AppendCompact(out, *it, limit)) return false;
    }
    out += object ? '}' : ']';
    return out.size() <= limit;
}

void AppendIndented(std::string& out, const Json& value, int indent) {
    if (!IsContainer(value)) {
        AppendScalar(out, value);
        return;
    }
    const bool object = value.is_object();
    if (value.empty()) {
        out += object ? "{}" : "[]";
        return;
    }
    if (IsShallow(value)) {
        std::string line;
        if (AppendCompact(line, value, kLineWidth)) {
            out += line;
            return;
        }
    }
    out += object ? "{\n" : "[\n";
    const std::string pad(static_cast<size_t>(indent + kIndentStep), ' ');
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
        if (!first) out += ",\n";
        first = false;
        out += pad;
        if (object) AppendKey(out, it.key());
        AppendIndented(out, *it, indent + kIndentStep);
    }
    out += '\n';
    out.append(static_cast<size_t>(indent), ' ');
    out += object ? '}' : ']';
}

}  // namespace

std::string LayOutJson(const nlohmann::ordered_json& value) {
    std::string out;
    AppendIndented(out, value, 0);
    out += '\n';
    return out;
}

}  // namespace orbalis::host
