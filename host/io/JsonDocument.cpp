// Writing the native document format (reading is in JsonDocumentReader.cpp).
// Fields equal to their documented default are left out, so small documents
// stay small; everything else is written, so that reading the text back
// gives the same document.
#include "host/io/JsonDocument.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>

#include <nlohmann/json.hpp>

#include "host/io/JsonDocumentNames.h"
#include "host/io/JsonLayout.h"

namespace orbalis::host {

namespace {

using Json = nlohmann::ordered_json;
namespace fmt = json_format;

constexpr HostMatrix kIdentity{1, 0, 0, 1, 0, 0};
constexpr HostMatrix kImageMatrix{1, 0, 0, -1, 0, 0};      // default of placed art
constexpr double kExactIntegerLimit = 9007199254740992.0;  // 2^53

// Bit-for-bit equality, so that -0.0 is not taken for 0.0 and left out.
bool Same(double a, double b) { return std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b); }

bool Same(const HostPoint& a, const HostPoint& b) { return Same(a.x, b.x) && Same(a.y, b.y); }

bool Same(const HostMatrix& a, const HostMatrix& b) {
    return Same(a.a, b.a) && Same(a.b, b.b) && Same(a.c, b.c) && Same(a.d, b.d) && Same(a.tx, b.tx) && Same(a.ty, b.ty);
}

// Whole numbers are written without a fraction ("10", not "10.0"); they read
// back as the same double. Anything else keeps every digit it needs.
Json Number(double value) {
    const bool negativeZero = value == 0 && std::signbit(value);
    if (std::isfinite(value) && std::trunc(value) == value && std::fabs(value) < kExactIntegerLimit && !negativeZero)
        return Json(static_cast<int64_t>(value));
    return Json(value);
}

Json Numbers(std::initializer_list<double> values) {
    Json out = Json::array();
    for (double v : values) out.push_back(Number(v));
    return out;
}

Json Point(const HostPoint& p) { return Numbers({p.x, p.y}); }

Json Matrix(const HostMatrix& m) { return Numbers({m.a, m.b, m.c, m.d, m.tx, m.ty}); }

Json Rect(const HostRect& r) { return Numbers({r.left, r.top, r.right, r.bottom}); }

// A named value, or its number when the format has no name for it.
Json Enumerated(std::span<const fmt::NamedValue> names, int32_t value) {
    std::string_view name = fmt::NameOf(names, value);
    return name.empty() ? Json(value) : Json(std::string(name));
}

Json Pairs(const NameValues& pairs) {
    Json out = Json::array();
    for (const auto& [name, value] : pairs) out.push_back(Json::array({name, value}));
    return out;
}

void PutPairs(Json& object, const char* key, const NameValues& pairs) {
    if (!pairs.empty()) object[key] = Pairs(pairs);
}

// A corner whose handles sit on the anchor, the common case of map outlines,
// is written as just the anchor.
Json Segment(const HostPathSegment& s) {
    if (s.corner && Same(s.in, s.p) && Same(s.out, s.p)) return Point(s.p);
    Json out = Numbers({s.p.x, s.p.y, s.in.x, s.in.y, s.out.x, s.out.y});
    if (s.corner) out.push_back(true);
    return out;
}

Json Segments(const std::vector<HostPathSegment>& segments) {
    Json out = Json::array();
    for (const auto& s : segments) out.push_back(Segment(s));
    return out;
}

Json Color(const HostColor& color) {
    Json out = Json::object();
    out["kind"] = Enumerated(fmt::ColorKindNames(), color.kind);
    switch (color.kind) {
    case kHostGrayColor: out["gray"] = Number(color.c.gray.gray); break;
    case kHostFourColor: {
        const auto& f = color.c.four;
        out["cmyk"] = Numbers({f.cyan, f.magenta, f.yellow, f.black});
        break;
    }
    case kHostThreeColor: {
        const auto& t = color.c.three;
        out["rgb"] = Numbers({t.red, t.green, t.blue});
        break;
    }
    case kHostCustomColor:
        out["swatch"] = color.c.custom.swatch;
        if (!Same(color.c.custom.tint, 0)) out["tint"] = Number(color.c.custom.tint);
        break;
    case kHostPatternColor:
        out["pattern"] = color.c.pattern.pattern;
        if (!Same(color.c.pattern.transform, kIdentity)) out["matrix"] = Matrix(color.c.pattern.transform);
        break;
    case kHostGradientColor: {
        const auto& g = color.c.gradient;
        out["gradient"] = g.gradient;
        if (!Same(g.origin, HostPoint{0, 0})) out["origin"] = Point(g.origin);
        if (!Same(g.angle, 0)) out["angle"] = Number(g.angle);
        if (!Same(g.length, 0)) out["length"] = Number(g.length);
        if (!Same(g.matrix, kIdentity)) out["matrix"] = Matrix(g.matrix);
        break;
    }
    default:  // none, and kinds without a payload the model knows of
        break;
    }
    return out;
}

bool IsGray(const HostColor& color, double gray) {
    return color.kind == kHostGrayColor && Same(color.c.gray.gray, gray);
}

void PutFlag(Json& object, const char* key, bool value, bool byDefault) {
    if (value != byDefault) object[key] = value;
}

void PutNumber(Json& object, const char* key, double value, double byDefault) {
    if (!Same(value, byDefault)) object[key] = Number(value);
}

void PutText(Json& object, const char* key, const std::string& value) {
    if (!value.empty()) object[key] = value;
}

void PutMatrix(Json& object, const HostMatrix& m, const HostMatrix& byDefault) {
    if (!Same(m, byDefault)) object["matrix"] = Matrix(m);
}

// A painted colour, written with its paint flag. The flag defaults to
// whether the colour is given, and an unpainted colour is still kept.
void PutPaint(Json& object, const char* key, const char* paintKey, bool paint, const HostColor& color) {
    if (!paint && IsGray(color, 0)) return;
    object[key] = Color(color);
    if (!paint) object[paintKey] = false;
}

Json PathStyle(const HostPathStyle& style) {
    Json out = Json::object();
    PutPaint(out, "fill", "fillPaint", style.fillPaint, style.fill.color);
    PutFlag(out, "fillOverprint", style.fill.overprint, false);
    const HostStrokeStyle& stroke = style.stroke;
    PutPaint(out, "stroke", "strokePaint", style.strokePaint, stroke.color);
    PutFlag(out, "strokeOverprint", stroke.overprint, false);
    PutNumber(out, "strokeWidth", stroke.width, 0);
    PutNumber(out, "dashOffset", stroke.dashOffset, 0);
    const int32_t dashCount = std::clamp<int32_t>(stroke.dashCount, 0, kHostMaxDashes);
    if (dashCount > 0) {
        Json dashes = Json::array();
        for (int32_t i = 0; i < dashCount; ++i) dashes.push_back(Number(stroke.dashes[i]));
        out["dashes"] = std::move(dashes);
    }
    if (stroke.cap != 0) out["cap"] = Enumerated(fmt::LineCapNames(), stroke.cap);
    if (stroke.join != 0) out["join"] = Enumerated(fmt::LineJoinNames(), stroke.join);
    PutNumber(out, "miterLimit", stroke.miterLimit, 0);
    PutFlag(out, "clip", style.clip, false);
    PutFlag(out, "lockClip", style.lockClip, false);
    PutFlag(out, "evenOdd", style.evenOdd, false);
    PutNumber(out, "resolution", style.resolution, 0);
    return out;
}

void PutPath(Json& out, const PathData& path) {
    PutFlag(out, "closed", path.closed, false);
    PutFlag(out, "guide", path.guide, false);
    Json style = PathStyle(path.style);
    if (!style.empty()) out["style"] = std::move(style);
    out["segments"] = Segments(path.segments);
}

void PutPlaced(Json& out, const PlacedData& placed) {
    PutMatrix(out, placed.matrix, kImageMatrix);
    PutNumber(out, "width", placed.width, 0);
    PutNumber(out, "height", placed.height, 0);
    PutText(out, "file", placed.file);
}

void PutRaster(Json& out, const RasterData& raster) {
    PutMatrix(out, raster.matrix, kIdentity);
    if (raster.pixelWidth != 0) out["pixelWidth"] = raster.pixelWidth;
    if (raster.pixelHeight != 0) out["pixelHeight"] = raster.pixelHeight;
    PutText(out, "data", raster.data);
}

Json TextRunJson(const TextRun& run) {
    const CharFeatures defaults;
    const CharFeatures& f = run.features;
    Json out = Json::object();
    out["text"] = run.text;
    PutText(out, "font", f.font);
    PutNumber(out, "fontSize", f.fontSize, defaults.fontSize);
    PutNumber(out, "horizontalScale", f.horizontalScale, defaults.horizontalScale);
    PutNumber(out, "verticalScale", f.verticalScale, defaults.verticalScale);
    PutNumber(out, "rotation", f.rotation, defaults.rotation);
    PutFlag(out, "fillPaint", f.fillPaint, true);
    if (!IsGray(f.fill, 1)) out["fill"] = Color(f.fill);
    PutFlag(out, "strokePaint", f.strokePaint, false);
    if (!IsGray(f.stroke, 1)) out["stroke"] = Color(f.stroke);
    PutNumber(out, "strokeWidth", f.strokeWidth, defaults.strokeWidth);
    PutFlag(out, "strokeUnder", f.strokeUnder, false);
    PutNumber(out, "tracking", f.tracking, defaults.tracking);
    PutNumber(out, "baselineShift", f.baselineShift, defaults.baselineShift);
    if (f.decoration) {
        Json decoration = Json::array();
        for (const fmt::NamedValue& d : fmt::TextDecorationNames())
            if (f.decoration & d.value) decoration.push_back(d.name);
        out["decoration"] = std::move(decoration);
    }
    PutFlag(out, "hidden", f.hidden, false);
    PutText(out, "fillServer", f.fillServer);
    PutText(out, "strokeServer", f.strokeServer);
    return out;
}

// A glyph list; null for the characters it does not place.
Json GlyphList(const std::vector<double>& list) {
    Json out = Json::array();
    for (double v : list) out.push_back(std::isfinite(v) ? Number(v) : Json());
    return out;
}

void PutText(Json& out, const TextData& text) {
    if (text.frameKind != 0) out["frame"] = Enumerated(fmt::TextFrameKindNames(), text.frameKind);
    if (text.orientation != 0) out["orientation"] = Enumerated(fmt::TextOrientationNames(), text.orientation);
    PutMatrix(out, text.matrix, kIdentity);
    Json runs = Json::array();
    for (const auto& run : text.runs) runs.push_back(TextRunJson(run));
    out["runs"] = std::move(runs);
    if (!text.paragraphs.empty()) {
        Json paragraphs = Json::array();
        for (Justification j : text.paragraphs)
            paragraphs.push_back(Enumerated(fmt::JustificationNames(), static_cast<int32_t>(j)));
        out["paragraphs"] = std::move(paragraphs);
    }
    if (!text.path.empty()) out["path"] = Segments(text.path);
    PutFlag(out, "pathClosed", text.pathClosed, false);
    if (!text.glyphs.empty()) {
        Json glyphs = Json::object();
        const GlyphPlacement& g = text.glyphs;
        for (auto [key, list] :
             {std::pair{"x", &g.x}, {"y", &g.y}, {"dx", &g.dx}, {"dy", &g.dy}, {"rotate", &g.rotate}})
            if (!list->empty()) glyphs[key] = GlyphList(*list);
        out["glyphs"] = std::move(glyphs);
    }
}

void PutSymbol(Json& out, const SymbolData& symbol) {
    out["symbol"] = symbol.symbol;
    PutMatrix(out, symbol.matrix, kIdentity);
}

void PutForeign(Json& out, const ForeignData& foreign) {
    PutText(out, "format", foreign.format);
    PutText(out, "payload", foreign.payload);
    PutMatrix(out, foreign.matrix, kIdentity);
    if (foreign.hasBounds) out["bounds"] = Rect(foreign.bounds);
}

// The fields every art object has besides its kind's own.
void PutCommon(Json& out, const Art& art) {
    PutText(out, "name", art.name);
    const int32_t attributes = art.attributes();
    PutFlag(out, "selected", attributes & kHostArtSelected, false);
    PutFlag(out, "locked", attributes & kHostArtLocked, false);
    PutFlag(out, "hidden", attributes & kHostArtHidden, false);
    PutPairs(out, "tags", art.tags);
    PutPairs(out, "foreignAttributes", art.foreignAttributes);
}

class Writer {
public:
    explicit Writer(const Document& document) : document_(document) {}

