#include "host/io/svg/SvgExporter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "host/io/svg/SvgConventions.h"
#include "host/io/svg/SvgMarkup.h"
#include "host/io/svg/SvgNumbers.h"
#include "host/io/svg/SvgPathData.h"
#include "host/io/svg/SvgStyle.h"
#include "host/io/svg/SvgTextExport.h"
#include "host/io/svg/SvgTransform.h"
#include "host/model/Bounds.h"
#include "host/model/Geometry.h"
#include "host/model/TextLayout.h"

namespace orbalis::host::svg {
namespace {

// The element's own user space kept on import: the maps from it to the
// page (y up) and from the page into it.
bool OwnSpace(const NameValues& foreign, HostMatrix* toPage, HostMatrix* fromPage) {
    const std::string* text = nullptr;
    for (const auto& [n, v] : foreign)
        if (n == kSpaceAttribute) text = &v;
    if (!text) return false;
    double v[6];
    NumberCursor cursor(*text);
    for (double& x : v) {
        cursor.skipSeparator();
        const char* error = nullptr;
        if (!cursor.number(&x, &error) || !std::isfinite(x)) return false;
    }
    const HostMatrix m{v[0], v[1], v[2], v[3], v[4], v[5]};
    HostMatrix inverse{};
    if (!Invert(m, &inverse)) return false;
    *toPage = m;
    *fromPage = inverse;
    return true;
}

void SetTransform(Attributes& attributes, const HostMatrix& m) {
    if (!IsIdentity(m)) attributes.set("transform", FormatTransform(m));
}

std::string Dashes(const double* dashes, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        if (i) out += ' ';
        out += FormatCoordinate(dashes[i]);
    }
    return out;
}

std::string EncodeTags(const NameValues& tags) {
    auto encode = [](const std::string& s) {
        std::string out;
        static const char hex[] = "0123456789ABCDEF";
        for (unsigned char c : s) {
            if (c == '%' || c == '&' || c == '=' || c < 0x20 || c == 0x7F) {
                out.push_back('%');
                out.push_back(hex[c >> 4]);
                out.push_back(hex[c & 15]);
            } else {
                out.push_back(char(c));
            }
        }
        return out;
    };
    std::string out;
    for (const auto& [name, value] : tags) {
        if (!out.empty()) out += '&';
        out += encode(name) + "=" + encode(value);
    }
    return out;
}

const std::string* Find(const NameValues& values, const std::string& name) {
    for (const auto& [n, v] : values)
        if (n == name) return &v;
    return nullptr;
}

class Exporter : private TextWriterContext {
public:
    explicit Exporter(const Document& document) : document_(document) {
        const HostRect& a = document.artboard;
        basis_ = {std::fabs(a.right - a.left), std::fabs(a.top - a.bottom)};
    }

    std::string run();

private:
    void writeArt(const Art* art, const ComputedStyle& inherited, int depth);
    void writeLayer(const Layer* layer, const ComputedStyle& inherited, int depth);
    // Back to front, leaving out `skip`.
    void writeChildren(const Art* container, const ComputedStyle& inherited, int depth, const Art* skip = nullptr);
    // A clipping group's clipping path as a <clipPath>; returns its id.
    void writeClipPath(const Art* clip, const std::string& id, int depth);
    std::string freshId(const std::string& wanted);
    void writePath(const Art* art, const ComputedStyle& inherited, int depth);
    void writeForeign(const Art* art, int depth);
    void writePlacement(const Art* art, const char* element, const HostMatrix& imageToPage, double width, double height,
                        const std::string& href, int depth);
    void writeUse(const Art* art, int depth);

    // id, or a label for names no good as ids.
    void nameAttributes(const std::string& name, Attributes& attributes) override;
    // Foreign attributes, then hidden and locked state and tags.
    void commonAttributes(const Art* art, Attributes& attributes) override;
    std::string newId(const std::string& stem) override;
    void readForeignIds();
    void open(const char* element, const Attributes& attributes, int depth, bool empty);
    void close(const char* element, int depth);
    ComputedStyle inside(const ComputedStyle& inherited, const NameValues& foreign) const;
    std::string symbolId(const std::string& name);

