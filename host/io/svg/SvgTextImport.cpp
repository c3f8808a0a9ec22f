#include "host/io/svg/SvgTextImport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <sstream>

#include "host/io/svg/SvgConventions.h"
#include "host/io/svg/SvgNumbers.h"
#include "host/io/svg/SvgPathData.h"
#include "host/io/svg/SvgTransform.h"
#include "host/io/svg/SvgTree.h"
#include "host/model/Geometry.h"
#include "host/model/TextLayout.h"
#include "host/model/TextStory.h"

namespace orbalis::host::svg {
namespace {

// Raised inside a text element that holds something the text model cannot
// (a link, several rotations per run); the whole element is then kept verbatim.
struct UnsupportedText {};

Justification JustificationOf(int textAnchor) {
    return textAnchor == 1 ? Justification::Center : textAnchor == 2 ? Justification::Right : Justification::Left;
}

// The place lists of one element (x, y, dx, dy, rotate), already in the
// text's own space, and how many of its characters have been placed.
struct PlaceLists {
    std::array<std::vector<double>, 5> lists;
    size_t used = 0;
    unsigned id = 0;
    // Of a tspan that starts a line: the y and dy its line starts at, in the
    // text's own space (NaN where not given).
    double lineY = NAN, lineDy = NAN;
    bool any() const {
        return std::any_of(lists.begin(), lists.end(), [](const auto& l) { return !l.empty(); });
    }
};

// Collects the runs and paragraphs of a text element, collapsing white
// space as SVG does where xml:space is not "preserve".
class TextBuilder {
public:
    explicit TextBuilder(TextData& data) : data_(data) {}

    // The lists of the element whose content follows, until leave().
    void enter(PlaceLists lists) {
        lists.id = ++lastId_;
        frames_.push_back(std::move(lists));
    }
    void leave() { frames_.pop_back(); }
    // Whether a rotate list is in force.
    bool rotating() const {
        return std::any_of(frames_.begin(), frames_.end(), [](const PlaceLists& f) { return !f.lists[4].empty(); });
    }

    // `preserve`: the white space of `raw` is kept as written.
    void add(std::string_view raw, const CharFeatures& features, bool preserve) {
        for (char c : raw) {
            if (c == '\n' || c == '\r') {
                if (!preserve) continue;
                c = ' ';
            }
            if (c == '\t') c = ' ';
            if (c == ' ' && !preserve) {
                // Of a stretch of white space the first space stays, with
                // the features of the element it was written in, unless
                // it follows a space kept as written.
                if (paragraphHasContent_ && !pendingSpace_ && !lastSpace_) {
                    pendingSpace_ = true;
                    pendingFeatures_ = features;
                    pendingFrames_.clear();
                    for (const PlaceLists& frame : frames_) pendingFrames_.push_back(frame.id);
                }
                continue;
            }
            if (pendingSpace_) {
                // The space belongs to the element it was written in: only
                // the lists of that element's ancestors still around count it.
                size_t common = 0;
                while (common < frames_.size() && common < pendingFrames_.size() &&
                       frames_[common].id == pendingFrames_[common])
                    ++common;
                put(' ', pendingFeatures_, common);
                pendingSpace_ = false;
            }
            put(c, features);
            paragraphHasContent_ = true;
            anyContent_ = true;
        }
    }

    void newParagraph(Justification justification, const CharFeatures& features) {
        pendingSpace_ = false;
        // The break ends the paragraph before: it belongs to that paragraph's last run.
        if (data_.runs.empty()) {
            put('\r', features);
        } else {
            data_.runs.back().text.push_back('\r');
            lastSpace_ = false;
            ++position_;
        }
        data_.paragraphs.push_back(justification);
        paragraphHasContent_ = false;
    }

    bool anyContent() const { return anyContent_; }

    // Where the line just begun starts across: at y, then dy further, in the
    // text's own space (NaN where not given).
    void lineStartsAt(double y, double dy) { lineStarts_.push_back({data_.paragraphs.size() - 1, y, dy}); }

