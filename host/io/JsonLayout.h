// Human-readable, deterministic JSON text: containers are indented one item
// per line, except small flat ones (a point, a colour, a path segment, a
// tag), which stay on one line so that long coordinate lists remain
// one segment per line.
#pragma once

#include <string>

#include <nlohmann/json.hpp>

namespace orbalis::host {

// The text of `value`, ending with a newline. Keys keep their order;
// strings that are not valid UTF-8 have the bad bytes replaced by U+FFFD.
std::string LayOutJson(const nlohmann::ordered_json& value);

}  // namespace orbalis::host