    const Document& document_;
    std::string out_;
    // From the page (y up) into the user space of the element being written:
    // the root's (y down), or that of a group kept in its own space.
    HostMatrix pageToUser_ = kFlip;
    LengthBasis basis_;
    std::set<std::string> usedIds_;
    // Ids that content kept as written, layers or the document give or refer to.
    std::set<std::string> foreignIds_;
    std::map<std::string, std::string> symbolIds_;
};

void Exporter::open(const char* element, const Attributes& attributes, int depth, bool empty) {
    out_.append(size_t(depth), ' ');
    out_ += '<';
    out_ += element;
    attributes.write(out_);
    out_ += empty ? "/>\n" : ">\n";
}

void Exporter::close(const char* element, int depth) {
    out_.append(size_t(depth), ' ');
    out_ += "</";
    out_ += element;
    out_ += ">\n";
}

void Exporter::nameAttributes(const std::string& name, Attributes& attributes) {
    if (name.empty()) return;
    bool usable = true;
    for (unsigned char c : name) usable = usable && c > 0x20 && c != 0x7F;
    if (usable && usedIds_.insert(name).second)
        attributes.set("id", name);
    else
        attributes.set("inkscape:label", name);
}

// The ids that XML kept as written gives its elements or refers to
// ("#id" values, url(#id)).
void CollectIds(const std::string& xml, std::set<std::string>& out) {
    auto until = [&](size_t start, char end) {
        const size_t stop = xml.find(end, start);
        if (stop != std::string::npos) out.insert(xml.substr(start, stop - start));
    };
    for (size_t at = xml.find("id="); at != std::string::npos; at = xml.find("id=", at + 3)) {
        if (at + 3 >= xml.size() || (xml[at + 3] != '"' && xml[at + 3] != '\'')) continue;
        if (at > 0 && !std::isspace(static_cast<unsigned char>(xml[at - 1]))) continue;
        until(at + 4, xml[at + 3]);
    }
    for (size_t at = xml.find('#'); at != std::string::npos; at = xml.find('#', at + 1)) {
        if (at == 0) continue;
        const char before = xml[at - 1];
        if (before == '"' || before == '\'')
            until(at + 1, before);
        else if (before == '(' && at >= 4 && xml.compare(at - 4, 4, "url(") == 0)
            until(at + 1, ')');
    }
}

void CollectForeignIds(const Art* art, std::set<std::string>& out) {
    for (const Art* a = art; a; a = a->next()) {
        if (const auto* f = std::get_if<ForeignData>(&a->data)) CollectIds(f->payload, out);
        for (const auto& [name, value] : a->foreignAttributes)
            CollectIds(name == kChildrenAttribute ? value : "\"" + value + "\"", out);
        CollectForeignIds(a->firstChild(), out);
    }
}

void Exporter::readForeignIds() {
    for (const std::string& content : document_.foreignContent) CollectIds(content, foreignIds_);
    for (const auto& [name, value] : document_.foreignAttributes) CollectIds("\"" + value + "\"", foreignIds_);
    for (const Layer* layer : document_.allLayers()) {
        for (const auto& [name, value] : layer->foreignAttributes)
            if (name == "id")
                foreignIds_.insert(value);
            else
                CollectIds("\"" + value + "\"", foreignIds_);
        if (!document_.parentLayer(layer)) CollectForeignIds(layer->group()->firstChild(), foreignIds_);
    }
    for (const SymbolDefinition& s : document_.symbols()) CollectForeignIds(s.art->firstChild(), foreignIds_);
}

std::string Exporter::newId(const std::string& stem) {
    // A new id must not be one that elements kept as written or layers have
    // or refer to: references would find the wrong element.
    for (int n = 1;; ++n) {
        std::string id = stem + "-" + std::to_string(n);
        if (!foreignIds_.count(id) && usedIds_.insert(id).second) return id;
    }
}

// Hidden as the file hid it, by visibility or else by display.
void Hide(const NameValues& foreign, Attributes& attributes) {
    if (const std::string* visibility = Find(foreign, kHiddenByVisibilityAttribute)) {
        attributes.set("visibility", *visibility);
        return;
    }
    const std::string* style = Find(foreign, "style");
    attributes.set("style", "display:none" + (style ? ";" + *style : std::string()));
}

void Exporter::commonAttributes(const Art* art, Attributes& attributes) {
    for (const auto& [name, value] : art->foreignAttributes)
        if (name != kChildrenAttribute && name != kSpaceAttribute) attributes.setKept(name, value);
    if (art->attributes() & kHostArtHidden) Hide(art->foreignAttributes, attributes);
    if (art->attributes() & kHostArtLocked) attributes.set("sodipodi:insensitive", "true");
    if (!art->tags.empty()) attributes.set(kTagsAttribute, EncodeTags(art->tags));
}

// The style the children of an element with these attributes inherit, as
// the importer will compute it from the written file.
ComputedStyle Exporter::inside(const ComputedStyle& inherited, const NameValues& foreign) const {
    Declarations declared;
    for (const auto& [name, value] : foreign) {
        if (name == "style") {
            for (const auto& [n, v] : SplitStyle(value))
                if (auto p = FindProperty(n)) declared[size_t(*p)] = v;
        } else if (auto p = FindProperty(name)) {
            if (!declared[size_t(*p)]) declared[size_t(*p)] = value;
        }
    }
    // A value the importer passes over is not inherited either.
    ComputedStyle style = inherited;
    ApplyDeclarations(declared, basis_, &style);
    return style;
}

std::string Exporter::symbolId(const std::string& name) {
    auto it = symbolIds_.find(name);
    return it == symbolIds_.end() ? std::string() : it->second;
}

// ---------------------------------------------------------------- paths

// The paths of a path or of a compound path's members.
std::vector<const PathData*> PathsOf(const Art* art) {
    std::vector<const PathData*> members;
    if (const PathData* p = art->path()) {
        members.push_back(p);
    } else {
        for (const Art* c = art->firstChild(); c; c = c->next())
            if (const PathData* p = c->path()) members.push_back(p);
    }
    return members;
}

// Path data of them all, their points mapped by `m`.
std::string PathDataOf(const std::vector<const PathData*>& members, const HostMatrix& m) {
    std::string d;
    for (const PathData* p : members) {
        std::vector<HostPathSegment> mapped = p->segments;
        for (HostPathSegment& s : mapped) {
            s.p = Apply(m, s.p);
            s.in = Apply(m, s.in);
            s.out = Apply(m, s.out);
        }
        AppendPathData(d, mapped, p->closed);
    }
    return d;
}

void Exporter::writePath(const Art* art, const ComputedStyle& inherited, int depth) {
    const std::vector<const PathData*> members = PathsOf(art);
    if (members.empty()) return;
    const HostPathStyle& style = members.front()->style;

    // Written in the page's space (y down), or in the element's own user
    // space when what it refers to needs that.
    HostMatrix toPage = kFlip, fromPage = pageToUser_;
    const bool ownSpace = OwnSpace(art->foreignAttributes, &toPage, &fromPage);
    // Points per unit of the space written in; lengths in any other space
    // than the page's are written out whatever they would inherit.
    const double unit = 1 / std::sqrt(std::fabs(fromPage.a * fromPage.d - fromPage.b * fromPage.c));
    const bool scaled = ownSpace || !SameMatrix(pageToUser_, kFlip);
    const std::string d = PathDataOf(members, fromPage);
    if (d.empty()) return;

    Attributes a;
    nameAttributes(art->name, a);
    a.set("d", d);
    if (ownSpace) SetTransform(a, Concat(toPage, pageToUser_));

    // A paint is written unless the element would inherit the same; a kept
    // paint-server reference wins while the model still shows its colour.
    auto paint = [&](const char* name, HostBool on, const HostColor& color, const Paint& from, const char* cmykName,
                     const char* grayName, const char* patternName) {
        const std::string* kept = Find(art->foreignAttributes, name);
        Paint keptPaint;
        if (kept && ParsePaint(*kept, &keptPaint)) {
            Rgba shown;
            // currentColor is the element's own colour where it keeps one.
            const bool keptOn = ResolvePaint(keptPaint, inside(inherited, art->foreignAttributes).color, &shown);
            if (keptOn == bool(on) &&
                (!on || (color.kind == kHostThreeColor && FormatColor(shown) == FormatColor(ShownColor(color))))) {
                a.set(name, *kept);
                return;
            }
        }
        if (kept) a.withhold(name);
        Rgba inheritedColor;
        const bool inheritedOn = ResolvePaint(from, inherited.color, &inheritedColor);
        if (!on) {
            if (inheritedOn) a.set(name, "none");
            return;
        }
        const std::string text = FormatColor(ShownColor(color));
        if (color.kind != kHostThreeColor || !inheritedOn || from.kind == Paint::Url ||
            text != FormatColor(inheritedColor))
            a.set(name, text);
        if (color.kind == kHostFourColor) {
            const HostFourColor& f = color.c.four;
            a.set(cmykName, FormatExact(f.cyan) + " " + FormatExact(f.magenta) + " " + FormatExact(f.yellow) + " " +
                                FormatExact(f.black));
        } else if (color.kind == kHostGrayColor) {
            a.set(grayName, FormatExact(color.c.gray.gray));
        } else if (color.kind == kHostPatternColor) {
            const HostMatrix& m = color.c.pattern.transform;
            std::string text = std::to_string(color.c.pattern.pattern);
            for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty}) text += " " + FormatExact(v);
            a.set(patternName, text);
        }
    };
    paint("fill", style.fillPaint, style.fill.color, inherited.fill, kCmykFillAttribute, kGrayFillAttribute,
          kPatternFillAttribute);
    if (bool(style.evenOdd) != inherited.evenOdd) a.set("fill-rule", style.evenOdd ? "evenodd" : "nonzero");
    paint("stroke", style.strokePaint, style.stroke.color, inherited.stroke, kCmykStrokeAttribute, kGrayStrokeAttribute,
          kPatternStrokeAttribute);
    auto capsAndJoins = [&](const HostStrokeStyle& s) {
        static const char* caps[] = {"butt", "round", "square"};
        static const char* joins[] = {"miter", "round", "bevel"};
        if (s.cap != inherited.cap && s.cap >= 0 && s.cap <= 2) a.set("stroke-linecap", caps[s.cap]);
        if (s.join != inherited.join && s.join >= 0 && s.join <= 2) a.set("stroke-linejoin", joins[s.join]);
        if (s.miterLimit >= 1 && FormatExact(s.miterLimit) != FormatExact(inherited.miterLimit))
            a.set("stroke-miterlimit", FormatExact(s.miterLimit));
    };
    if (style.strokePaint && scaled) {
        // Lengths in the element's own units, whatever it would inherit.
        const HostStrokeStyle& s = style.stroke;
        a.set("stroke-width", FormatCoordinate(s.width / unit));
        capsAndJoins(s);
        const int count = std::clamp<int>(s.dashCount, 0, kHostMaxDashes);
        std::vector<double> dashes(s.dashes, s.dashes + count);
        if (const std::string* kept = Find(art->foreignAttributes, "stroke-dasharray")) {
            // A pattern longer than the model holds, kept in points.
            const std::vector<double> all = inside(ComputedStyle{}, {{"stroke-dasharray", *kept}}).dashes;
            if (all.size() > kHostMaxDashes && Dashes(all.data(), kHostMaxDashes) == Dashes(dashes.data(), count))
                dashes = all;
            a.withhold("stroke-dasharray");
        }
        for (double& v : dashes) v /= unit;
        if (count || !inherited.dashes.empty())
            a.set("stroke-dasharray", count ? Dashes(dashes.data(), int(dashes.size())) : "none");
        if (count) a.set("stroke-dashoffset", FormatCoordinate(s.dashOffset / unit));
    } else if (style.strokePaint) {
        const HostStrokeStyle& s = style.stroke;
        if (FormatCoordinate(s.width) != FormatCoordinate(inherited.strokeWidth))
            a.set("stroke-width", FormatCoordinate(s.width));
        capsAndJoins(s);
        const int count = std::clamp<int>(s.dashCount, 0, kHostMaxDashes);
        const std::string dashes = count ? Dashes(s.dashes, count) : "none";
        const std::string inheritedDashes =
            inherited.dashes.empty() ? "none" : Dashes(inherited.dashes.data(), int(inherited.dashes.size()));
        const std::string* keptDashes = Find(art->foreignAttributes, "stroke-dasharray");
        // A pattern longer than the model holds was kept as written; it still
        // holds while the model has its first dashes.
        std::vector<double> keptValues;
        if (keptDashes) keptValues = inside(ComputedStyle{}, {{"stroke-dasharray", *keptDashes}}).dashes;
        if (keptValues.size() > kHostMaxDashes)
            keptValues.resize(kHostMaxDashes);
        else
            keptValues.clear();
        if (!keptValues.empty() && Dashes(keptValues.data(), kHostMaxDashes) == dashes) {
            a.set("stroke-dasharray", *keptDashes);
        } else {
            if (dashes != inheritedDashes) a.set("stroke-dasharray", dashes);
            if (keptDashes) a.withhold("stroke-dasharray");
        }
        if (count && FormatCoordinate(s.dashOffset) != FormatCoordinate(inherited.dashOffset))
            a.set("stroke-dashoffset", FormatCoordinate(s.dashOffset));
    }
    if (!style.strokePaint) {
        // Markers are scaled by the stroke width, painted or not.
        bool marked = false;
        for (const auto& [name, value] : art->foreignAttributes)
            marked = marked || name.rfind("marker", 0) == 0 ||
                     (name == "style" && value.find("marker") != std::string::npos);
        const std::string width = FormatCoordinate(style.stroke.width / unit);
        if (marked && (scaled || width != FormatCoordinate(inherited.strokeWidth))) a.set("stroke-width", width);
    }
    if (!style.strokePaint && scaled) {
        // Without a stroke the dashes are only kept; still, in this space's units.
        if (const std::string* kept = Find(art->foreignAttributes, "stroke-dasharray")) {
            std::vector<double> all = inside(ComputedStyle{}, {{"stroke-dasharray", *kept}}).dashes;
            for (double& v : all) v /= unit;
            if (!all.empty()) a.set("stroke-dasharray", Dashes(all.data(), int(all.size())));
        }
    }
    if (members.front()->guide) {
        a.set(kGuideAttribute, "true");
        a.set("visibility", "hidden");
    }
    commonAttributes(art, a);
    const std::string* children = Find(art->foreignAttributes, kChildrenAttribute);
    open("path", a, depth, !children);
    if (children) {
        out_.append(size_t(depth + 1), ' ');
        out_ += *children;
        out_ += '\n';
        close("path", depth);
    }
}