    // Horizontal point text lays its lines out a line height apart; a line
    // the file starts elsewhere gets its baseline as the place of its first
    // shown character, as SVG places it: at its y, or dy below where the
    // line before ended (after that line's own places).
    void placeLineStarts() {
        if (lineStarts_.empty() || data_.frameKind != 0 || data_.orientation != 0) return;
        GlyphPlacement& g = data_.glyphs;
        auto entry = [](const std::vector<double>& list, size_t at) { return at < list.size() ? list[at] : NAN; };
        // Each line's height and first shown character, as the layout model takes them.
        struct Line {
            double height = 0;
            size_t first = SIZE_MAX;
            std::vector<size_t> shown;  // the positions of its shown characters
        };
        std::vector<Line> lines(1);
        size_t position = 0;
        for (const TextRun& run : data_.runs)
            for (char32_t c : DecodeUtf8(run.text)) {
                if (c == U'\r' || c == U'\n') {
                    lines.emplace_back();
                } else if (!run.features.hidden) {
                    lines.back().height = std::max(lines.back().height, run.features.fontSize);
                    lines.back().first = std::min(lines.back().first, position);
                    lines.back().shown.push_back(position);
                }
                ++position;
            }
        double modelStart = 0, baseline = 0;  // the model's start of a line; where SVG has got to
        size_t next = 0;
        for (size_t i = 0; i < lines.size(); ++i) {
            const Line& line = lines[i];
            if (i > 0) {
                modelStart -=
                    line.first == SIZE_MAX && !data_.runs.empty() ? data_.runs.back().features.fontSize : line.height;
                double wanted = modelStart;
                while (next < lineStarts_.size() && lineStarts_[next].paragraph < i) ++next;
                if (next < lineStarts_.size() && lineStarts_[next].paragraph == i) {
                    const LineStart& start = lineStarts_[next];
                    wanted = std::isfinite(start.y) ? start.y : baseline;
                    if (std::isfinite(start.dy)) wanted += start.dy;
                }
                baseline = wanted;
                if (line.first != SIZE_MAX && wanted != modelStart && !std::isfinite(entry(g.y, line.first))) {
                    if (g.y.size() <= line.first) g.y.resize(line.first + 1, NAN);
                    g.y[line.first] = wanted;
                }
            }
            // The line's own places move the baseline on, as they move the layout's.
            for (size_t at : line.shown) {
                if (const double y = entry(g.y, at); std::isfinite(y)) baseline = y;
                if (const double dy = entry(g.dy, at); std::isfinite(dy)) baseline += dy;
            }
        }
    }

private:
    struct LineStart {
        size_t paragraph;
        double y, dy;
    };
    std::vector<LineStart> lineStarts_;

    void put(char c, const CharFeatures& features, size_t frames = SIZE_MAX) {
        if (data_.runs.empty() || !SameFeatures(data_.runs.back().features, features))
            data_.runs.push_back({std::string(), features});
        data_.runs.back().text.push_back(c);
        lastSpace_ = c == ' ';
        if ((c & 0xC0) != 0x80) place(position_++, std::min(frames, frames_.size()));  // a character's first byte
    }

    // Gives the character at `position` what the innermost list that still
    // has an entry for it says; a rotate list's last angle holds for the
    // rest of its element.
    void place(size_t position, size_t frames) {
        GlyphPlacement& g = data_.glyphs;
        std::vector<double>* out[5] = {&g.x, &g.y, &g.dx, &g.dy, &g.rotate};
        const auto end = frames_.begin() + static_cast<std::ptrdiff_t>(frames);
        for (size_t k = 0; k < 5; ++k) {
            for (auto frame = std::make_reverse_iterator(end); frame != frames_.rend(); ++frame) {
                const std::vector<double>& list = frame->lists[k];
                if (list.empty() || (k < 4 && frame->used >= list.size())) continue;
                if (out[k]->size() <= position) out[k]->resize(position + 1, NAN);
                (*out[k])[position] = list[std::min(frame->used, list.size() - 1)];
                break;
            }
        }
        for (auto frame = frames_.begin(); frame != end; ++frame) ++frame->used;
    }