    Json document() {
        Json out = Json::object();
        out["format"] = std::string(fmt::kFormatTag);
        out["version"] = fmt::kVersion;
        const Document defaults;
        const HostRect& a = document_.artboard;
        const HostRect& d = defaults.artboard;
        if (!Same(a.left, d.left) || !Same(a.top, d.top) || !Same(a.right, d.right) || !Same(a.bottom, d.bottom))
            out["artboard"] = Rect(a);
        PutPairs(out, "foreignAttributes", document_.foreignAttributes);
        if (!document_.foreignContent.empty()) out["foreignContent"] = document_.foreignContent;
        Json layers = Json::array();
        for (const Layer* layer : document_.topLayers()) layers.push_back(this->layer(*layer, false));
        out["layers"] = std::move(layers);
        if (!document_.symbols().empty()) {
            Json symbols = Json::array();
            for (const SymbolDefinition& s : document_.symbols()) symbols.push_back(symbol(s));
            out["symbols"] = std::move(symbols);
        }
        return out;
    }

private:
    // The name, attributes and tags of a group that the format shows as a
    // layer or a symbol rather than as art; empty when they are all default.
    static Json groupExtras(const Art& group) {
        Json out = Json::object();
        PutCommon(out, group);
        return out;
    }

    Json layer(const Layer& layer, bool nested) {
        Json out = Json::object();
        if (nested) out["type"] = "layer";
        out["title"] = layer.title;
        PutFlag(out, "visible", layer.visible, true);
        PutFlag(out, "editable", layer.editable, true);
        PutFlag(out, "current", &layer == document_.currentLayer(), false);
        PutPairs(out, "foreignAttributes", layer.foreignAttributes);
        Json extras = groupExtras(*layer.group());
        if (!extras.empty()) out["group"] = std::move(extras);
        out["art"] = children(*layer.group());
        return out;
    }