// ---------------------------------------------------------------- images, symbols, foreign

void Exporter::writePlacement(const Art* art, const char* element, const HostMatrix& imageToPage, double width,
                              double height, const std::string& href, int depth) {
    const HostMatrix x = Concat(imageToPage, pageToUser_);
    Attributes a;
    nameAttributes(art->name, a);
    if (IsTranslation(x)) {
        if (x.tx != 0) a.set("x", FormatCoordinate(x.tx));
        if (x.ty != 0) a.set("y", FormatCoordinate(x.ty));
    } else {
        a.set("transform", FormatTransform(x));
    }
    if (std::string_view(element) == "image") {
        a.set("width", FormatCoordinate(width));
        a.set("height", FormatCoordinate(height));
    }
    if (!href.empty()) a.set("xlink:href", href);
    commonAttributes(art, a);
    const std::string* children = Find(art->foreignAttributes, kChildrenAttribute);
    open(element, a, depth, !children);
    if (children) {
        out_.append(size_t(depth + 1), ' ');
        out_ += *children;
        out_ += '\n';
        close(element, depth);
    }
}

void Exporter::writeUse(const Art* art, int depth) {
    const auto& symbol = std::get<SymbolData>(art->data);
    const std::string id = symbolId(symbol.symbol);
    if (id.empty()) return;  // an instance of a symbol the document does not have shows nothing
    writePlacement(art, "use", Concat(kFlip, symbol.matrix), 0, 0, "#" + id, depth);
}

