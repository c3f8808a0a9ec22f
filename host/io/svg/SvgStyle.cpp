#include "host/io/svg/SvgStyle.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

#include "host/io/svg/SvgNumbers.h"

namespace orbalis::host::svg {
namespace {

constexpr const char* kNames[kPropertyCount] = {
    "fill",           "fill-opacity",    "fill-rule",         "stroke",           "stroke-width",      "stroke-opacity",
    "stroke-linecap", "stroke-linejoin", "stroke-miterlimit", "stroke-dasharray", "stroke-dashoffset", "opacity",
    "color",          "display",         "visibility",        "font-size",        "font-family",       "text-anchor",
    "writing-mode",   "letter-spacing",  "baseline-shift",    "text-decoration",  "paint-order",
};

bool Keyword(std::string_view value, std::initializer_list<const char*> words, int* index) {
    int i = 0;
    for (const char* w : words) {
        if (value == w) {
            *index = i;
            return true;
        }
        ++i;
    }
    return false;
}

bool Opacity(std::string_view value, double* out) {
    Length length;
    if (!ParseLength(value, &length)) return false;
    if (length.unit == Length::Percent)
        length.value /= 100;
    else if (length.unit != Length::User || value.find_first_of("abcdefghijklmnopqrstuvwxyz") != std::string_view::npos)
        return false;
    *out = std::clamp(length.value, 0.0, 1.0);
    return true;
}

// A length in user units; `diagonal` percentages as for stroke widths.
bool UserLength(std::string_view value, const LengthBasis& basis, double fontSize, double* out) {
    Length length;
    if (!ParseLength(value, &length)) return false;
    *out = ResolveLength(length, basis, fontSize, Axis::Diagonal);
    return std::isfinite(*out);
}

bool FontSize(std::string_view value, const LengthBasis& basis, double parent, double* out) {
    static const std::pair<const char*, double> keywords[] = {{"xx-small", 9},  {"x-small", 10},  {"small", 13},
                                                              {"medium", 16},   {"large", 18},    {"x-large", 24},
                                                              {"xx-large", 32}, {"xxx-large", 48}};
    for (const auto& [word, size] : keywords)
        if (value == word) {
            *out = size;
            return true;
        }
    if (value == "larger") {
        *out = parent * 1.2;
        return true;
    }
    if (value == "smaller") {
        *out = parent / 1.2;
        return true;
    }
    Length length;
    if (!ParseLength(value, &length)) return false;
    if (length.unit == Length::Percent) {
        *out = parent * length.value / 100;
    } else if (!UserLength(value, basis, parent, out)) {
        return false;
    }
    return *out >= 0 && std::isfinite(*out);
}

bool Dashes(std::string_view value, const LengthBasis& basis, double fontSize, std::vector<double>* out) {
    out->clear();
    if (value == "none") return true;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find_first_of(", \t\r\n", start);
        if (end == std::string_view::npos) end = value.size();
        const std::string_view item = value.substr(start, end - start);
        if (!item.empty()) {
            double v;
            if (!UserLength(item, basis, fontSize, &v) || v < 0) return false;
            out->push_back(v);
        }
        start = end + 1;
    }
    if (out->empty()) return false;
    // An odd list repeats to make an even one; all zeros draw a solid line.
    if (out->size() % 2) out->insert(out->end(), out->begin(), out->end());
    bool allZero = true;
    for (double v : *out) allZero = allZero && v == 0;
    if (allZero) out->clear();
    return true;
}

// "baseline", "sub", "super", a percentage of the font size or a length;
// positive raises the text.
bool BaselineShift(std::string_view value, const LengthBasis& basis, double fontSize, double* out) {
    if (value == "baseline")
        *out = 0;
    else if (value == "sub")
        *out = -0.2 * fontSize;
    else if (value == "super")
        *out = 0.4 * fontSize;
    else if (Length length; ParseLength(value, &length) && length.unit == Length::Percent)
        *out = length.value / 100 * fontSize;
    else
        return UserLength(value, basis, fontSize, out);
    return true;
}

// "none" or any of underline, overline and line-through; a line's style
// or colour is not held.
bool Decoration(std::string_view value, int* out) {
    int bits = 0;
    for (std::string_view word : SplitList(value)) {
        int k = 0;
        if (!Keyword(word, {"none", "underline", "overline", "line-through"}, &k)) return false;
        if (k) bits |= 1 << (k - 1);  // the model's order: underline 1, overline 2, line-through 4
    }
    *out = bits;
    return true;
}

// "normal" or the order of fill, stroke and markers; only whether the
// stroke comes before the fill matters here.
bool PaintOrder(std::string_view value, bool* strokeUnder) {
    if (value == "normal") {
        *strokeUnder = false;
        return true;
    }
    size_t fill = std::string_view::npos, stroke = std::string_view::npos;
    size_t index = 0;
    for (std::string_view word : SplitList(value)) {
        int k = 0;
        if (!Keyword(word, {"fill", "stroke", "markers"}, &k)) return false;
        if (k == 0) fill = index;
        if (k == 1) stroke = index;
        ++index;
    }
    if (index == 0 || index > 3) return false;
    // Unnamed parts follow in their usual order: fill, stroke, markers.
    *strokeUnder = stroke != std::string_view::npos && (fill == std::string_view::npos || stroke < fill);
    return true;
}

}  // namespace