    TextData& data_;
    bool paragraphHasContent_ = false;
    bool lastSpace_ = false;
    bool anyContent_ = false;
    bool pendingSpace_ = false;
    CharFeatures pendingFeatures_;
    std::vector<PlaceLists> frames_;
    std::vector<unsigned> pendingFrames_;  // the frames around a pending space
    unsigned lastId_ = 0;
    size_t position_ = 0;  // in the story, line breaks counted
};

// The character rotation an element gives its glyphs: SVG turns them
// clockwise on its y-down page, the host counter-clockwise on its own. One
// angle for every glyph is all the model holds.
double GlyphRotation(pugi::xml_node el, double inherited) {
    const pugi::xml_attribute rotate = el.attribute("rotate");
    if (!rotate) return inherited;
    if (Trim(rotate.value()).find_first_of(" ,\t\r\n") != std::string_view::npos) return inherited;  // a list
    double degrees = 0;
    if (!ParseNumber(Trim(rotate.value()), &degrees) || !std::isfinite(degrees)) throw UnsupportedText{};
    return degrees == 0 ? 0 : -degrees;
}

// What an element passes on to the characters inside it.
struct Inherited {
    double scale = 1;     // of the font size, from the text's transform
    double rotation = 0;  // character rotation
    double horizontalScale = 1, verticalScale = 1;
    double baselineShift = 0;  // in points, the sum of the shifts of the elements around
    bool hidden = false;       // inside a tspan not displayed
    bool preserve = false;     // white space kept as written (xml:space)
    HostPoint anchor{0, 0};    // in user units: the origin of the text's own space
};

// Whether an element keeps its white space as written: its xml:space, else
// what it inherits.
bool PreservesSpace(pugi::xml_node el, bool inherited) {
    const std::string_view space = Trim(el.attribute("xml:space").value());
    return space == "preserve" ? true : space == "default" ? false : inherited;
}

// The same for an element and the elements around it.
bool PreservesSpaceAround(pugi::xml_node el) {
    for (pugi::xml_node n = el; n.type() == pugi::node_element; n = n.parent())
        if (n.attribute("xml:space")) return PreservesSpace(n, false);
    return false;
}

// Numbers of a list attribute, lengths in user units for x, y, dx and dy;
// a list that cannot be read counts as not given, with a warning.
std::vector<double> ReadList(const TextReaderContext& reader, pugi::xml_node el, const char* name, Axis axis,
                             double fontSize) {
    std::vector<double> out;
    const pugi::xml_attribute a = el.attribute(name);
    if (!a) return out;
    for (std::string_view item : SplitList(a.value(), " ,\t\r\n")) {
        double value = 0;
        Length length;
        const bool ok =
            std::string_view(name) == "rotate"
                ? ParseNumber(item, &value)
                : ParseLength(item, &length) && (value = ResolveLength(length, reader.basis(), fontSize, axis), true);
        if (!ok || !std::isfinite(value) || std::fabs(value) > kMaxCoordinate) {
            reader.warn(el, std::string("ignored ") + name + " " + Quote(a.value()));
            return {};
        }
        out.push_back(value);
    }
    return out;
}

// An element's place lists in the text's own space. A tspan that starts a
// line gives its first place to the line.
PlaceLists ReadPlaces(const TextReaderContext& reader, pugi::xml_node el, const Inherited& inherited, double fontSize,
                      bool line, bool rotateListAround) {
    PlaceLists out;
    const char* names[5] = {"x", "y", "dx", "dy", "rotate"};
    const Axis axes[5] = {Axis::X, Axis::Y, Axis::X, Axis::Y, Axis::Diagonal};
    const double k = inherited.scale;
    for (size_t i = 0; i < 5; ++i) {
        std::vector<double> list = ReadList(reader, el, names[i], axes[i], fontSize);
        // One angle is the run's rotation, unless it must override a list around.
        if (i == 4 && list.size() < 2 && !(rotateListAround && list.size() == 1)) continue;
        if (line && i < 4 && !list.empty()) {
            if (i == 1) out.lineY = -k * (list.front() - inherited.anchor.y);
            if (i == 3) out.lineDy = -k * list.front();
            list.front() = NAN;  // placed by the line, not by ancestors
        }
        for (double& v : list) {
            if (std::isnan(v)) continue;
            switch (i) {
            case 0: v = k * (v - inherited.anchor.x); break;
            case 1: v = -k * (v - inherited.anchor.y); break;
            case 2: v = k * v; break;
            case 3: v = -k * v; break;
            default: v = v == 0 ? 0 : -v; break;
            }
        }
        out.lists[i] = std::move(list);
    }
    return out;
}

// The character scales a run carries, "horizontal vertical"; both must be
// positive, as the host's scales are.
bool ReadCharScales(pugi::xml_node el, Inherited* inherited) {
    const pugi::xml_attribute a = el.attribute(kCharScaleAttribute);
    if (!a) return true;
    NumberCursor cursor(a.value());
    double v[2];
    cursor.skipSpace();
    for (double& x : v) {
        const char* error;
        if (!cursor.number(&x, &error) || !(x > 0) || !std::isfinite(x)) return false;
        cursor.skipSeparator();
    }
    if (!cursor.atEnd()) return false;
    inherited->horizontalScale = v[0];
    inherited->verticalScale = v[1];
    return true;
}

// An element's sodipodi:role, under whichever prefix names Sodipodi.
std::string_view SodipodiRole(const TextReaderContext& reader, pugi::xml_node el) {
    for (pugi::xml_attribute a : el.attributes())
        if (reader.isSodipodi(a.name(), "role")) return a.value();
    return {};
}

// An element's own presentation attributes and style on top of `cs`; a value
// that cannot be read counts as not given, with a warning.
void ApplyOwnStyle(const TextReaderContext& reader, pugi::xml_node el, ComputedStyle* cs) {
    Declarations declared;
    for (pugi::xml_attribute a : el.attributes()) {
        if (a.name() == std::string_view("style")) {
            for (auto& [n, v] : SplitStyle(a.value()))
                if (auto p = FindProperty(n)) declared[size_t(*p)] = v;
        } else if (auto p = FindProperty(a.name()); p && !declared[size_t(*p)]) {
            declared[size_t(*p)] = a.value();
        }
    }
    for (Property bad : ApplyDeclarations(declared, reader.basis(), cs))
        reader.warn(el, std::string("ignored ") + PropertyName(bad) + " " + Quote(*declared[size_t(bad)]));
}

void WalkText(const TextReaderContext& reader, pugi::xml_node el, const ComputedStyle& style, const std::string& cmyk,
              const Inherited& inherited, bool direct, TextBuilder& builder, TextData& data) {
    // `cmyk`: the nearest CMYK data attribute; it counts while the colour matches it.
    auto features = [&](const ComputedStyle& cs, const std::string& cmykFill, const Inherited& from) {
        CharFeatures f;
        f.font = cs.fontFamily;
        f.fontSize = cs.fontSize * from.scale;
        f.rotation = from.rotation;
        f.horizontalScale = from.horizontalScale;
        f.verticalScale = from.verticalScale;
        Rgba rgba;
        f.fillPaint = ResolvePaint(cs.fill, cs.color, &rgba);
        if (f.fillPaint) f.fill = reader.color(rgba, cmykFill, "");
        if (cs.fill.kind == Paint::Url) f.fillServer = cs.fill.url;
        f.strokePaint = ResolvePaint(cs.stroke, cs.color, &rgba);
        if (f.strokePaint) {
            f.stroke = reader.color(rgba, "", "");
            f.strokeWidth = cs.strokeWidth * from.scale;
            f.strokeUnder = cs.strokeUnder;
            if (cs.stroke.kind == Paint::Url) f.strokeServer = cs.stroke.url;
        }
        // Letter spacing is kept as a share of the em, so that it scales with the type.
        if (cs.letterSpacing != 0 && cs.fontSize > 0) f.tracking = cs.letterSpacing / cs.fontSize * 1000;
        f.baselineShift = from.baselineShift;
        f.decoration = cs.decoration;
        f.hidden = from.hidden;
        return f;
    };
    for (pugi::xml_node child : el.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            builder.add(child.value(), features(style, cmyk, inherited), inherited.preserve);
        } else if (child.type() == pugi::node_element) {
            if (reader.svgName(child) != "tspan") throw UnsupportedText{};
            ComputedStyle cs = style;
            ApplyOwnStyle(reader, child, &cs);
            const pugi::xml_attribute ownCmyk = child.attribute(kCmykFillAttribute);
            const std::string childCmyk = ownCmyk ? ownCmyk.value() : cmyk;
            Inherited inner = inherited;
            inner.baselineShift += cs.baselineShift * inherited.scale;
            inner.hidden = inherited.hidden || cs.displayNone;
            inner.preserve = PreservesSpace(child, inherited.preserve);
            inner.rotation = GlyphRotation(child, inherited.rotation);
            if (!ReadCharScales(child, &inner)) throw UnsupportedText{};
            bool line = false;
            if (direct) {
                // A new line is placed anew: across the line and back to its
                // start (a column of vertical text: y and dx).
                line = SodipodiRole(reader, child) == "line" ||
                       (child.attribute("x") && (child.attribute("y") || child.attribute("dy"))) ||
                       (cs.vertical && child.attribute("y") && child.attribute("dx"));
                if (!builder.anyContent())
                    data.paragraphs.front() = JustificationOf(cs.textAnchor);
                else if (line)
                    builder.newParagraph(JustificationOf(cs.textAnchor), features(cs, childCmyk, inner));
                else
                    line = false;
            }
            PlaceLists places = ReadPlaces(reader, child, inherited, cs.fontSize, line, builder.rotating());
            if (line && data.paragraphs.size() > 1) builder.lineStartsAt(places.lineY, places.lineDy);
            builder.enter(std::move(places));
            WalkText(reader, child, cs, childCmyk, inner, false, builder, data);
            builder.leave();
        }
    }
}

// Leaves out what places nothing: the first character's place at the
// anchor, shifts of zero, and the ends of lists past their last entry.
void TidyPlaces(GlyphPlacement& g) {
    for (std::vector<double>* list : {&g.x, &g.y})
        if (!list->empty() && (*list)[0] == 0) (*list)[0] = NAN;
    for (std::vector<double>* list : {&g.dx, &g.dy})
        for (double& v : *list)
            if (v == 0) v = NAN;
    for (std::vector<double>* list : {&g.x, &g.y, &g.dx, &g.dy, &g.rotate})
        while (!list->empty() && std::isnan(list->back())) list->pop_back();
}

// Takes a uniform scale out of a text's matrix and gives it back: it
// becomes the font size.
double TakeUniformScale(HostMatrix& m) {
    const double k = std::hypot(m.a, m.b);
    if (!(k > 0) || std::fabs(m.a - m.d) > 1e-12 * k || std::fabs(m.b + m.c) > 1e-12 * k) return 1;
    m.a /= k, m.b /= k, m.c /= k, m.d /= k;
    if (std::fabs(m.b) <= 1e-15) m = {1, 0, 0, 1, m.tx, m.ty};
    return k;
}

std::vector<HostPathSegment> Mapped(std::vector<HostPathSegment> path, const HostMatrix& m) {
    for (HostPathSegment& s : path) {
        s.p = Apply(m, s.p);
        s.in = Apply(m, s.in);
        s.out = Apply(m, s.out);
    }
    return path;
}

bool InRange(const std::vector<HostPathSegment>& path) {
    for (const HostPathSegment& s : path)
        for (double v : {s.p.x, s.p.y, s.in.x, s.in.y, s.out.x, s.out.y})
            if (!(std::fabs(v) <= kMaxCoordinate)) return false;
    return true;
}

// One path of path data; false (with why) for bad data or several subpaths.
bool OnePath(std::string_view d, size_t* budget, Subpath* out, std::string* why) {
    std::vector<Subpath> subpaths;
    PathDataError error;
    if (!ParsePathData(d, budget, &subpaths, &error)) {
        *why = "bad path data at offset " + std::to_string(error.offset) + ": " + error.message;
        return false;
    }
    if (subpaths.size() != 1) {
        *why = subpaths.empty() ? "an empty path" : "a path of several parts";
        return false;
    }
    *out = std::move(subpaths.front());
    MarkCorners(out->segments, out->closed);
    return true;
}

// Whether a textPath's start offset is where the host starts a line of
// this justification: the path's start, middle or end.
bool StartOffsetFits(pugi::xml_node textPath, Justification justification) {
    const std::string_view offset = Trim(textPath.attribute("startOffset").value());
    double value = 0;
    if (!offset.empty()) {
        const bool percent = offset.back() == '%';
        if (!ParseNumber(percent ? offset.substr(0, offset.size() - 1) : offset, &value)) return false;
        if (!percent && value != 0) return false;
    }
    const double wanted = justification == Justification::Center ? 50 : justification == Justification::Right ? 100 : 0;
    return value == wanted;
}

// The element of a text that makes it text on a path: its one element
// child, a textPath, with nothing but white space beside it.
pugi::xml_node SoleTextPath(const TextReaderContext& reader, pugi::xml_node el, bool* mixed) {
    pugi::xml_node found;
    bool other = false;
    for (pugi::xml_node child : el.children()) {
        if (child.type() == pugi::node_element && reader.svgName(child) == "textPath") {
            other = other || found;
            found = child;
        } else if (child.type() == pugi::node_element ||
                   ((child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) &&
                    !Trim(child.value()).empty())) {
            other = true;
        }
    }
    *mixed = found && other;
    return found;
}

}  // namespace