void Exporter::writeForeign(const Art* art, int depth) {
    const auto& foreign = std::get<ForeignData>(art->data);
    if (foreign.format != "svg") return;  // only the native format holds other kinds
    pugi::xml_document fragment;
    if (!fragment.load_buffer(foreign.payload.data(), foreign.payload.size(),
                              pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_fragment, pugi::encoding_utf8))
        return;  // not XML: writing it would spoil the file
    const HostMatrix x = Concat(foreign.matrix, pageToUser_);
    pugi::xml_node element = fragment.first_child();
    while (element && element.type() != pugi::node_element) element = element.next_sibling();
    std::ostringstream text;
    if (IsIdentity(x)) {
        fragment.print(text, "", pugi::format_raw);
    } else if (element && !element.next_sibling()) {
        // The placement the element had from its ancestors joins its own transform.
        pugi::xml_attribute t = element.attribute("transform");
        const std::string own = t ? std::string(" ") + t.value() : std::string();
        if (!t) t = element.append_attribute("transform");
        t.set_value((FormatTransform(x) + own).c_str());
        fragment.print(text, "", pugi::format_raw);
    } else {
        text << "<g transform=\"" << FormatTransform(x) << "\">";
        fragment.print(text, "", pugi::format_raw);
        text << "</g>";
    }
    out_.append(size_t(depth), ' ');
    out_ += CleanText(text.str());
    out_ += '\n';
}