    Json symbol(const SymbolDefinition& definition) {
        Json out = Json::object();
        out["name"] = definition.name;
        if (definition.art) {
            Json extras = groupExtras(*definition.art);
            if (!extras.empty()) out["group"] = std::move(extras);
            out["art"] = children(*definition.art);
        } else {
            out["art"] = Json::array();
        }
        return out;
    }

    // Front to back; a sublayer's group shows as the layer itself.
    Json children(const Art& container) {
        Json out = Json::array();
        for (const Art* child = container.firstChild(); child; child = child->next()) {
            if (child->ownerLayer())
                out.push_back(layer(*child->ownerLayer(), true));
            else
                out.push_back(art(*child));
        }
        return out;
    }

    Json art(const Art& art) {
        Json out = Json::object();
        out["type"] = Enumerated(fmt::ArtTypeNames(), art.type());
        PutCommon(out, art);
        switch (art.type()) {
        case kHostGroupArt:
        case kHostCompoundPathArt: out["art"] = children(art); break;
        case kHostPathArt: PutPath(out, DataOf<PathData>(art)); break;
        case kHostPlacedArt: PutPlaced(out, DataOf<PlacedData>(art)); break;
        case kHostRasterArt: PutRaster(out, DataOf<RasterData>(art)); break;
        case kHostTextFrameArt: PutText(out, DataOf<TextData>(art)); break;
        case kHostSymbolArt: PutSymbol(out, DataOf<SymbolData>(art)); break;
        default: PutForeign(out, DataOf<ForeignData>(art)); break;
        }
        return out;
    }

    // The art's data; the kind's defaults should it hold none.
    template <typename Data>
    static const Data& DataOf(const Art& art) {
        static const Data empty{};
        const Data* data = std::get_if<Data>(&art.data);
        return data ? *data : empty;
    }

    const Document& document_;
};

}  // namespace

std::string WriteJsonDocument(const Document& document) { return LayOutJson(Writer(document).document()); }

}  // namespace orbalis::host