bool IsTextAttribute(std::string_view a) {
    return a == "x" || a == "y" || a == "dx" || a == "dy" || a == "rotate" || a == kTextFrameAttribute;
}

bool IsTextModelled(Property p) {
    return p == Property::Fill || p == Property::FontSize || p == Property::FontFamily || p == Property::TextAnchor ||
           p == Property::WritingMode || p == Property::Stroke || p == Property::StrokeWidth ||
           p == Property::LetterSpacing || p == Property::BaselineShift || p == Property::TextDecoration ||
           p == Property::PaintOrder;
}

// ---------------------------------------------------------------- the paths text follows

void TextPathSources::collect(const TextReaderContext& reader, pugi::xml_node root) {
    // Every textPath's target, and every other reference to it.
    std::map<std::string, int> otherReferences;
    std::vector<std::pair<pugi::xml_node, std::string>> withIds;
    auto visit = [&](pugi::xml_node node, bool collecting) {
        const bool isTextPath = reader.svgName(node) == "textPath";
        for (pugi::xml_attribute a : node.attributes()) {
            const std::string_view value = a.value();
            if (reader.isHref(a.name()) && value.size() > 1 && value[0] == '#') {
                const std::string id(value.substr(1));
                if (collecting && isTextPath)
                    ++sources_[id].uses;
                else if (!collecting && !isTextPath)
                    ++otherReferences[id];
            } else if (!collecting) {
                ForEachUrlReference(value, [&](std::string_view id) { ++otherReferences[std::string(id)]; });
            }
            if (!collecting && a.name() == std::string_view("id") && sources_.count(a.value()))
                withIds.emplace_back(node, a.value());
        }
    };
    ForEachElement(root, [&](pugi::xml_node node, int) { visit(node, true); });
    if (sources_.empty()) return;
    ForEachElement(root, [&](pugi::xml_node node, int) { visit(node, false); });

    std::vector<pugi::xml_node> taken;
    for (auto& [node, id] : withIds) {
        Source& source = sources_[id];
        if (source.found) continue;  // references find the first element of an id
        source.found = true;
        source.element = std::string(reader.svgName(node));
        if (source.element != "path") continue;
        source.d = node.attribute("d").value();
        source.transform = node.attribute("transform").value();
        const pugi::xml_node parent = node.parent();
        if (reader.svgName(parent) != "defs" || otherReferences.count(id)) continue;
        std::ostringstream xml;
        node.print(xml, "", pugi::format_raw);
        source.verbatim = xml.str();
        source.taken = true;
        taken.push_back(node);
    }
    for (pugi::xml_node node : taken) {
        pugi::xml_node defs = node.parent();
        defs.remove_child(node);
        // A <defs> left with nothing but white space goes too.
        bool empty = !defs.first_attribute();
        for (pugi::xml_node c : defs.children())
            empty = empty && c.type() == pugi::node_pcdata && Trim(c.value()).empty();
        if (empty) defs.parent().remove_child(defs);
    }
}