// ---------------------------------------------------------------- structure

// The clipping path of a clipping group: its first child, a path whose style clips.
const Art* ClippingPath(const Art* group) {
    const Art* first = group->firstChild();
    if (!first) return nullptr;
    const PathData* p = first->path();
    if (!p && first->type() == kHostCompoundPathArt && first->firstChild()) p = first->firstChild()->path();
    return p && p->style.clip ? first : nullptr;
}

std::string Exporter::freshId(const std::string& wanted) {
    std::string id = wanted;
    bool usable = !id.empty();
    for (unsigned char c : id) usable = usable && c > 0x20 && c != 0x7F && c != '"' && c != '#' && c != ')';
    for (int n = 1; !usable || usedIds_.count(id) || foreignIds_.count(id); ++n) {
        id = "clip-" + std::to_string(n);
        usable = true;
    }
    usedIds_.insert(id);
    return id;
}

void Exporter::writeClipPath(const Art* clip, const std::string& id, int depth) {
    const std::vector<const PathData*> members = PathsOf(clip);
    const std::string d = PathDataOf(members, pageToUser_);
    Attributes c;
    c.set("id", id);
    open("clipPath", c, depth, false);
    Attributes a;
    a.set("d", d.empty() ? "M 0 0 Z" : d);
    if (!members.empty() && members.front()->style.evenOdd) a.set("clip-rule", "evenodd");
    open("path", a, depth + 1, true);
    close("clipPath", depth);
}