double ResolveLength(const Length& length, const LengthBasis& basis, double fontSize, Axis axis) {
    const double w = basis.viewportWidth, h = basis.viewportHeight;
    switch (length.unit) {
    case Length::User: return length.value;
    case Length::Em: return length.value * fontSize;
    // Without font metrics an x-height and the advance of "0" are half an em.
    case Length::Ex:
    case Length::Ch: return length.value * fontSize / 2;
    case Length::Rem: return length.value * basis.rootFontSize;
    case Length::Vw: return length.value / 100 * w;
    case Length::Vh: return length.value / 100 * h;
    case Length::Vmin: return length.value / 100 * std::min(w, h);
    case Length::Vmax: return length.value / 100 * std::max(w, h);
    case Length::Percent:
        return length.value / 100 * (axis == Axis::X ? w : axis == Axis::Y ? h : std::hypot(w, h) / std::sqrt(2.0));
    }
    return length.value;
}

const char* PropertyName(Property property) { return kNames[size_t(property)]; }

std::optional<Property> FindProperty(std::string_view name) {
    for (size_t i = 0; i < kPropertyCount; ++i)
        if (name == kNames[i]) return Property(i);
    return std::nullopt;
}

std::vector<std::string_view> SplitDeclarations(std::string_view text) {
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start < text.size()) {
        // Semicolons inside url(...) or quotes do not end a declaration.
        size_t end = start;
        char quote = 0;
        int parens = 0;
        for (; end < text.size(); ++end) {
            const char c = text[end];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '(') {
                ++parens;
            } else if (c == ')') {
                if (parens) --parens;
            } else if (c == ';' && !parens) {
                break;
            }
        }
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> SplitStyle(std::string_view style) {
    std::vector<std::pair<std::string, std::string>> out;
    for (std::string_view item : SplitDeclarations(style)) {
        const size_t colon = item.find(':');
        if (colon != std::string_view::npos) {
            std::string name(Trim(item.substr(0, colon)));
            std::string_view text = Trim(item.substr(colon + 1));
            // Importance only decides between style sheets and the attribute.
            if (const size_t bang = text.rfind('!'); bang != std::string_view::npos) {
                std::string word(Trim(text.substr(bang + 1)));
                for (char& c : word)
                    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
                if (word == "important") text = Trim(text.substr(0, bang));
            }
            std::string value(text);
            for (char& c : name)
                if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
            if (!name.empty()) out.emplace_back(std::move(name), std::move(value));
        }
    }
    return out;
}

std::string JoinStyle(const std::vector<std::pair<std::string, std::string>>& declarations) {
    std::string out;
    for (const auto& [name, value] : declarations) {
        if (!out.empty()) out += ';';
        out += name;
        out += ':';
        out += value;
    }
    return out;
}

