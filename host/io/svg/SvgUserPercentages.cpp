#include "host/io/svg/SvgUserPercentages.h"

#include <cmath>
#include <iterator>
#include <string>

#include "host/io/svg/SvgNumbers.h"

namespace orbalis::host::svg {
namespace {

struct Geometry {
    const char* attribute;
    Axis axis;
    const char* byDefault;  // null: none, or another attribute's value (radial focus)
};

struct Element {
    const char* name;
    const char* units;  // null: the percentages are always of the viewport
    std::initializer_list<Geometry> geometry;
};

const Element kElements[] = {
    {"linearGradient",
     "gradientUnits",
     {{"x1", Axis::X, "0%"}, {"y1", Axis::Y, "0%"}, {"x2", Axis::X, "100%"}, {"y2", Axis::Y, "0%"}}},
    {"radialGradient",
     "gradientUnits",
     {{"cx", Axis::X, "50%"},
      {"cy", Axis::Y, "50%"},
      {"r", Axis::Diagonal, "50%"},
      {"fx", Axis::X, "cx"},
      {"fy", Axis::Y, "cy"},
      {"fr", Axis::Diagonal, nullptr}}},
    {"pattern",
     "patternUnits",
     {{"x", Axis::X, nullptr}, {"y", Axis::Y, nullptr}, {"width", Axis::X, nullptr}, {"height", Axis::Y, nullptr}}},
    {"mask",
     "maskUnits",
     {{"x", Axis::X, "-10%"}, {"y", Axis::Y, "-10%"}, {"width", Axis::X, "120%"}, {"height", Axis::Y, "120%"}}},
    {"filter",
     "filterUnits",
     {{"x", Axis::X, "-10%"}, {"y", Axis::Y, "-10%"}, {"width", Axis::X, "120%"}, {"height", Axis::Y, "120%"}}},
    {"marker",
     nullptr,
     {{"refX", Axis::X, nullptr},
      {"refY", Axis::Y, nullptr},
      {"markerWidth", Axis::X, nullptr},
      {"markerHeight", Axis::Y, nullptr}}},
    // A nested svg is a viewport the size of its parent's unless it says
    // otherwise; it stays last.
    {"svg",
     nullptr,
     {{"x", Axis::X, nullptr}, {"y", Axis::Y, nullptr}, {"width", Axis::X, "100%"}, {"height", Axis::Y, "100%"}}},
};

bool HasTemplate(pugi::xml_node el) {
    for (pugi::xml_attribute a : el.attributes()) {
        const std::string_view name = a.name();
        if (name == "href" || (name.size() > 5 && name.substr(name.size() - 5) == ":href")) return true;
    }
    return false;
}

void Resolve(pugi::xml_node el, const Element& kind, const LengthBasis& basis) {
    if (kind.units && Trim(el.attribute(kind.units).value()) != "userSpaceOnUse") return;
    const bool own = !HasTemplate(el);
    for (const Geometry& g : kind.geometry) {
        pugi::xml_attribute a = el.attribute(g.attribute);
        std::string value = a ? a.value() : std::string();
        if (!a) {
            if (!own || !g.byDefault) continue;
            const pugi::xml_attribute other = el.attribute(g.byDefault);  // the focus defaults to the centre
            value = g.byDefault[0] == 'c' ? (other ? other.value() : std::string()) : g.byDefault;
            if (value.empty()) continue;
        }
        Length length;
        if (!ParseLength(Trim(value), &length) || length.unit != Length::Percent) continue;
        const double resolved = ResolveLength(length, basis, 0, g.axis);
        if (!std::isfinite(resolved)) continue;
        if (!a) a = el.append_attribute(g.attribute);
        a.set_value(FormatExact(resolved).c_str());
    }
}

// Depth first; what is inside a nested svg is in a viewport of its own and
// is left as it is. The content of a symbol, pattern or marker is drawn in
// a viewport or tile of its own too: a nested svg there is left as well.
void ResolveBelow(pugi::xml_node parent, const LengthBasis& basis,
                  const std::function<std::string_view(pugi::xml_node)>& svgName, bool inRootViewport) {
    for (pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = svgName(child);
        if (name == "svg") {
            if (inRootViewport) Resolve(child, kElements[std::size(kElements) - 1], basis);
            continue;
        }
        for (const Element& kind : kElements)
            if (name == kind.name) Resolve(child, kind, basis);
        ResolveBelow(child, basis, svgName,
                     inRootViewport && name != "symbol" && name != "pattern" && name != "marker");
    }
}

}  // namespace

void ResolveUserSpacePercentages(pugi::xml_node root, const LengthBasis& basis,
                                 const std::function<std::string_view(pugi::xml_node)>& svgName) {
    if (!(basis.viewportWidth > 0) || !(basis.viewportHeight > 0)) return;
    ResolveBelow(root, basis, svgName, true);
}

}  // namespace orbalis::host::svg