const TextPathSources::Source* TextPathSources::find(const std::string& id) const {
    auto it = sources_.find(id);
    return it == sources_.end() || !it->second.found ? nullptr : &it->second;
}

void TextPathSources::followed(const std::string& id) {
    auto it = sources_.find(id);
    if (it != sources_.end()) ++it->second.followed;
}

std::vector<std::string> TextPathSources::stillNeeded() const {
    std::vector<std::string> out;
    for (const auto& [id, source] : sources_)
        if (source.taken && source.followed < source.uses) out.push_back("<defs>" + source.verbatim + "</defs>");
    return out;
}

// ---------------------------------------------------------------- text elements

namespace {

bool ReadTextOnPath(TextReaderContext& reader, TextPathSources& paths, pugi::xml_node el, pugi::xml_node textPath,
                    const ComputedStyle& style, const std::string& cmyk, const HostMatrix& ctm, TextData* out) {
    // The text path's own style applies to what it holds.
    ComputedStyle cs = style;
    ApplyOwnStyle(reader, textPath, &cs);

    std::string href;
    for (pugi::xml_attribute a : textPath.attributes())
        if (reader.isHref(a.name())) href = a.value();
    std::string d, transform;
    const TextPathSources::Source* source = nullptr;
    if (pugi::xml_attribute inline_ = textPath.attribute("path")) {
        d = inline_.value();
    } else {
        if (href.size() < 2 || href[0] != '#') {
            reader.warn(textPath, href.empty() ? "no path to follow; the text is kept as written"
                                               : "refers to " + Quote(href) +
                                                     ", which is not in the file; the text is kept as written");
            return false;
        }
        source = paths.find(href.substr(1));
        if (!source || source->element != "path") {
            const std::string what = !source                   ? "which is not in the file"
                                     : source->element.empty() ? "an element of another namespace"
                                                               : "a " + Printable(source->element) + ", not a path";
            reader.warn(textPath, "refers to " + Quote(href) + ", " + what + "; the text is kept as written");
            return false;
        }
        d = source->d;
        transform = source->transform;
    }
    auto keepAsWritten = [&](const std::string& why) {
        reader.warn(textPath, why + "; the text is kept as written");
        return false;
    };
    // How SVG lays text on its path, where it differs from how the host does.
    const std::pair<const char*, const char*> layout[] = {{"side", "left"},
                                                          {"method", "align"},
                                                          {"spacing", "exact"},
                                                          {"textLength", nullptr},
                                                          {"lengthAdjust", nullptr}};
    for (auto [name, usual] : layout)
        if (pugi::xml_attribute a = textPath.attribute(name); a && (!usual || Trim(a.value()) != usual))
            return keepAsWritten(std::string("a path text with ") + name + "=" + Quote(a.value()));
    const Justification first = JustificationOf(cs.textAnchor);
    if (!StartOffsetFits(textPath, first))
        return keepAsWritten("start offset " + Quote(textPath.attribute("startOffset").value()) +
                             " where the host does not start a line of this text-anchor");

    Subpath path;
    std::string why;
    if (!OnePath(d, reader.segmentBudget(), &path, &why)) return keepAsWritten("follows " + why);
    HostMatrix pathTransform = kIdentity;
    if (!transform.empty() && !ParseTransform(transform, &pathTransform))
        return keepAsWritten("follows a path with a bad transform");

    // The text's own space is its user space; the path lies in it.
    HostMatrix m = Concat(kFlip, ctm);
    const double scale = TakeUniformScale(m);
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty})
        if (!(std::fabs(v) <= kMaxCoordinate)) reader.fail(el, "coordinates out of range");
    TextData data;
    data.frameKind = 2;
    data.orientation = cs.vertical ? 1 : 0;
    data.matrix = m;
    data.path = Mapped(std::move(path.segments), Concat(pathTransform, ctm));
    data.pathClosed = path.closed;
    if (!InRange(data.path)) reader.fail(el, "coordinates out of range");
    data.paragraphs.push_back(first);
    TextBuilder builder(data);
    Inherited inherited;
    inherited.scale = scale;
    inherited.baselineShift = (style.baselineShift + cs.baselineShift) * scale;
    inherited.preserve = PreservesSpace(textPath, PreservesSpaceAround(el));
    try {
        inherited.rotation = GlyphRotation(textPath, GlyphRotation(el, 0));
        if (!ReadCharScales(textPath, &inherited)) throw UnsupportedText{};
        WalkText(reader, textPath, cs, cmyk, inherited, true, builder, data);
    } catch (const UnsupportedText&) {
        return keepAsWritten("a path text the host cannot hold");
    }
    if (source) paths.followed(href.substr(1));
    TidyPlaces(data.glyphs);
    RotationsIntoRuns(data);
    *out = std::move(data);
    return true;
}

}  // namespace