std::vector<Property> ApplyDeclarations(const Declarations& declarations, const LengthBasis& basis,
                                        ComputedStyle* style) {
    std::vector<Property> bad;
    style->displayNone = false;
    const double parentShift = style->baselineShift;  // what `inherit` takes
    style->baselineShift = 0;
    // Font size first: em lengths of the other properties depend on it.
    const Property order[] = {Property::FontSize,
                              Property::Color,
                              Property::Fill,
                              Property::FillOpacity,
                              Property::FillRule,
                              Property::Stroke,
                              Property::StrokeWidth,
                              Property::StrokeOpacity,
                              Property::StrokeLinecap,
                              Property::StrokeLinejoin,
                              Property::StrokeMiterlimit,
                              Property::StrokeDasharray,
                              Property::StrokeDashoffset,
                              Property::Opacity,
                              Property::Display,
                              Property::Visibility,
                              Property::FontFamily,
                              Property::TextAnchor,
                              Property::WritingMode,
                              Property::LetterSpacing,
                              Property::BaselineShift,
                              Property::TextDecoration,
                              Property::PaintOrder};
    for (Property p : order) {
        const auto& declared = declarations[size_t(p)];
        if (!declared) continue;
        const std::string_view value = Trim(*declared);
        if (value == "inherit") {
            if (p == Property::BaselineShift) style->baselineShift = parentShift;
            continue;
        }
        bool ok = true;
        int k = 0;
        switch (p) {
        case Property::Fill: ok = ParsePaint(value, &style->fill); break;
        case Property::Stroke: ok = ParsePaint(value, &style->stroke); break;
        case Property::Color: {
            Rgba color;
            ok = value == "currentColor" || ParseColor(value, &color);
            if (ok && value != "currentColor") style->color = color;
            break;
        }
        case Property::FillOpacity: ok = Opacity(value, &style->fillOpacity); break;
        case Property::StrokeOpacity: ok = Opacity(value, &style->strokeOpacity); break;
        case Property::Opacity: {
            double o;
            ok = Opacity(value, &o);
            break;
        }
        case Property::FillRule:
            ok = Keyword(value, {"nonzero", "evenodd"}, &k);
            if (ok) style->evenOdd = k == 1;
            break;
        case Property::StrokeWidth: {
            double width;
            ok = UserLength(value, basis, style->fontSize, &width) && width >= 0;
            if (ok) style->strokeWidth = width;
            break;
        }
        case Property::StrokeLinecap: ok = Keyword(value, {"butt", "round", "square"}, &style->cap); break;
        case Property::StrokeLinejoin:
            ok = Keyword(value, {"miter", "round", "bevel", "miter-clip", "arcs"}, &style->join);
            if (ok && style->join > 2) style->join = 0;
            break;
        case Property::StrokeMiterlimit: {
            double limit;
            ok = ParseNumber(value, &limit) && limit >= 1;
            if (ok) style->miterLimit = limit;
            break;
        }
        case Property::StrokeDasharray: {
            std::vector<double> dashes;
            ok = Dashes(value, basis, style->fontSize, &dashes);
            if (ok) style->dashes = std::move(dashes);
            break;
        }
        case Property::StrokeDashoffset: {
            double offset;
            ok = UserLength(value, basis, style->fontSize, &offset);
            if (ok) style->dashOffset = offset;
            break;
        }
        case Property::Display: style->displayNone = value == "none"; break;
        case Property::Visibility:
            ok = Keyword(value, {"visible", "hidden", "collapse"}, &k);
            if (ok) style->invisible = k != 0;
            break;
        case Property::FontSize: {
            double size;
            ok = FontSize(value, basis, style->fontSize, &size);
            if (ok) style->fontSize = size;
            break;
        }
        case Property::FontFamily: style->fontFamily = std::string(value); break;
        case Property::TextAnchor: ok = Keyword(value, {"start", "middle", "end"}, &style->textAnchor); break;
        case Property::LetterSpacing: {
            double spacing = 0;
            ok = value == "normal" || UserLength(value, basis, style->fontSize, &spacing);
            if (ok) style->letterSpacing = spacing;
            break;
        }
        case Property::BaselineShift: {
            double shift = 0;
            ok = BaselineShift(value, basis, style->fontSize, &shift) && std::isfinite(shift);
            if (ok) style->baselineShift = shift;
            break;
        }
        case Property::TextDecoration: ok = Decoration(value, &style->decoration); break;
        case Property::PaintOrder: ok = PaintOrder(value, &style->strokeUnder); break;
        case Property::WritingMode: {
            static const char* vertical[] = {"tb", "tb-rl", "vertical-rl", "vertical-lr"};
            style->vertical = false;
            for (const char* v : vertical) style->vertical = style->vertical || value == v;
            break;
        }
        }
        if (!ok) bad.push_back(p);
    }
    return bad;
}

bool ResolvePaint(const Paint& paint, const Rgba& current, Rgba* color) {
    switch (paint.kind) {
    case Paint::None: return false;
    case Paint::Color: *color = paint.color; return true;
    case Paint::CurrentColor: *color = current; return true;
    case Paint::Url:
        // Painted by the server; the model keeps its fallback, else black.
        *color = paint.fallbackCurrent ? current : paint.hasFallback ? paint.color : Rgba{0, 0, 0, 1};
        return true;
    }
    return false;
}

}  // namespace orbalis::host::svg
