// Symbols and uses: symbol definitions with their viewports, uses of them
// as symbol instances, uses of art as placed copies, and the check that no
// symbol shows itself.
#include "host/io/svg/SvgImporterInternals.h"

#include <cmath>

#include "host/io/svg/SvgTransform.h"
#include "host/io/svg/SvgTree.h"

namespace orbalis::host::svg::importer {

// Whether a use may show a copy of `target` as art: an element the model
// draws, not inside anything that renders nothing by itself (a pattern, a
// mask, a nested viewport), and not around the use or already being shown
// by the uses around it.
bool Importer::showable(pugi::xml_node target, pugi::xml_node use) const {
    static const char* drawn[] = {"g",        "path",    "rect", "circle", "ellipse", "line",
                                  "polyline", "polygon", "text", "image",  "use"};
    const std::string_view name = target ? svgName(target) : std::string_view();
    if (std::none_of(std::begin(drawn), std::end(drawn), [&](const char* d) { return name == d; })) return false;
    if (std::find(shownByUses_.begin(), shownByUses_.end(), target) != shownByUses_.end()) return false;
    for (pugi::xml_node up = use; up; up = up.parent())
        if (up == target) return false;
    // Paint taken from the use (context-fill, context-stroke) is not the model's.
    const bool ownPaint = ForEachElement(target, [](pugi::xml_node node, int) {
        for (pugi::xml_attribute a : node.attributes())
            if (std::string_view(a.value()).find("context-") != std::string_view::npos) return false;
        return true;
    });
    if (!ownPaint) return false;
    for (pugi::xml_node up = target.parent(); up && up.parent().type() == pugi::node_element; up = up.parent()) {
        const std::string_view upName = svgName(up);
        if (upName != "g" && upName != "defs" && upName != "a" && upName != "switch") return false;
    }
    return true;
}

void Importer::importUse(pugi::xml_node el, Art* container, const Context& context) {
    const std::string target = href(el);
    auto symbol = target.size() > 1 && target[0] == '#' ? symbols_.find(target.substr(1)) : symbols_.end();
    if (symbol == symbols_.end()) {
        const auto found = target.size() > 1 && target[0] == '#' ? ids_.find(target.substr(1)) : ids_.end();
        if (found == ids_.end() || !showable(found->second, el)) {
            // Kept as written; the element it shows keeps its id, so the
            // reference still holds.
            importForeign(el, container, context);
            return;
        }
        // A use of art is a group holding a copy of it, drawn where the use
        // puts it and styled by the use, as SVG draws it.
        Element e = read(el, context.style, [&](std::string_view a) { return IsPlacementAttribute(a) || isHref(a); });
        const double fs = e.style.fontSize;
        const HostMatrix place =
            Concat(Translation(length(el, "x", 0, 0, fs), length(el, "y", 0, 1, fs)), Concat(e.transform, context.ctm));
        Art* group = add(container, kHostGroupArt);
        group->foreignAttributes = keep(e, [](Property) { return false; });
        if (Refers(group->foreignAttributes)) group->foreignAttributes.emplace_back(kSpaceAttribute, SpaceText(place));
        finish(group, e, context);
        shownByUses_.push_back(found->second);
        importElement(found->second, group, nullptr, Context{place, e.style});
        shownByUses_.pop_back();
        return;
    }
    Element e = read(el, context.style, [&](std::string_view a) { return IsPlacementAttribute(a) || isHref(a); });
    const double fs = e.style.fontSize;
    HostMatrix viewport = kIdentity;
    const SymbolViewport& sv = symbol->second;
    if (sv.hasViewBox) {
        auto size = [&](const char* name, const std::string& own, double fallback, int axis) {
            if (el.attribute(name)) return length(el, name, fallback, axis, fs);
            Length l;
            if (!own.empty() && ParseLength(own, &l))
                return ResolveLength(l, basis_, fs, axis == 0 ? Axis::X : Axis::Y);
            return fallback;
        };
        // Without a size on the use or the symbol, the symbol's viewport is
        // 100 % of the page's.
        const double w = size("width", sv.width, basis_.viewportWidth, 0),
                     h = size("height", sv.height, basis_.viewportHeight, 1);
        if (w > 0 && h > 0 && !ViewBoxTransform(sv.box, w, h, sv.aspect, &viewport)) {
            ignored(el, "preserveAspectRatio", sv.aspect, "of symbol " + Quote(symbol->first));
            ViewBoxTransform(sv.box, w, h, "", &viewport);
        }
    }
    SymbolData data;
    data.symbol = sv.name;
    data.matrix = Concat(
        Concat(kFlip, viewport),
        Concat(Translation(length(el, "x", 0, 0, fs), length(el, "y", 0, 1, fs)), Concat(e.transform, context.ctm)));
    for (double v : {data.matrix.a, data.matrix.b, data.matrix.c, data.matrix.d, data.matrix.tx, data.matrix.ty})
        if (!(std::fabs(v) <= kMaxCoordinate)) {
            warn(el, "coordinates", "kept as written: coordinates out of range");
            keptSymbolUses_[importForeign(el, container, context)] = sv.name;
            return;
        }
    Art* art = add(container, kHostSymbolArt);
    art->data = std::move(data);
    art->foreignAttributes = keep(e, [](Property) { return false; });
    if (std::string inner = children(el); !inner.empty())
        art->foreignAttributes.emplace_back(kChildrenAttribute, inner);
    finish(art, e, context);
}

// Finds the symbols in the tree as it will be imported: after the style
// sheets are taken out, with whatever elements they held.
void Importer::findSymbols(pugi::xml_node root) {
    std::set<std::string> seen;
    ForEachElement(root, [&](pugi::xml_node node, int) {
        if (svgName(node) != "symbol") return;
        const std::string id = node.attribute("id").value();
        if (id.empty()) return;
        // A later symbol of the same id can never be shown: references find the first.
        (seen.insert(id).second ? symbolNodes_ : shadowedSymbols_).push_back(node);
    });
}

void Importer::importSymbols() {
    for (pugi::xml_node el : symbolNodes_) {
        SymbolViewport sv;
        if (pugi::xml_attribute vb = el.attribute("viewBox")) {
            sv.hasViewBox = ParseViewBox(vb.value(), &sv.box);
            if (!sv.hasViewBox) ignored(el, "viewBox", vb.value());
        }
        sv.aspect = el.attribute("preserveAspectRatio").value();
        sv.width = el.attribute("width").value();
        sv.height = el.attribute("height").value();
        // A symbol is named by its label when it has one (names that are no
        // good as ids are written that way), else by its id.
        sv.name = el.attribute("id").value();
        for (pugi::xml_attribute a : el.attributes())
            if (namespaces_.is(a.name(), namespaces_.inkscape, "label") && *a.value()) sv.name = a.value();
        symbols_[el.attribute("id").value()] = sv;
    }
    for (pugi::xml_node el : symbolNodes_) {
        // Symbol content takes its inherited style from each use; the
        // definition starts from SVG's defaults.
        Element e = read(el, ComputedStyle{}, [](std::string_view a) {
            return a == "viewBox" || a == "preserveAspectRatio" || a == "x" || a == "y" || a == "width" ||
                   a == "height" || a == "refX" || a == "refY";
        });
        Art* definition = document_.newSymbolDefinition(symbols_[e.id].name);
        definition->foreignAttributes = keep(e, [](Property) { return false; });
        importChildren(el, definition, nullptr, Context{kFlip, e.style});
    }
    // Shadowed duplicates go too: written back under ids that may change,
    // they could come alive. Deepest first, so that no symbol inside another
    // is removed after its container.
    std::vector<std::pair<int, pugi::xml_node>> doomed;
    for (const auto* list : {&symbolNodes_, &shadowedSymbols_})
        for (pugi::xml_node n : *list) {
            int depth = 0;
            for (pugi::xml_node p = n.parent(); p; p = p.parent()) ++depth;
            doomed.emplace_back(depth, n);
        }
    std::stable_sort(doomed.begin(), doomed.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (auto& entry : doomed) entry.second.parent().remove_child(entry.second);
}

void Importer::checkSymbolCycles() {
    // Depth-first over "definition shows definition": a cycle would make the
    // host's bounds of an instance endless, a long chain exhaust its stack.
    std::map<std::string, std::vector<std::string>> uses;
    for (const SymbolDefinition& def : document_.symbols()) {
        std::vector<std::string>& out = uses[def.name];
        std::vector<const Art*> stack{def.art};
        while (!stack.empty()) {
            const Art* a = stack.back();
            stack.pop_back();
            if (const auto* s = std::get_if<SymbolData>(&a->data)) out.push_back(s->symbol);
            if (auto kept = keptSymbolUses_.find(a); kept != keptSymbolUses_.end()) out.push_back(kept->second);
            for (const Art* c = a->firstChild(); c; c = c->next()) stack.push_back(c);
        }
    }
    std::map<std::string, int> depth;  // -1 while on the path, then the chain's length
    for (const auto& [start, unused] : uses) {
        if (depth.count(start)) continue;
        std::vector<std::pair<std::string, size_t>> path{{start, 0}};
        depth[start] = -1;
        while (!path.empty()) {
            const std::string name = path.back().first;
            const auto& targets = uses[name];
            if (path.back().second == targets.size()) {
                int longest = 0;
                for (const std::string& t : targets) longest = std::max(longest, depth[t]);
                depth[name] = longest + 1;
                if (depth[name] > kMaxNesting)
                    throw ImportError{"symbol " + Quote(name) + ": symbols nested deeper than " +
                                      std::to_string(kMaxNesting) + " levels"};
                path.pop_back();
                continue;
            }
            const std::string target = targets[path.back().second++];
            auto found = depth.find(target);
            if (found != depth.end() && found->second == -1)
                throw ImportError{"symbol " + Quote(target) + " shows itself"};
            if (found == depth.end()) {
                depth[target] = -1;
                path.emplace_back(target, 0);
            }
        }
    }
}

}  // namespace orbalis::host::svg::importer
