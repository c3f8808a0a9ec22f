#include "host/io/svg/SvgImporter.h"

#include <cctype>
#include <cmath>
#include <cstring>
#include <sstream>

#include "host/io/svg/SvgCss.h"
#include "host/io/svg/SvgEncoding.h"
#include "host/io/svg/SvgImporterInternals.h"
#include "host/io/svg/SvgUserPercentages.h"
#include "host/io/svg/SvgTransform.h"
#include "host/io/svg/SvgTree.h"

namespace orbalis::host::svg {
namespace importer {

// A pattern paint written as "n a b c d tx ty"; anything else leaves the
// colour as the SVG paint gave it.
void ReadPatternPaint(std::string_view text, HostColor* color) {
    if (text.empty()) return;
    NumberCursor cursor(text);
    double v[7];
    for (double& value : v) {
        cursor.skipSeparator();
        const char* error = nullptr;
        if (!cursor.number(&value, &error) || !std::isfinite(value)) return;
    }
    cursor.skipSpace();
    if (!cursor.atEnd() || v[0] < 0 || v[0] > 4294967295.0 || v[0] != std::floor(v[0])) return;
    color->kind = kHostPatternColor;
    color->c.pattern.pattern = static_cast<uint32_t>(v[0]);
    color->c.pattern.transform = {v[1], v[2], v[3], v[4], v[5], v[6]};
}

std::vector<std::string> Importer::warnings() const {
    constexpr size_t kShown = 8;
    std::vector<std::string> out;
    for (size_t i = 0; i < warnings_.size() && (i < kShown || warnings_.size() <= kShown + 1); ++i)
        out.push_back(warnings_[i].text);
    if (out.size() == warnings_.size()) return out;
    std::vector<std::pair<std::string, size_t>> counts;  // in the order first met
    for (size_t i = kShown; i < warnings_.size(); ++i) {
        auto it = std::find_if(counts.begin(), counts.end(),
                               [&](const auto& c) { return c.first == warnings_[i].attribute; });
        if (it == counts.end())
            counts.emplace_back(warnings_[i].attribute, 1);
        else
            ++it->second;
    }
    std::string summary = "and " + std::to_string(warnings_.size() - kShown) + " more values passed over:";
    for (size_t i = 0; i < counts.size(); ++i)
        summary += (i ? ", " : " ") + counts[i].first + " (" + std::to_string(counts[i].second) + ")";
    out.push_back(summary);
    return out;
}

// ---------------------------------------------------------------- attributes

// Whether an element inside `el` sets its visibility back to visible.
bool ShowsAgain(pugi::xml_node el) {
    return !ForEachElement(el, [](pugi::xml_node node, int depth) {
        if (depth == 0) return true;
        if (Trim(node.attribute("visibility").value()) == "visible") return false;
        for (auto& [property, value] : SplitStyle(node.attribute("style").value()))
            if (property == "visibility" && value == "visible") return false;
        return true;
    });
}

Element Importer::read(pugi::xml_node el, const ComputedStyle& parent,
                       const std::function<bool(std::string_view)>& consumed) const {
    Element e;
    std::array<bool, kPropertyCount> fromStyle{};
    for (pugi::xml_attribute a : el.attributes()) {
        const std::string_view name = a.name();
        const char* value = a.value();
        if (name == "style")
            for (auto& declaration : SplitStyle(value)) e.order.push_back(declaration.first);
        e.order.emplace_back(name);
        if (name == "id") {
            e.id = value;
        } else if (name == "transform") {
            if (!ParseTransform(value, &e.transform)) {
                e.transform = kIdentity;
                ignored(el, "transform", value);
            }
        } else if (name == "clip-path" && el == unclipped_) {
            continue;
        } else if (name == "style") {
            for (auto& [property, v] : SplitStyle(value)) {
                if (property == "clip-path" && el == unclipped_) continue;
                if (auto p = FindProperty(property)) {
                    e.declared[size_t(*p)] = v;
                    fromStyle[size_t(*p)] = true;
                } else {
                    e.residualStyle.emplace_back(property, v);
                }
            }
        } else if (auto p = FindProperty(name)) {
            if (!fromStyle[size_t(*p)]) e.declared[size_t(*p)] = std::string(value);
        } else if (namespaces_.is(name, namespaces_.inkscape, "label")) {
            e.label = value;
            e.labelAttribute = std::string(name);
        } else if (namespaces_.is(name, namespaces_.inkscape, "groupmode")) {
            e.groupmode = value;
            e.groupmodeAttribute = std::string(name);
        } else if (namespaces_.is(name, namespaces_.sodipodi, "insensitive")) {
            e.locked = std::string_view(value) != "false";
        } else if (name == kCmykFillAttribute) {
            e.cmykFill = value;
        } else if (name == kCmykStrokeAttribute) {
            e.cmykStroke = value;
        } else if (name == kGrayFillAttribute) {
            e.grayFill = value;
        } else if (name == kGrayStrokeAttribute) {
            e.grayStroke = value;
        } else if (name == kTagsAttribute) {
            e.tags = value;
        } else if (name == kPatternFillAttribute) {
            e.patternFill = value;
        } else if (name == kPatternStrokeAttribute) {
            e.patternStroke = value;
        } else if (name == kGuideAttribute) {
            e.guide = std::string_view(value) == "true";
        } else if (!consumed(name)) {
            e.other.emplace_back(std::string(name), value);
        }
    }
    e.style = parent;
    for (Property bad : ApplyDeclarations(e.declared, basis_, &e.style)) {
        ignored(el, PropertyName(bad), *e.declared[size_t(bad)]);
        e.declared[size_t(bad)].reset();
    }
    // A guide's own visibility is how guides are kept out of sight.
    if (e.guide) e.style.invisible = parent.invisible;
    e.hidden = e.style.displayNone || (e.style.invisible && !parent.invisible);
    // A group hidden by visibility shows what inside it is made visible
    // again: then it is not hidden but keeps its visibility.
    if (e.hidden && !e.style.displayNone && el.first_child() && ShowsAgain(el)) e.hidden = false;
    return e;
}

NameValues Importer::keep(const Element& e, const std::function<bool(Property)>& modelled) const {
    NameValues out = e.other;
    for (size_t i = 0; i < kPropertyCount; ++i) {
        const Property p = Property(i);
        // Visibility that hides the object is its hidden state; other
        // visibility (visible again inside a hidden group) is kept.
        if (!e.declared[i] || p == Property::Display || modelled(p)) continue;
        if (p == Property::Visibility && e.hidden) {
            if (!e.style.displayNone) out.emplace_back(kHiddenByVisibilityAttribute, std::string(Trim(*e.declared[i])));
            continue;
        }
        out.emplace_back(PropertyName(p), *e.declared[i]);
    }
    if (!e.residualStyle.empty()) out.emplace_back("style", JoinStyle(e.residualStyle));
    // In the file's order, so that a file written and read again keeps it.
    auto rank = [&](const std::string& name) {
        return size_t(std::find(e.order.begin(), e.order.end(), name) - e.order.begin());
    };
    std::stable_sort(out.begin(), out.end(),
                     [&](const auto& a, const auto& b) { return rank(a.first) < rank(b.first); });
    return out;
}

bool Refers(const NameValues& values) {
    for (const auto& [name, value] : values) {
        if (value.find("url(") != std::string::npos) return true;
        // Filter functions such as blur() measure in user units too.
        if (name == "filter" && Trim(value) != "none") return true;
        if (name == "style")
            for (const auto& [property, v] : SplitStyle(value))
                if (property == "filter" && Trim(v) != "none") return true;
    }
    return false;
}

std::string SpaceText(const HostMatrix& m) {
    std::string out;
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) out += (out.empty() ? "" : " ") + FormatExact(v);
    return out;
}

void SetValue(NameValues& values, const std::string& name, const std::string& value) {
    for (auto& [n, v] : values)
        if (n == name) {
            v = value;
            return;
        }
    values.emplace_back(name, value);
}

// Axis 0 x, 1 y, 2 other: what a percentage is of. A value that cannot be
// read counts as not given.
double Importer::length(pugi::xml_node el, const char* name, double fallback, int axis, double fontSize) const {
    pugi::xml_attribute a = el.attribute(name);
    if (!a) return fallback;
    std::string_view text = a.value();
    // Text positions may be lists; the first value places the text.
    if (const size_t cut = Trim(text).find_first_of(" ,\t\r\n"); cut != std::string_view::npos)
        text = Trim(text).substr(0, cut);
    Length l;
    if (!ParseLength(text, &l)) {
        ignored(el, name, a.value());
        return fallback;
    }
    const double value = ResolveLength(l, basis_, fontSize, axis == 0 ? Axis::X : axis == 1 ? Axis::Y : Axis::Diagonal);
    if (!std::isfinite(value)) {
        ignored(el, name, a.value(), "out of range");
        return fallback;
    }
    return value;
}

// The model's colour: CMYK or gray when the file's data attribute still
// matches the RGB shown (another editor may have changed the colour).
HostColor Importer::color(const Rgba& rgba, const std::string& cmyk, const std::string& gray) const {
    auto close = [&](double r, double g, double b) {
        const double tolerance = 0.5 / 255;
        return std::fabs(r - rgba.r) <= tolerance && std::fabs(g - rgba.g) <= tolerance &&
               std::fabs(b - rgba.b) <= tolerance;
    };
    HostColor out{};
    if (!cmyk.empty()) {
        NumberCursor cursor(cmyk);
        double v[4];
        bool ok = true;
        cursor.skipSpace();
        for (double& x : v) {
            const char* error;
            ok = ok && cursor.number(&x, &error) && x >= 0 && x <= 1;
            cursor.skipSeparator();
        }
        if (ok && cursor.atEnd() && close((1 - v[0]) * (1 - v[3]), (1 - v[1]) * (1 - v[3]), (1 - v[2]) * (1 - v[3]))) {
            out.kind = kHostFourColor;
            out.c.four = {v[0], v[1], v[2], v[3]};
            return out;
        }
    }
    double g;
    if (!gray.empty() && ParseNumber(gray, &g) && g >= 0 && g <= 1 && close(1 - g, 1 - g, 1 - g)) {
        out.kind = kHostGrayColor;
        out.c.gray.gray = g;
        return out;
    }
    out.kind = kHostThreeColor;
    out.c.three = {rgba.r, rgba.g, rgba.b};
    return out;
}

std::string Importer::verbatim(pugi::xml_node el) const {
    std::ostringstream out;
    if (el.type() == pugi::node_element && Prefix(el.name()).empty() && svgName(el).empty() && !el.attribute("xmlns")) {
        // Not SVG, and without a prefix: it is in the default namespace of
        // its place, or in none. It is kept saying which, since where it is
        // written SVG is the default.
        const char* space = "";
        for (pugi::xml_node n = el; n.type() == pugi::node_element; n = n.parent())
            if (pugi::xml_attribute a = n.attribute("xmlns")) {
                space = a.value();
                break;
            }
        pugi::xml_document copy;
        pugi::xml_node kept = copy.append_copy(el);
        kept.prepend_attribute("xmlns").set_value(space);
        kept.print(out, "", pugi::format_raw);
        return out.str();
    }
    el.print(out, "", pugi::format_raw);
    return out.str();
}

// The XML of an element's children, for elements kept as one object.
std::string Importer::children(pugi::xml_node el) const {
    std::string out;
    for (pugi::xml_node child : el.children()) {
        if (child.type() == pugi::node_pcdata && Trim(child.value()).empty()) continue;
        out += verbatim(child);
    }
    return out;
}

// ---------------------------------------------------------------- structure

Art* Importer::add(Art* container, int32_t type, int32_t order) {
    Art* art = nullptr;
    if (HostErr err = document_.newArt(type, order, container, &art))
        throw ImportError{"cannot place art in the document (error " + std::to_string(err) + ")"};
    return art;
}

Art* Importer::addPaths(Art* container, std::vector<Subpath>& subpaths, bool guide, const HostPathStyle& style) {
    if (subpaths.size() == 1) {
        Art* art = add(container, kHostPathArt);
        *art->path() = PathData{style, std::move(subpaths[0].segments), subpaths[0].closed, guide};
        return art;
    }
    Art* art = add(container, kHostCompoundPathArt);
    for (Subpath& sub : subpaths) {
        Art* member = add(art, kHostPathArt, kHostPlaceInsideOnBottom);
        *member->path() = PathData{style, std::move(sub.segments), sub.closed, guide};
    }
    return art;
}

// Name, tags, hidden and locked state: common to every object.
void Importer::finish(Art* art, const Element& e, const Context&) {
    art->name = e.id.empty() ? e.label : e.id;
    if (!e.id.empty() && !e.label.empty()) SetValue(art->foreignAttributes, e.labelAttribute, e.label);
    if (!e.tags.empty()) {
        // name=value pairs joined by '&', each part percent-encoded.
        auto decode = [](std::string_view s) {
            std::string out;
            for (size_t i = 0; i < s.size(); ++i) {
                if (s[i] == '%' && i + 2 < s.size()) {
                    auto hex = [](char c) {
                        return c >= '0' && c <= '9'   ? c - '0'
                               : c >= 'A' && c <= 'F' ? c - 'A' + 10
                               : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                      : -1;
                    };
                    const int hi = hex(s[i + 1]), lo = hex(s[i + 2]);
                    if (hi >= 0 && lo >= 0) {
                        out.push_back(char(hi * 16 + lo));
                        i += 2;
                        continue;
                    }
                }
                out.push_back(s[i]);
            }
            return out;
        };
        std::string_view rest = e.tags;
        while (!rest.empty()) {
            const size_t amp = rest.find('&');
            const std::string_view pair = rest.substr(0, amp);
            const size_t eq = pair.find('=');
            if (eq != std::string_view::npos)
                art->tags.emplace_back(decode(pair.substr(0, eq)), decode(pair.substr(eq + 1)));
            rest = amp == std::string_view::npos ? std::string_view() : rest.substr(amp + 1);
        }
    }
    const int32_t attributes = (e.hidden ? kHostArtHidden : 0) | (e.locked ? kHostArtLocked : 0);
    if (attributes) pendingAttributes_.emplace_back(art, attributes);
}

void Importer::importChildren(pugi::xml_node parent, Art* container, Layer* layer, const Context& context) {
    for (pugi::xml_node child : parent.children())
        if (child.type() == pugi::node_element) importElement(child, container, layer, context);
}

void Importer::importElement(pugi::xml_node el, Art* container, Layer* layer, const Context& context) {
    const std::string_view name = svgName(el);
    if (name == "clipPath" && consumedClips_.count(el.internal_object())) return;
    const bool shape = name == "path" || name == "rect" || name == "circle" || name == "ellipse" || name == "line" ||
                       name == "polyline" || name == "polygon";
    if (shape || name == "image" || name == "use") {
        if (pugi::xml_node clip = clipShape(el)) {
            // The element inside a clipping group of its own.
            Art* group = add(container, kHostGroupArt);
            unclipped_ = el;
            if (shape)
                importShape(el, name, group, context);
            else if (name == "image")
                importImage(el, group, context);
            else
                importUse(el, group, context);
            unclipped_ = {};
            addClip(group, el, clip, context);
            return;
        }
    }
    if (name == "g") {
        bool layerMark = false;
        for (pugi::xml_attribute a : el.attributes())
            if (namespaces_.is(a.name(), namespaces_.inkscape, "groupmode"))
                layerMark = std::string_view(a.value()) == "layer";
        if (layer && layerMark) {
            Layer* sublayer = nullptr;
            if (document_.insertLayer(layer, kHostPlaceInsideOnTop, &sublayer))
                throw ImportError{"cannot insert a sublayer"};
            importLayer(el, sublayer, context, ++layerCount_);
        } else {
            importGroup(el, container, context);
        }
    } else if (name == "path" || name == "rect" || name == "circle" || name == "ellipse" || name == "line" ||
               name == "polyline" || name == "polygon") {
        importShape(el, name, container, context);
    } else if (name == "text") {
        importText(el, container, context);
    } else if (name == "image") {
        importImage(el, container, context);
    } else if (name == "use") {
        importUse(el, container, context);
    } else if (name == "symbol") {
        // Imported as a symbol definition.
    } else if (name == "defs" && !el.first_child()) {
        // Emptied of its symbols: nothing left to keep.
    } else {
        importForeign(el, container, context);
    }
}

void Importer::importLayer(pugi::xml_node el, Layer* layer, const Context& context, int number) {
    Element e = read(el, context.style, [](std::string_view) { return false; });
    layer->title = !e.label.empty() ? e.label : !e.id.empty() ? e.id : "Layer " + std::to_string(number);
    NameValues foreign;
    if (!e.id.empty()) foreign.emplace_back("id", e.id);
    if (!e.label.empty() && e.label != layer->title) foreign.emplace_back(e.labelAttribute, e.label);
    for (auto& kv : keep(e, [](Property) { return false; })) foreign.push_back(std::move(kv));
    if (Refers(foreign)) foreign.emplace_back(kSpaceAttribute, SpaceText(Concat(e.transform, context.ctm)));
    layer->foreignAttributes = std::move(foreign);
    if (e.hidden || e.locked) pendingLayers_.push_back({layer, !e.hidden, !e.locked});
    Context inner{Concat(e.transform, context.ctm), e.style};
    importChildren(el, layer->group(), layer, inner);
}

void Importer::importGroup(pugi::xml_node el, Art* container, const Context& context) {
    const pugi::xml_node clip = clipShape(el);
    if (clip) unclipped_ = el;
    Element e = read(el, context.style, [](std::string_view) { return false; });
    unclipped_ = {};
    Art* group = add(container, kHostGroupArt);
    group->foreignAttributes = keep(e, [](Property) { return false; });
    if (!e.groupmode.empty()) SetValue(group->foreignAttributes, e.groupmodeAttribute, e.groupmode);
    if (Refers(group->foreignAttributes))
        group->foreignAttributes.emplace_back(kSpaceAttribute, SpaceText(Concat(e.transform, context.ctm)));
    finish(group, e, context);
    Context inner{Concat(e.transform, context.ctm), e.style};
    importChildren(el, group, nullptr, inner);
    if (clip) addClip(group, el, clip, context);
}

// ---------------------------------------------------------------- shapes

bool IsShapeAttribute(std::string_view shape, std::string_view name) {
    if (shape == "path") return name == "d";
    if (shape == "rect")
        return name == "x" || name == "y" || name == "width" || name == "height" || name == "rx" || name == "ry";
    if (shape == "circle") return name == "cx" || name == "cy" || name == "r";
    if (shape == "ellipse") return name == "cx" || name == "cy" || name == "rx" || name == "ry";
    if (shape == "line") return name == "x1" || name == "y1" || name == "x2" || name == "y2";
    return name == "points";
}

std::vector<Subpath> Importer::shapeGeometry(pugi::xml_node el, std::string_view name, double fontSize) {
    PathBuilder builder(&segmentBudget_);
    auto lineTo = [&](HostPoint p) {
        if (p.x != builder.current().x || p.y != builder.current().y) builder.lineTo(p);
    };
    auto ellipse = [&](double cx, double cy, double rx, double ry) {
        builder.moveTo({cx + rx, cy});
        builder.arcTo(rx, ry, 0, false, true, {cx, cy + ry});
        builder.arcTo(rx, ry, 0, false, true, {cx - rx, cy});
        builder.arcTo(rx, ry, 0, false, true, {cx, cy - ry});
        builder.arcTo(rx, ry, 0, false, true, {cx + rx, cy});
        builder.close();
    };
    if (name == "path") {
        std::vector<Subpath> out;
        PathDataError error;
        if (!ParsePathData(el.attribute("d").value(), &segmentBudget_, &out, &error)) {
            if (error.overBudget) fail(el, "too many path segments");
            warn(el, "d", "path data drawn up to offset " + std::to_string(error.offset) + ": " + error.message);
        }
        return out;
    }
    if (name == "rect") {
        const double x = length(el, "x", 0, 0, fontSize), y = length(el, "y", 0, 1, fontSize);
        const double w = length(el, "width", 0, 0, fontSize), h = length(el, "height", 0, 1, fontSize);
        if (w < 0 || h < 0) {
            warn(el, w < 0 ? "width" : "height", "not drawn: negative width or height");
            return {};
        }
        if (w == 0 || h == 0) return {};
        double rx = length(el, "rx", -1, 0, fontSize), ry = length(el, "ry", -1, 1, fontSize);
        if (rx < 0) rx = ry;
        if (ry < 0) ry = rx;
        rx = std::clamp(rx, 0.0, w / 2);
        ry = std::clamp(ry, 0.0, h / 2);
        if (rx == 0 || ry == 0) {
            builder.moveTo({x, y});
            builder.lineTo({x + w, y});
            builder.lineTo({x + w, y + h});
            builder.lineTo({x, y + h});
        } else {
            builder.moveTo({x + rx, y});
            lineTo({x + w - rx, y});
            builder.arcTo(rx, ry, 0, false, true, {x + w, y + ry});
            lineTo({x + w, y + h - ry});
            builder.arcTo(rx, ry, 0, false, true, {x + w - rx, y + h});
            lineTo({x + rx, y + h});
            builder.arcTo(rx, ry, 0, false, true, {x, y + h - ry});
            lineTo({x, y + ry});
            builder.arcTo(rx, ry, 0, false, true, {x + rx, y});
        }
        builder.close();
    } else if (name == "circle" || name == "ellipse") {
        const double cx = length(el, "cx", 0, 0, fontSize), cy = length(el, "cy", 0, 1, fontSize);
        double rx, ry;
        if (name == "circle") {
            rx = ry = length(el, "r", 0, 2, fontSize);
        } else {
            rx = length(el, "rx", -1, 0, fontSize);
            ry = length(el, "ry", -1, 1, fontSize);
            if (rx < 0) rx = ry;
            if (ry < 0) ry = rx;
        }
        if (rx < 0 || ry < 0) {
            warn(el, name == "circle" ? "r" : rx < 0 ? "rx" : "ry", "not drawn: negative radius");
            return {};
        }
        if (rx == 0 || ry == 0) return {};
        ellipse(cx, cy, rx, ry);
    } else if (name == "line") {
        builder.moveTo({length(el, "x1", 0, 0, fontSize), length(el, "y1", 0, 1, fontSize)});
        builder.lineTo({length(el, "x2", 0, 0, fontSize), length(el, "y2", 0, 1, fontSize)});
    } else {  // polyline, polygon
        NumberCursor cursor(el.attribute("points").value());
        std::vector<double> values;
        cursor.skipSpace();
        while (!cursor.atEnd()) {
            double v;
            const char* error;
            if (!cursor.number(&v, &error)) {
                warn(el, "points", "points used up to offset " + std::to_string(cursor.offset()) + ": " + error);
                break;
            }
            values.push_back(v);
            cursor.skipSeparator();
        }
        // An odd list draws its pairs; the last number has no partner.
        if (values.size() % 2) values.pop_back();
        if (values.empty()) return {};
        builder.moveTo({values[0], values[1]});
        for (size_t i = 2; i < values.size(); i += 2) builder.lineTo({values[i], values[i + 1]});
        if (name == "polygon") builder.close();
    }
    if (builder.overBudget()) fail(el, "too many path segments");
    return builder.take();
}

void Importer::importShape(pugi::xml_node el, std::string_view name, Art* container, const Context& context) {
    const std::string shape(name);
    Element e = read(el, context.style, [&](std::string_view a) { return IsShapeAttribute(shape, a); });
    std::vector<Subpath> subpaths = shapeGeometry(el, name, e.style.fontSize);
    if (subpaths.empty()) {
        // Nothing drawn (empty path data, a zero-sized shape): kept as it was.
        importForeign(el, container, context);
        return;
    }
    const HostMatrix m = Concat(e.transform, context.ctm);
    for (Subpath& sub : subpaths) {
        for (HostPathSegment& s : sub.segments) {
            s.p = Apply(m, s.p);
            s.in = Apply(m, s.in);
            s.out = Apply(m, s.out);
            for (double v : {s.p.x, s.p.y, s.in.x, s.in.y, s.out.x, s.out.y})
                if (!(std::fabs(v) <= kMaxCoordinate)) {
                    warn(el, "coordinates", "kept as written: coordinates out of range");
                    importForeign(el, container, context);
                    return;
                }
        }
        MarkCorners(sub.segments, sub.closed);
    }

    // Style.
    const ComputedStyle& cs = e.style;
    HostPathStyle style{};
    Rgba rgba;
    style.fillPaint = ResolvePaint(cs.fill, cs.color, &rgba);
    if (style.fillPaint) style.fill.color = color(rgba, e.cmykFill, e.grayFill);
    const double fillAlpha = style.fillPaint ? rgba.alpha : 1;
    style.strokePaint = ResolvePaint(cs.stroke, cs.color, &rgba);
    if (style.strokePaint) style.stroke.color = color(rgba, e.cmykStroke, e.grayStroke);
    if (style.fillPaint) ReadPatternPaint(e.patternFill, &style.fill.color);
    if (style.strokePaint) ReadPatternPaint(e.patternStroke, &style.stroke.color);
    const double strokeAlpha = style.strokePaint ? rgba.alpha : 1;
    const double scale = std::sqrt(std::fabs(m.a * m.d - m.b * m.c));
    style.stroke.width = cs.strokeWidth * scale;
    style.stroke.dashOffset = cs.dashOffset * scale;
    style.stroke.dashCount = int32_t(std::min<size_t>(cs.dashes.size(), kHostMaxDashes));
    for (int32_t i = 0; i < style.stroke.dashCount; ++i) style.stroke.dashes[i] = cs.dashes[i] * scale;
    if (style.stroke.dashCount % 2) --style.stroke.dashCount;
    style.stroke.cap = cs.cap;
    style.stroke.join = cs.join;
    style.stroke.miterLimit = cs.miterLimit;
    style.evenOdd = cs.evenOdd;

    Art* art = addPaths(container, subpaths, e.guide, style);
    art->foreignAttributes = keep(e, [](Property p) {
        switch (p) {
        case Property::Fill:
        case Property::FillRule:
        case Property::Stroke:
        case Property::StrokeWidth:
        case Property::StrokeLinecap:
        case Property::StrokeLinejoin:
        case Property::StrokeMiterlimit:
        case Property::StrokeDasharray:
        case Property::StrokeDashoffset: return true;
        default: return false;
        }
    });
    // What the model cannot hold of its own values goes back as written:
    // paint servers, long dash patterns, colour alpha (as opacity).
    const auto& fill = e.declared[size_t(Property::Fill)];
    const auto& stroke = e.declared[size_t(Property::Stroke)];
    if (fill && cs.fill.kind == Paint::Url) SetValue(art->foreignAttributes, "fill", *fill);
    if (stroke && cs.stroke.kind == Paint::Url) SetValue(art->foreignAttributes, "stroke", *stroke);
    if (e.declared[size_t(Property::StrokeDasharray)] && cs.dashes.size() > kHostMaxDashes) {
        // The whole pattern, in points like the model's first dashes.
        std::string all;
        for (double dash : cs.dashes) all += (all.empty() ? "" : " ") + FormatCoordinate(dash * scale);
        SetValue(art->foreignAttributes, "stroke-dasharray", all);
    }
    if (fill && fillAlpha < 1)
        SetValue(art->foreignAttributes, "fill-opacity", FormatExact(fillAlpha * cs.fillOpacity));
    if (stroke && strokeAlpha < 1)
        SetValue(art->foreignAttributes, "stroke-opacity", FormatExact(strokeAlpha * cs.strokeOpacity));
    if (std::string inner = children(el); !inner.empty())
        art->foreignAttributes.emplace_back(kChildrenAttribute, inner);
    // A stroke under a skew or an uneven scale is not one of even width:
    // drawn in its own space, it keeps its shape.
    const bool similar = std::fabs(m.a - m.d) <= 1e-9 * scale && std::fabs(m.b + m.c) <= 1e-9 * scale;
    const bool mirrored = std::fabs(m.a + m.d) <= 1e-9 * scale && std::fabs(m.b - m.c) <= 1e-9 * scale;
    if (Refers(art->foreignAttributes) || (style.strokePaint && !similar && !mirrored))
        art->foreignAttributes.emplace_back(kSpaceAttribute, SpaceText(m));
    finish(art, e, context);
}

// ---------------------------------------------------------------- text

void Importer::importText(pugi::xml_node el, Art* container, const Context& context) {
    Element e = read(el, context.style, IsTextAttribute);
    TextData data;
    if (!ReadText(*this, textPaths_, el, e.style, e.cmykFill, Concat(e.transform, context.ctm), &data)) {
        importForeign(el, container, context);
        return;
    }
    Art* art = add(container, kHostTextFrameArt);
    art->data = std::move(data);
    art->foreignAttributes = keep(e, IsTextModelled);
    finish(art, e, context);
}

// ---------------------------------------------------------------- images, symbols, foreign

bool IsPlacementAttribute(std::string_view name) {
    return name == "x" || name == "y" || name == "width" || name == "height";
}

void Importer::importImage(pugi::xml_node el, Art* container, const Context& context) {
    Element e = read(el, context.style, [&](std::string_view a) { return IsPlacementAttribute(a) || isHref(a); });
    const double fs = e.style.fontSize;
    PlacedData placed;
    placed.width = length(el, "width", 0, 0, fs);
    placed.height = length(el, "height", 0, 1, fs);
    if (placed.width < 0 || placed.height < 0) {
        warn(el, placed.width < 0 ? "width" : "height", "not drawn: negative width or height");
        importForeign(el, container, context);
        return;
    }
    placed.file = href(el);
    placed.matrix =
        Concat(Translation(length(el, "x", 0, 0, fs), length(el, "y", 0, 1, fs)), Concat(e.transform, context.ctm));
    for (double v :
         {placed.matrix.a, placed.matrix.b, placed.matrix.c, placed.matrix.d, placed.matrix.tx, placed.matrix.ty})
        if (!(std::fabs(v) <= kMaxCoordinate)) {
            warn(el, "coordinates", "kept as written: coordinates out of range");
            importForeign(el, container, context);
            return;
        }
    Art* art = nullptr;
    if (placed.file.starts_with("data:")) {
        // An embedded image is raster art: its pixels travel with the document.
        RasterData raster;
        raster.pixelWidth = static_cast<int32_t>(std::max(1.0, std::round(std::min(placed.width, 1e9))));
        raster.pixelHeight = static_cast<int32_t>(std::max(1.0, std::round(std::min(placed.height, 1e9))));
        const HostMatrix toImage = {placed.width / raster.pixelWidth, 0, 0, placed.height / raster.pixelHeight, 0, 0};
        raster.matrix = Concat(Concat(ImageToPixels(raster.pixelHeight), toImage), placed.matrix);
        raster.data = std::move(placed.file);
        art = add(container, kHostRasterArt);
        art->data = std::move(raster);
    } else {
        art = add(container, kHostPlacedArt);
        art->data = std::move(placed);
    }
    art->foreignAttributes = keep(e, [](Property) { return false; });
    if (std::string inner = children(el); !inner.empty())
        art->foreignAttributes.emplace_back(kChildrenAttribute, inner);
    finish(art, e, context);
}

Art* Importer::importForeign(pugi::xml_node el, Art* container, const Context& context) {
    Art* art = add(container, kHostForeignArt);
    ForeignData data;
    data.format = "svg";
    data.payload = verbatim(el);
    data.matrix = context.ctm;
    art->data = std::move(data);
    art->name = el.attribute("id").value();
    return art;
}

// ---------------------------------------------------------------- document

// Refuses nesting deeper than the importer's recursion can take, without
// recursing itself.
void Importer::checkNesting(pugi::xml_node root) {
    ForEachElement(root, [&](pugi::xml_node node, int depth) {
        if (depth > kMaxNesting) fail(node, "elements nested deeper than " + std::to_string(kMaxNesting) + " levels");
    });
}

void Importer::readRoot(pugi::xml_node root, Context* context) {
    bool hasViewBox = root.attribute("viewBox");
    ViewBox box;
    if (hasViewBox && !ParseViewBox(root.attribute("viewBox").value(), &box)) {
        ignored(root, "viewBox", root.attribute("viewBox").value());
        hasViewBox = false;
    }
    // Width and height in points; percentages say nothing about the page.
    auto size = [&](const char* name, double* points) {
        pugi::xml_attribute a = root.attribute(name);
        if (!a) return false;
        const std::string_view text = Trim(a.value());
        if (!text.empty() && text.back() == '%') return false;
        size_t n = text.size();
        while (n > 0 && std::isalpha(static_cast<unsigned char>(text[n - 1]))) --n;
        double v;
        const double unit = PointsPerUnit(text.substr(n));
        if (unit == 0 || !ParseNumber(text.substr(0, n), &v) || !(v > 0) || !(v * unit <= kMaxCoordinate)) {
            ignored(root, name, a.value());
            return false;
        }
        *points = v * unit;
        return true;
    };
    double width = 0, height = 0;
    const bool hasWidth = size("width", &width), hasHeight = size("height", &height);
    HostMatrix map;  // user space to the viewport, y down, in points
    if (hasViewBox) {
        if (!hasWidth && !hasHeight) {
            width = box.width * 0.75;
            height = box.height * 0.75;
        } else if (!hasWidth) {
            width = height * box.width / box.height;
        } else if (!hasHeight) {
            height = width * box.height / box.width;
        }
        if (!ViewBoxTransform(box, width, height, root.attribute("preserveAspectRatio").value(), &map)) {
            ignored(root, "preserveAspectRatio", root.attribute("preserveAspectRatio").value());
            ViewBoxTransform(box, width, height, "", &map);
        }
        basis_ = {box.width, box.height};
    } else {
        if (!hasWidth) width = 612;
        if (!hasHeight) height = 792;
        map = {0.75, 0, 0, 0.75, 0, 0};
        basis_ = {width / 0.75, height / 0.75};
    }
    // The viewBox origin stays where the file puts it: only the scale and
    // the aspect-ratio shift apply, then y turns up.
    const double originX = hasViewBox ? box.x * map.a : 0, originY = hasViewBox ? box.y * map.d : 0;
    map.tx += originX;
    map.ty += originY;
    document_.artboard = {originX, -originY, originX + width, -(originY + height)};
    for (double v : {document_.artboard.left, document_.artboard.top, document_.artboard.right,
                     document_.artboard.bottom, map.a, map.d, map.tx, map.ty})
        if (!(std::fabs(v) <= kMaxCoordinate)) fail(root, "page size or position out of range");
    // Sizes are written to a millionth of a point; a page must stay visible at that.
    if (!(width >= 1e-3) || !(height >= 1e-3)) fail(root, "page size out of range");

    Element e = read(root, ComputedStyle{}, [&](std::string_view a) {
        if (a == "width" || a == "height" || a == "viewBox" || a == "preserveAspectRatio" || a == "xmlns") return true;
        // The exporter declares these three itself, under these prefixes.
        const std::string_view uri = root.attribute(std::string(a).c_str()).value();
        if (a == "xmlns:xlink") return uri == kXlinkNamespace;
        if (a == "xmlns:inkscape") return uri == kInkscapeNamespace;
        if (a == "xmlns:sodipodi") return uri == kSodipodiNamespace;
        return false;
    });
    document_.foreignAttributes = keep(e, [](Property) { return false; });
    if (!e.id.empty()) document_.foreignAttributes.insert(document_.foreignAttributes.begin(), {"id", e.id});
    *context = Context{Concat(Concat(e.transform, map), kFlip), e.style};
}

bool RendersNothing(std::string_view name) {
    static const char* names[] = {"defs",           "style",          "metadata",  "title",         "desc",  "script",
                                  "linearGradient", "radialGradient", "pattern",   "clipPath",      "mask",  "filter",
                                  "marker",         "font",           "font-face", "color-profile", "cursor"};
    for (const char* n : names)
        if (name == n) return true;
    return name.empty();  // elements of other namespaces (editor settings and the like)
}

void Importer::run(pugi::xml_document& xml, const SvgImportOptions& options) {
    pugi::xml_node root = xml.document_element();
    if (!root) throw ImportError{"not an SVG document: no root element"};
    namespaces_.read(root);
    if (svgName(root) != "svg") throw ImportError{"not an SVG document: the root element is " + Quote(root.name())};
    checkNesting(root);
    InlineStyleSheets(root, [this](pugi::xml_node n) { return svgName(n); });
    findSymbols(root);
    indexIds(root);
    Context context;
    readRoot(root, &context);
    ResolveUserSpacePercentages(root, basis_, [this](pugi::xml_node n) { return svgName(n); });
    textPaths_.collect(*this, root);
    importSymbols();

    Layer* loose = nullptr;  // the layer taking art outside any group
    for (pugi::xml_node child : root.children()) {
        if (child.type() != pugi::node_element) continue;
        const std::string_view name = svgName(child);
        if (name == "g") {
            Layer* layer = nullptr;
            document_.insertLayer(nullptr, kHostPlaceAboveAll, &layer);
            importLayer(child, layer, context, ++layerCount_);
            loose = nullptr;
        } else if (name == "symbol") {
            continue;
        } else if (RendersNothing(name)) {
            if (name == "defs" && !child.find_child([](pugi::xml_node n) {
                    return n.type() != pugi::node_pcdata || !Trim(n.value()).empty();
                }))
                continue;
            document_.foreignContent.push_back(verbatim(child));
        } else {
            if (!loose) {
                document_.insertLayer(nullptr, kHostPlaceAboveAll, &loose);
                loose->title = "Layer " + std::to_string(++layerCount_);
            }
            importElement(child, loose->group(), loose, context);
        }
    }
    if (document_.topLayers().empty()) {
        Layer* layer = nullptr;
        document_.insertLayer(nullptr, kHostPlaceAboveAll, &layer);
        layer->title = "Layer 1";
    }
    checkSymbolCycles();
    for (std::string& defs : textPaths_.stillNeeded()) document_.foreignContent.push_back(std::move(defs));

    for (auto [art, attributes] : pendingAttributes_) document_.setAttributes(art, attributes, attributes);
    for (const PendingLayer& p : pendingLayers_) {
        p.layer->visible = p.visible;
        p.layer->editable = p.editable;
    }
    Layer* current = document_.topLayers().front();
    if (!options.currentLayer.empty()) {
        current = nullptr;
        for (Layer* layer : document_.allLayers())
            if (layer->title == options.currentLayer) {
                current = layer;
                break;
            }
        if (!current) throw ImportError{"no layer titled " + Quote(options.currentLayer)};
    }
    document_.setCurrentLayer(current);
}

std::string XmlError(const std::string& text, const pugi::xml_parse_result& result, const std::string& what) {
    size_t line = 1, column = 1;
    for (ptrdiff_t i = 0; i < result.offset && size_t(i) < text.size(); ++i) {
        if (text[size_t(i)] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return "bad XML at line " + std::to_string(line) + ", column " + std::to_string(column) + ": " + what;
}

}  // namespace importer

using importer::Importer;
using importer::ImportError;
using importer::XmlError;

std::unique_ptr<Document> ImportSvg(const std::string& input, const SvgImportOptions& options, std::string* error) {
    std::string ignored;
    if (!error) error = &ignored;
    error->clear();
    if (input.size() > kMaxFileBytes) {
        *error = "file too large: " + std::to_string(input.size()) + " bytes (the limit is " +
                 std::to_string(kMaxFileBytes >> 20) + " MiB)";
        return nullptr;
    }
    std::string converted;
    if (!ConvertToUtf8(input, &converted, error)) return nullptr;
    const std::string& text = converted.empty() ? input : converted;

    // XML 1.0 has no place for control characters other than tab and line
    // ends, not even as references; a browser refuses the file, and so do we.
    auto forbidden = [](unsigned long c) { return c < 0x20 && c != '\t' && c != '\n' && c != '\r'; };
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned long c = static_cast<unsigned char>(text[i]);
        if (c == '&' && i + 2 < text.size() && text[i + 1] == '#') {
            const bool hex = text[i + 2] == 'x';
            size_t j = i + (hex ? 3 : 2);
            c = 0x20;
            unsigned long code = 0;
            bool digits = false;
            for (; j < text.size() && std::isxdigit(static_cast<unsigned char>(text[j])) && code < 0x110000; ++j) {
                const char d = text[j];
                if (!hex && !std::isdigit(static_cast<unsigned char>(d))) break;
                code = code * (hex ? 16 : 10) +
                       unsigned(std::isdigit(static_cast<unsigned char>(d)) ? d - '0' : (d | 0x20) - 'a' + 10);
                digits = true;
            }
            if (digits && j < text.size() && text[j] == ';') c = code;
        }
        if (forbidden(c)) {
            pugi::xml_parse_result at;
            at.offset = ptrdiff_t(i);
            *error = XmlError(text, at, "control character " + Printable(std::string(1, char(c))));
            return nullptr;
        }
    }
    pugi::xml_document xml;
    const unsigned flags = pugi::parse_default | pugi::parse_ws_pcdata;
    pugi::xml_parse_result result = xml.load_buffer(text.data(), text.size(), flags, pugi::encoding_utf8);
    if (!result) {
        *error = XmlError(text, result, result.description());
        return nullptr;
    }
    auto document = std::make_unique<Document>();
    try {
        Importer importer(text, *document);
        importer.run(xml, options);
        if (options.warnings) *options.warnings = importer.warnings();
    } catch (const ImportError& e) {
        *error = e.message;
        return nullptr;
    } catch (const std::bad_alloc&) {
        *error = "not enough memory to read the file";
        return nullptr;
    }
    return document;
}

}  // namespace orbalis::host::svg
