// Clip paths the model holds as clipping groups: a group whose first path
// clips the rest.
#include "host/io/svg/SvgImporterInternals.h"

#include "host/io/svg/SvgTransform.h"
#include "host/io/svg/SvgTree.h"

namespace orbalis::host::svg::importer {

void Importer::indexIds(pugi::xml_node root) {
    ForEachElement(root, [&](pugi::xml_node node, int) {
        if (const char* id = node.attribute("id").value(); *id) ids_.emplace(id, node);
        for (pugi::xml_attribute a : node.attributes())
            ForEachUrlReference(a.value(), [&](std::string_view id) { ++references_[std::string(id)]; });
    });
}

// The one shape of the clip path `el` is clipped by, when the model can hold
// it as a clipping group: a clip path in the element's user space, made of
// one basic shape that is not clipped itself. Null otherwise (the clip path
// is then kept as written).
pugi::xml_node Importer::clipShape(pugi::xml_node el) {
    std::string value;
    if (const char* a = el.attribute("clip-path").value(); *a) value = a;
    for (auto& [property, v] : SplitStyle(el.attribute("style").value()))
        if (property == "clip-path") value = v;
    std::string_view text = Trim(value);
    if (text.substr(0, 5) != "url(#" || text.back() != ')') return {};
    const std::string id(Trim(text.substr(5, text.size() - 6)));
    auto found = ids_.find(id);
    if (found == ids_.end()) return {};
    const pugi::xml_node clip = found->second;
    if (svgName(clip) != "clipPath" || clip.attribute("clip-path") ||
        (*clip.attribute("clipPathUnits").value() &&
         std::string_view(clip.attribute("clipPathUnits").value()) != "userSpaceOnUse"))
        return {};
    HostMatrix ignored{};
    if (clip.attribute("transform") && !ParseTransform(clip.attribute("transform").value(), &ignored)) return {};
    pugi::xml_node shape;
    for (pugi::xml_node c : clip.children()) {
        if (c.type() == pugi::node_pcdata && Trim(c.value()).empty()) continue;
        if (c.type() == pugi::node_comment) continue;
        if (c.type() != pugi::node_element || shape) return {};
        shape = c;
    }
    if (!shape) return {};
    const std::string_view name = svgName(shape);
    if (!(name == "path" || name == "rect" || name == "circle" || name == "ellipse" || name == "polyline" ||
          name == "polygon") ||
        shape.attribute("clip-path") || shape.first_child() ||
        (shape.attribute("transform") && !ParseTransform(shape.attribute("transform").value(), &ignored)))
        return {};
    for (pugi::xml_attribute a : shape.attributes()) {
        const std::string_view n = a.name();
        if (n == "style" || n == "display" || n == "visibility" || n == "class") return {};
    }
    // A clip path inside the group it clips and used by nothing else goes
    // into the group; one elsewhere stays where it is for the others.
    if (clip.parent() == el && references_[id] == 1) consumedClips_.insert(clip.internal_object());
    return shape;
}

void Importer::addClip(Art* group, pugi::xml_node el, pugi::xml_node shape, const Context& context) {
    HostMatrix own = kIdentity, clipTransform = kIdentity, shapeTransform = kIdentity;
    ParseTransform(el.attribute("transform").value(), &own);
    ParseTransform(shape.parent().attribute("transform").value(), &clipTransform);
    ParseTransform(shape.attribute("transform").value(), &shapeTransform);
    const HostMatrix m = Concat(shapeTransform, Concat(clipTransform, Concat(own, context.ctm)));
    std::vector<Subpath> subpaths = shapeGeometry(shape, svgName(shape), context.style.fontSize);
    HostPathStyle style{};
    style.clip = 1;
    const std::string rule = shape.attribute("clip-rule") ? shape.attribute("clip-rule").value()
                                                          : shape.parent().attribute("clip-rule").value();
    style.evenOdd = rule == "evenodd";
    for (Subpath& sub : subpaths) {
        for (HostPathSegment& seg : sub.segments) {
            seg.p = Apply(m, seg.p);
            seg.in = Apply(m, seg.in);
            seg.out = Apply(m, seg.out);
        }
        MarkCorners(sub.segments, sub.closed);
    }
    // The clipping path is the group's first child, on top of what it clips.
    // A clip path without area leaves nothing of the group to see.
    if (subpaths.empty())
        subpaths.push_back(Subpath{{HostPathSegment{{m.tx, m.ty}, {m.tx, m.ty}, {m.tx, m.ty}, 1}}, true});
    Art* art = addPaths(group, subpaths, false, style);
    art->name = shape.parent().attribute("id").value();
}

}  // namespace orbalis::host::svg::importer