bool ReadText(TextReaderContext& reader, TextPathSources& paths, pugi::xml_node el, const ComputedStyle& style,
              const std::string& cmyk, const HostMatrix& ctm, TextData* out) {
    bool mixed = false;
    if (pugi::xml_node textPath = SoleTextPath(reader, el, &mixed)) {
        if (mixed) {
            reader.warn(textPath, "shares its text with other content; the text is kept as written");
            return false;
        }
        return ReadTextOnPath(reader, paths, el, textPath, style, cmyk, ctm, out);
    }
    // The anchor: the text's position, or that of a first tspan placed before any text.
    const double fontSize = style.fontSize;
    double x = reader.length(el, "x", 0, 0, fontSize), y = reader.length(el, "y", 0, 1, fontSize);
    for (pugi::xml_node child : el.children()) {
        if (child.type() == pugi::node_pcdata && Trim(child.value()).empty()) continue;
        if (child.type() == pugi::node_element && reader.svgName(child) == "tspan") {
            x = reader.length(child, "x", x, 0, fontSize);
            y = reader.length(child, "y", y, 1, fontSize);
        }
        break;
    }
    HostMatrix m = Concat(Concat(kFlip, Translation(x, y)), ctm);
    Inherited inherited;
    inherited.scale = TakeUniformScale(m);
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty})
        if (!(std::fabs(v) <= kMaxCoordinate)) reader.fail(el, "coordinates out of range");
    TextData data;
    data.frameKind = 0;
    data.orientation = style.vertical ? 1 : 0;
    data.matrix = m;
    data.paragraphs.push_back(JustificationOf(style.textAnchor));
    // Area text: its frame, in the text's user space.
    if (pugi::xml_attribute frame = el.attribute(kTextFrameAttribute)) {
        Subpath path;
        std::string why;
        if (OnePath(frame.value(), reader.segmentBudget(), &path, &why)) {
            data.frameKind = 1;
            data.path = Mapped(std::move(path.segments), ctm);
            data.pathClosed = path.closed;
            if (!InRange(data.path)) reader.fail(el, "coordinates out of range");
        } else {
            reader.warn(el, "a text frame of " + why + "; read as point text");
        }
    }
    TextBuilder builder(data);
    inherited.baselineShift = style.baselineShift * inherited.scale;
    inherited.anchor = {x, y};
    inherited.preserve = PreservesSpaceAround(el);
    try {
        inherited.rotation = GlyphRotation(el, 0);
        builder.enter(ReadPlaces(reader, el, inherited, fontSize, false, false));
        WalkText(reader, el, style, cmyk, inherited, true, builder, data);
    } catch (const UnsupportedText&) {
        return false;
    }
    builder.placeLineStarts();
    TidyPlaces(data.glyphs);
    RotationsIntoRuns(data);
    *out = std::move(data);
    return true;
}

}  // namespace orbalis::host::svg