void Exporter::writeChildren(const Art* container, const ComputedStyle& inherited, int depth, const Art* skip) {
    // Back to front: SVG paints later elements on top.
    for (const Art* child = container->lastChild(); child; child = child->prev()) {
        if (child == skip) continue;
        if (child->ownerLayer())
            writeLayer(child->ownerLayer(), inherited, depth);
        else
            writeArt(child, inherited, depth);
    }
}

void Exporter::writeArt(const Art* art, const ComputedStyle& inherited, int depth) {
    switch (art->type()) {
    case kHostGroupArt: {
        Attributes a;
        nameAttributes(art->name, a);
        HostMatrix toPage, fromPage;
        const bool ownSpace = OwnSpace(art->foreignAttributes, &toPage, &fromPage);
        if (ownSpace) SetTransform(a, Concat(toPage, pageToUser_));
        const HostMatrix outer = pageToUser_;
        if (ownSpace) pageToUser_ = fromPage;
        // A clipping group: its clip path, in the group's user space, inside it.
        const Art* clip = ClippingPath(art);
        std::string clipId;
        if (clip) {
            clipId = freshId(clip->name);
            a.set("clip-path", "url(#" + clipId + ")");
        }
        commonAttributes(art, a);
        open("g", a, depth, !art->firstChild());
        if (art->firstChild()) {
            if (clip) writeClipPath(clip, clipId, depth + 1);
            writeChildren(art, inside(inherited, art->foreignAttributes), depth + 1, clip);
            close("g", depth);
        }
        pageToUser_ = outer;
        return;
    }
    case kHostPathArt:
    case kHostCompoundPathArt: writePath(art, inside(inherited, {}), depth); return;
    case kHostTextFrameArt:
        if (!std::holds_alternative<TextData>(art->data)) return;
        WriteText(art, pageToUser_, depth, *this, out_);
        return;
    case kHostPlacedArt:
        if (const auto* p = std::get_if<PlacedData>(&art->data))
            writePlacement(art, "image", p->matrix, p->width, p->height, p->file, depth);
        return;
    case kHostRasterArt:
        if (const auto* r = std::get_if<RasterData>(&art->data))
            writePlacement(art, "image", Concat(ImageToPixels(r->pixelHeight), r->matrix), r->pixelWidth,
                           r->pixelHeight, r->data, depth);
        return;
    case kHostSymbolArt:
        if (std::holds_alternative<SymbolData>(art->data)) writeUse(art, depth);
        return;
    default:
        if (std::holds_alternative<ForeignData>(art->data)) writeForeign(art, depth);
        return;
    }
}

