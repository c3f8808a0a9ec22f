#include "host/io/svg/SvgTextImport.h"

#include <cmath>

#include "host/io/svg/SvgConventions.h"
#include "host/io/svg/SvgNumbers.h"
#include "host/model/Geometry.h"

namespace orbalis::host::svg {
namespace {

// Raised inside a text element that holds something the text model cannot
// (a textPath, a link); the whole element is then kept verbatim.
struct UnsupportedText {};

Justification JustificationOf(int textAnchor) {
    return textAnchor == 1 ? Justification::Center : textAnchor == 2 ? Justification::Right : Justification::Left;
}

// Collects the runs and paragraphs of a text element, collapsing white
// space as SVG does unless xml:space="preserve".
class TextBuilder {
public:
    TextBuilder(TextData& data, bool preserve) : data_(data), preserve_(preserve) {}

    void add(std::string_view raw, const CharFeatures& features) {
        for (char c : raw) {
            if (c == '\n' || c == '\r') {
                if (!preserve_) continue;
                c = ' ';
            }
            if (c == '\t') c = ' ';
            if (c == ' ' && !preserve_) {
                if (paragraphHasContent_) {
                    pendingSpace_ = true;
                    pendingFeatures_ = features;
                }
                continue;
            }
            if (pendingSpace_) {
                put(' ', pendingFeatures_);
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
        if (data_.runs.empty())
            put('\r', features);
        else
            data_.runs.back().text.push_back('\r');
        data_.paragraphs.push_back(justification);
        paragraphHasContent_ = false;
    }

    bool anyContent() const { return anyContent_; }

private:
    void put(char c, const CharFeatures& features) {
        if (data_.runs.empty() || !SameFeatures(data_.runs.back().features, features))
            data_.runs.push_back({std::string(), features});
        data_.runs.back().text.push_back(c);
    }

    TextData& data_;
    bool preserve_;
    bool paragraphHasContent_ = false;
    bool anyContent_ = false;
    bool pendingSpace_ = false;
    CharFeatures pendingFeatures_;
};

// The character rotation an element gives its glyphs: SVG turns them
// clockwise on its y-down page, the host counter-clockwise on its own. One
// angle for every glyph is all the model holds.
double GlyphRotation(pugi::xml_node el, double inherited) {
    const pugi::xml_attribute rotate = el.attribute("rotate");
    if (!rotate) return inherited;
    double degrees = 0;
    if (!ParseNumber(Trim(rotate.value()), &degrees) || !std::isfinite(degrees)) throw UnsupportedText{};
    return degrees == 0 ? 0 : -degrees;
}

void WalkText(const TextReaderContext& reader, pugi::xml_node el, const ComputedStyle& style, const std::string& cmyk,
              double scale, double rotation, bool direct, TextBuilder& builder, TextData& data) {
    // `cmyk`: the nearest CMYK data attribute; it counts while the colour matches it.
    auto features = [&](const ComputedStyle& cs, const std::string& cmykFill) {
        CharFeatures f;
        f.font = cs.fontFamily;
        f.fontSize = cs.fontSize * scale;
        f.rotation = rotation;
        Rgba rgba;
        f.fillPaint = ResolvePaint(cs.fill, cs.color, &rgba);
        if (f.fillPaint) f.fill = reader.color(rgba, cmykFill, "");
        return f;
    };
    for (pugi::xml_node child : el.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
            builder.add(child.value(), features(style, cmyk));
        } else if (child.type() == pugi::node_element) {
            if (reader.svgName(child) != "tspan") throw UnsupportedText{};
            ComputedStyle cs = style;
            Declarations declared;
            for (pugi::xml_attribute a : child.attributes()) {
                if (a.name() == std::string_view("style")) {
                    for (auto& [n, v] : SplitStyle(a.value()))
                        if (auto p = FindProperty(n)) declared[size_t(*p)] = v;
                } else if (auto p = FindProperty(a.name()); p && !declared[size_t(*p)]) {
                    declared[size_t(*p)] = a.value();
                }
            }
            Property bad{};
            if (!ApplyDeclarations(declared, reader.basis(), &cs, &bad))
                reader.fail(child, std::string("bad ") + PropertyName(bad) + " " + Quote(*declared[size_t(bad)]));
            const pugi::xml_attribute ownCmyk = child.attribute(kCmykFillAttribute);
            const std::string childCmyk = ownCmyk ? ownCmyk.value() : cmyk;
            if (direct) {
                const bool line = std::string_view(child.attribute((reader.sodipodiPrefix() + ":role").c_str()).value()) == "line" ||
                                  (child.attribute("x") && (child.attribute("y") || child.attribute("dy")));
                if (!builder.anyContent())
                    data.paragraphs.front() = JustificationOf(cs.textAnchor);
                else if (line)
                    builder.newParagraph(JustificationOf(cs.textAnchor), features(cs, childCmyk));
            }
            WalkText(reader, child, cs, childCmyk, scale, GlyphRotation(child, rotation), false, builder, data);
        }
    }
}

}  // namespace

bool IsTextAttribute(std::string_view a) { return a == "x" || a == "y" || a == "rotate"; }

bool IsTextModelled(Property p) {
    return p == Property::Fill || p == Property::FontSize || p == Property::FontFamily || p == Property::TextAnchor ||
           p == Property::WritingMode;
}

bool ReadText(const TextReaderContext& reader, pugi::xml_node el, const ComputedStyle& style, const std::string& cmyk,
              const HostMatrix& ctm, TextData* out) {
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
    // A uniform scale of the text becomes its font size.
    double scale = 1;
    const double k = std::hypot(m.a, m.b);
    if (k > 0 && std::fabs(m.a - m.d) <= 1e-12 * k && std::fabs(m.b + m.c) <= 1e-12 * k) {
        scale = k;
        m.a /= k, m.b /= k, m.c /= k, m.d /= k;
        if (std::fabs(m.b) <= 1e-15) m = {1, 0, 0, 1, m.tx, m.ty};
    }
    for (double v : {m.a, m.b, m.c, m.d, m.tx, m.ty})
        if (!(std::fabs(v) <= kMaxCoordinate)) reader.fail(el, "coordinates out of range");
    TextData data;
    data.frameKind = 0;
    data.orientation = style.vertical ? 1 : 0;
    data.matrix = m;
    data.paragraphs.push_back(JustificationOf(style.textAnchor));
    const bool preserve = std::string_view(el.attribute("xml:space").value()) == "preserve";
    TextBuilder builder(data, preserve);
    try {
        WalkText(reader, el, style, cmyk, scale, GlyphRotation(el, 0), true, builder, data);
    } catch (const UnsupportedText&) {
        return false;
    }
    *out = std::move(data);
    return true;
}

}  // namespace orbalis::host::svg
