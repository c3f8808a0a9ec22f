// Walking a parsed SVG tree: every element below a node, and the ids an
// attribute value refers to by url(#id).
#pragma once

#include <pugixml.hpp>
#include <string_view>
#include <type_traits>

#include "host/io/svg/SvgNumbers.h"

namespace orbalis::host::svg {

// Calls visit(element, depth) for `top` (depth 0, when it is an element) and
// every element below it, in document order. A visit that returns false
// ends the walk; ForEachElement then returns false. The walk climbs back by
// parent links (pugixml's traverse) rather than by recursion, so no nesting
// of a hostile file can exhaust the stack.
template <typename Visit>
bool ForEachElement(pugi::xml_node top, Visit&& visit) {
    auto call = [&](pugi::xml_node node, int depth) {
        if constexpr (std::is_void_v<decltype(visit(node, depth))>) {
            visit(node, depth);
            return true;
        } else {
            return bool(visit(node, depth));
        }
    };
    if (top.type() == pugi::node_element && !call(top, 0)) return false;
    struct Walker : pugi::xml_tree_walker {
        decltype(call)& each;
        explicit Walker(decltype(call)& c) : each(c) {}
        bool for_each(pugi::xml_node& node) override {
            return node.type() != pugi::node_element || each(node, depth() + 1);
        }
    } walker(call);
    return top.traverse(walker);
}

// Calls refer(id) for each url(#id) in an attribute value, the id without
// the white space around it.
template <typename Refer>
void ForEachUrlReference(std::string_view value, Refer&& refer) {
    for (size_t at = value.find("url(#"); at != std::string_view::npos; at = value.find("url(#", at + 5)) {
        const size_t end = value.find(')', at);
        if (end == std::string_view::npos) return;
        refer(Trim(value.substr(at + 5, end - at - 5)));
    }
}

}  // namespace orbalis::host::svg