void Exporter::writeLayer(const Layer* layer, const ComputedStyle& inherited, int depth) {
    Attributes a;
    if (const std::string* id = Find(layer->foreignAttributes, "id")) {
        if (usedIds_.insert(*id).second) a.set("id", *id);
    }
    a.set("inkscape:groupmode", "layer");
    a.set("inkscape:label", layer->title);
    HostMatrix toPage, fromPage;
    const bool ownSpace = OwnSpace(layer->foreignAttributes, &toPage, &fromPage);
    if (ownSpace) SetTransform(a, Concat(toPage, pageToUser_));
    for (const auto& [name, value] : layer->foreignAttributes)
        if (name != "id" && name != kSpaceAttribute && !a.has(name)) a.set(name, value);
    if (!layer->visible) Hide(layer->foreignAttributes, a);
    if (!layer->editable) a.set("sodipodi:insensitive", "true");
    const Art* group = layer->group();
    open("g", a, depth, !group->firstChild());
    if (group->firstChild()) {
        const HostMatrix outer = pageToUser_;
        if (ownSpace) pageToUser_ = fromPage;
        writeChildren(group, inside(inherited, layer->foreignAttributes), depth + 1);
        pageToUser_ = outer;
        close("g", depth);
    }
}

std::string Exporter::run() {
    const HostRect& board = document_.artboard;
    readForeignIds();
    // A page with no extent cannot be a viewBox: it gets the smallest one the importer takes.
    const double width = std::max(std::fabs(board.right - board.left), 1e-3);
    const double height = std::max(std::fabs(board.top - board.bottom), 1e-3);
    const double left = std::min(board.left, board.right), top = std::max(board.top, board.bottom);

    // Ids the document already spends: its own, its layers'.
    if (const std::string* id = Find(document_.foreignAttributes, "id")) usedIds_.insert(*id);
    int symbolNumber = 0;
    for (const SymbolDefinition& s : document_.symbols()) {
        bool usable = !s.name.empty();
        for (unsigned char c : s.name) usable = usable && c > 0x20 && c != 0x7F && c != '"' && c != '#';
        std::string id = s.name;
        if (!usable || usedIds_.count(id)) {
            do id = "symbol-" + std::to_string(++symbolNumber);
            while (usedIds_.count(id));
        }
        usedIds_.insert(id);
        symbolIds_.emplace(s.name, id);
    }

    out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    Attributes root;
    root.set("xmlns", kSvgNamespace);
    root.set("xmlns:xlink", kXlinkNamespace);
    root.set("xmlns:inkscape", kInkscapeNamespace);
    root.set("xmlns:sodipodi", kSodipodiNamespace);
    root.set("width", FormatCoordinate(width) + "pt");
    root.set("height", FormatCoordinate(height) + "pt");
    root.set("viewBox", FormatCoordinate(left) + " " + FormatCoordinate(-top) + " " + FormatCoordinate(width) + " " +
                            FormatCoordinate(height));
    for (const auto& [name, value] : document_.foreignAttributes)
        if (!root.has(name)) root.set(name, value);
    open("svg", root, 0, false);

    const ComputedStyle rootStyle = inside(ComputedStyle{}, document_.foreignAttributes);
    if (!document_.symbols().empty()) {
        open("defs", {}, 1, false);
        for (const SymbolDefinition& s : document_.symbols()) {
            Attributes a;
            a.set("id", symbolIds_[s.name]);
            if (symbolIds_[s.name] != s.name) a.set("inkscape:label", s.name);
            for (const auto& [name, value] : s.art->foreignAttributes)
                if (!a.has(name)) a.set(name, value);
            // Symbol content lies around its origin, on all sides.
            if (!a.has("overflow")) a.set("overflow", "visible");
            open("symbol", a, 2, !s.art->firstChild());
            if (s.art->firstChild()) {
                writeChildren(s.art, inside(ComputedStyle{}, s.art->foreignAttributes), 3);
                close("symbol", 2);
            }
        }
        close("defs", 1);
    }

    // After the symbols: a kept duplicate of a symbol's id must not come first.
    for (const std::string& content : document_.foreignContent) {
        pugi::xml_document check;
        if (!check.load_buffer(content.data(), content.size(),
                               pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_fragment, pugi::encoding_utf8))
            continue;
        out_ += ' ';
        out_ += CleanText(content);
        out_ += '\n';
    }

    const auto& layers = document_.topLayers();
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) writeLayer(*it, rootStyle, 1);
    close("svg", 0);
    return std::move(out_);
}

}  // namespace

std::string ExportSvg(const Document& document) { return Exporter(document).run(); }

}  // namespace orbalis::host::svg
