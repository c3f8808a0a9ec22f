#include "host/io/svg/SvgUserPercentages.h"

#include <cmath>
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
    const char* units;
    std::initializer_list<Geometry> geometry;
};

const Element kElements[] = {
    {"linearGradient", "gradientUnits",
     {{"x1", Axis::X, "0%"}, {"y1", Axis::Y, "0%"}, {"x2", Axis::X, "100%"}, {"y2", Axis::Y, "0%"}}},
    {"radialGradient", "gradientUnits",
     {{"cx", Axis::X, "50%"}, {"cy", Axis::Y, "50%"}, {"r", Axis::Diagonal, "50%"}, {"fx", Axis::X, "cx"},
      {"fy", Axis::Y, "cy"}, {"fr", Axis::Diagonal, nullptr}}},
    {"pattern", "patternUnits",
     {{"x", Axis::X, nullptr}, {"y", Axis::Y, nullptr}, {"width", Axis::X, nullptr}, {"height", Axis::Y, nullptr}}},
    {"mask", "maskUnits",
     {{"x", Axis::X, "-10%"}, {"y", Axis::Y, "-10%"}, {"width", Axis::X, "120%"}, {"height", Axis::Y, "120%"}}},
    {"filter", "filterUnits",
     {{"x", Axis::X, "-10%"}, {"y", Axis::Y, "-10%"}, {"width", Axis::X, "120%"}, {"height", Axis::Y, "120%"}}},
};

bool HasTemplate(pugi::xml_node el) {
    for (pugi::xml_attribute a : el.attributes()) {
        const std::string_view name = a.name();
        if (name == "href" || (name.size() > 5 && name.substr(name.size() - 5) == ":href")) return true;
    }
    return false;
}

void Resolve(pugi::xml_node el, const Element& kind, const LengthBasis& basis) {
    if (Trim(el.attribute(kind.units).value()) != "userSpaceOnUse") return;
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

}  // namespace

void ResolveUserSpacePercentages(pugi::xml_node root, const LengthBasis& basis,
                                 const std::function<std::string_view(pugi::xml_node)>& svgName) {
    if (!(basis.viewportWidth > 0) || !(basis.viewportHeight > 0)) return;
    // Depth first; a nested svg is a viewport of its own and is left as it is.
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = svgName(child);
        if (name == "svg") continue;
        for (const Element& kind : kElements)
            if (name == kind.name) Resolve(child, kind, basis);
        ResolveUserSpacePercentages(child, basis, svgName);
    }
}

}  // namespace orbalis::host::svg
