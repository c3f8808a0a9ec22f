// Reading the native document format. The document is built through the
// model's own operations; anything malformed stops the reading with one line
// naming the field, and no document is returned.
#include <cmath>
#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "host/io/JsonDocument.h"

#include "host/io/JsonDocumentNames.h"
#include "host/io/JsonFields.h"

namespace orbalis::host {

namespace {

using namespace json_input;
namespace fmt = json_format;

constexpr HostMatrix kIdentity{1, 0, 0, 1, 0, 0};
constexpr HostMatrix kImageMatrix{1, 0, 0, -1, 0, 0};
constexpr int32_t kAttributeBits = kHostArtSelected | kHostArtLocked | kHostArtHidden;

// A name from `names`, or any number for values the format has no name for.
int32_t ReadEnumerated(const Json& value, const Where& where, std::span<const fmt::NamedValue> names,
                       const char* what) {
    if (value.is_number()) return ReadInt32(value, where);
    if (!value.is_string()) Expected(where, what, value);
    const std::string name = value.get<std::string>();
    if (auto known = fmt::ValueOf(names, name)) return *known;
    std::string choices;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i) choices += i + 1 == names.size() ? " or " : ", ";
        choices += names[i].name;
    }
    Fail(where, "unknown " + std::string(what) + " " + Quote(name) + " (expected " + choices + ")");
}

HostPathSegment ReadSegment(const Json& value, const Where& where) {
    const size_t size = value.is_array() ? value.size() : 0;
    const bool cornerFlag = size == 7 && value[6].is_boolean();
    if (size != 2 && size != 6 && !cornerFlag)
        Fail(where,
             "expected a segment: [x, y] or [x, y, inX, inY, outX, outY] with an optional "
             "corner flag");
    double n[6] = {};
    for (size_t i = 0; i < 6 && i < size; ++i) n[i] = ReadNumber(value[i], where.item(i));
    HostPathSegment s{};
    s.p = {n[0], n[1]};
    if (size == 2) {
        s.in = s.out = s.p;
        s.corner = 1;
    } else {
        s.in = {n[2], n[3]};
        s.out = {n[4], n[5]};
        s.corner = cornerFlag && value[6].get<bool>();
    }
    return s;
}

std::vector<HostPathSegment> ReadSegments(const Json& value, const Where& where) {
    ReadArray(value, where);
    std::vector<HostPathSegment> out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) out.push_back(ReadSegment(value[i], where.item(i)));
    return out;
}

// ---------------------------------------------------------------- art data

HostColor ReadColor(const Json& value, const Where& where) {
    Fields f(value, where);
    HostColor color{};
    color.kind = ReadEnumerated(f.require("kind"), f.at("kind"), fmt::ColorKindNames(), "colour kind");
    switch (color.kind) {
    case kHostGrayColor: color.c.gray.gray = ReadNumber(f.require("gray"), f.at("gray")); break;
    case kHostFourColor: {
        auto n = ReadNumbers(f.require("cmyk"), f.at("cmyk"), 4, "[cyan, magenta, yellow, black]");
        color.c.four = {n[0], n[1], n[2], n[3]};
        break;
    }
    case kHostThreeColor: {
        auto n = ReadNumbers(f.require("rgb"), f.at("rgb"), 3, "[red, green, blue]");
        color.c.three = {n[0], n[1], n[2]};
        break;
    }
    case kHostCustomColor:
        color.c.custom.swatch = ReadUInt32(f.require("swatch"), f.at("swatch"));
        color.c.custom.tint = f.number("tint", 0);
        break;
    case kHostPatternColor:
        color.c.pattern.pattern = ReadUInt32(f.require("pattern"), f.at("pattern"));
        color.c.pattern.transform = f.matrix(kIdentity);
        break;
    case kHostGradientColor: {
        auto& g = color.c.gradient;
        g.gradient = ReadUInt32(f.require("gradient"), f.at("gradient"));
        const Json* origin = f.find("origin");
        g.origin = origin ? ReadPoint(*origin, f.at("origin")) : HostPoint{0, 0};
        g.angle = f.number("angle", 0);
        g.length = f.number("length", 0);
        g.matrix = f.matrix(kIdentity);
        break;
    }
    default:  // none, and kinds the model keeps only by number
        break;
    }
    f.finish();
    return color;
}

// A colour and its paint flag; the flag defaults to whether the colour is given.
void ReadPaint(Fields& f, const char* key, const char* paintKey, HostBool* paint, HostColor* color) {
    const Json* value = f.find(key);
    if (value) *color = ReadColor(*value, f.at(key));
    *paint = f.flag(paintKey, value != nullptr);
}

HostPathStyle ReadPathStyle(const Json& value, const Where& where) {
    Fields f(value, where);
    HostPathStyle style{};
    ReadPaint(f, "fill", "fillPaint", &style.fillPaint, &style.fill.color);
    style.fill.overprint = f.flag("fillOverprint", false);
    HostStrokeStyle& stroke = style.stroke;
    ReadPaint(f, "stroke", "strokePaint", &style.strokePaint, &stroke.color);
    stroke.overprint = f.flag("strokeOverprint", false);
    stroke.width = f.number("strokeWidth", 0);
    stroke.dashOffset = f.number("dashOffset", 0);
    if (const Json* dashes = f.find("dashes")) {
        const Where at = f.at("dashes");
        ReadArray(*dashes, at);
        if (dashes->size() > kHostMaxDashes) Fail(at, "at most " + std::to_string(kHostMaxDashes) + " dash lengths");
        stroke.dashCount = static_cast<int32_t>(dashes->size());
        for (size_t i = 0; i < dashes->size(); ++i) stroke.dashes[i] = ReadNumber((*dashes)[i], at.item(i));
    }
    if (const Json* cap = f.find("cap"))
        stroke.cap = ReadEnumerated(*cap, f.at("cap"), fmt::LineCapNames(), "line cap");
    if (const Json* join = f.find("join"))
        stroke.join = ReadEnumerated(*join, f.at("join"), fmt::LineJoinNames(), "line join");
    stroke.miterLimit = f.number("miterLimit", 0);
    style.clip = f.flag("clip", false);
    style.lockClip = f.flag("lockClip", false);
    style.evenOdd = f.flag("evenOdd", false);
    style.resolution = f.number("resolution", 0);
    f.finish();
    return style;
}

PathData ReadPath(Fields& f) {
    PathData path;
    path.closed = f.flag("closed", false);
    path.guide = f.flag("guide", false);
    if (const Json* style = f.find("style")) path.style = ReadPathStyle(*style, f.at("style"));
    path.segments = ReadSegments(f.require("segments"), f.at("segments"));
    return path;
}

PlacedData ReadPlaced(Fields& f) {
    PlacedData placed;
    placed.matrix = f.matrix(kImageMatrix);
    placed.width = f.number("width", 0);
    placed.height = f.number("height", 0);
    placed.file = f.text("file");
    return placed;
}

RasterData ReadRaster(Fields& f) {
    RasterData raster;
    raster.matrix = f.matrix(kIdentity);
    if (const Json* w = f.find("pixelWidth")) raster.pixelWidth = ReadInt32(*w, f.at("pixelWidth"));
    if (const Json* h = f.find("pixelHeight")) raster.pixelHeight = ReadInt32(*h, f.at("pixelHeight"));
    raster.data = f.text("data");
    return raster;
}

TextRun ReadTextRun(const Json& value, const Where& where) {
    Fields f(value, where);
    TextRun run;
    run.text = ReadString(f.require("text"), f.at("text"));
    CharFeatures& c = run.features;
    c.font = f.text("font");
    c.fontSize = f.number("fontSize", c.fontSize);
    c.horizontalScale = f.number("horizontalScale", c.horizontalScale);
    c.verticalScale = f.number("verticalScale", c.verticalScale);
    c.rotation = f.number("rotation", c.rotation);
    c.fillPaint = f.flag("fillPaint", true);
    c.fill = HostColor{};
    c.fill.kind = kHostGrayColor;
    c.fill.c.gray.gray = 1;
    if (const Json* fill = f.find("fill")) c.fill = ReadColor(*fill, f.at("fill"));
    c.strokePaint = f.flag("strokePaint", false);
    c.stroke = HostColor{};
    c.stroke.kind = kHostGrayColor;
    c.stroke.c.gray.gray = 1;
    if (const Json* stroke = f.find("stroke")) c.stroke = ReadColor(*stroke, f.at("stroke"));
    c.strokeWidth = f.number("strokeWidth", c.strokeWidth);
    c.strokeUnder = f.flag("strokeUnder", false);
    c.tracking = f.number("tracking", c.tracking);
    c.baselineShift = f.number("baselineShift", c.baselineShift);
    if (const Json* decoration = f.find("decoration")) {
        const Where at = f.at("decoration");
        ReadArray(*decoration, at);
        for (size_t i = 0; i < decoration->size(); ++i)
            c.decoration |= ReadEnumerated((*decoration)[i], at.item(i), fmt::TextDecorationNames(), "text decoration");
    }
    c.hidden = f.flag("hidden", false);
    c.fillServer = f.text("fillServer");
    c.strokeServer = f.text("strokeServer");
    f.finish();
    return run;
}

// A glyph list: numbers, null for characters it does not place.
std::vector<double> ReadGlyphList(const Json& value, const Where& where) {
    ReadArray(value, where);
    std::vector<double> list;
    for (size_t i = 0; i < value.size(); ++i)
        list.push_back(value[i].is_null() ? NAN : ReadNumber(value[i], where.item(i)));
    return list;
}

GlyphPlacement ReadGlyphs(const Json& value, const Where& where) {
    Fields f(value, where);
    GlyphPlacement g;
    for (auto [key, list] : {std::pair{"x", &g.x}, {"y", &g.y}, {"dx", &g.dx}, {"dy", &g.dy}, {"rotate", &g.rotate}})
        if (const Json* found = f.find(key)) *list = ReadGlyphList(*found, f.at(key));
    f.finish();
    return g;
}

TextData ReadText(Fields& f) {
    TextData text;
    if (const Json* frame = f.find("frame"))
        text.frameKind = ReadEnumerated(*frame, f.at("frame"), fmt::TextFrameKindNames(), "text frame");
    if (const Json* o = f.find("orientation"))
        text.orientation = ReadEnumerated(*o, f.at("orientation"), fmt::TextOrientationNames(), "text orientation");
    text.matrix = f.matrix(kIdentity);
    if (const Json* runs = f.find("runs")) {
        const Where at = f.at("runs");
        ReadArray(*runs, at);
        for (size_t i = 0; i < runs->size(); ++i) text.runs.push_back(ReadTextRun((*runs)[i], at.item(i)));
    }
    if (const Json* paragraphs = f.find("paragraphs")) {
        const Where at = f.at("paragraphs");
        ReadArray(*paragraphs, at);
        for (size_t i = 0; i < paragraphs->size(); ++i)
            text.paragraphs.push_back(static_cast<Justification>(
                ReadEnumerated((*paragraphs)[i], at.item(i), fmt::JustificationNames(), "justification")));
    }
    if (const Json* path = f.find("path")) text.path = ReadSegments(*path, f.at("path"));
    text.pathClosed = f.flag("pathClosed", false);
    if (const Json* glyphs = f.find("glyphs")) text.glyphs = ReadGlyphs(*glyphs, f.at("glyphs"));
    return text;
}

SymbolData ReadSymbolInstance(Fields& f) {
    SymbolData symbol;
    symbol.symbol = ReadString(f.require("symbol"), f.at("symbol"));
    symbol.matrix = f.matrix(kIdentity);
    return symbol;
}

ForeignData ReadForeign(Fields& f) {
    ForeignData foreign;
    foreign.format = f.text("format");
    foreign.payload = f.text("payload");
    foreign.matrix = f.matrix(kIdentity);
    if (const Json* bounds = f.find("bounds")) {
        foreign.bounds = ReadRect(*bounds, f.at("bounds"));
        foreign.hasBounds = true;
    }
    return foreign;
}

std::string ArtTypeLabel(int32_t type) {
    std::string_view name = fmt::NameOf(fmt::ArtTypeNames(), type);
    return name.empty() ? "art of type " + std::to_string(type) : std::string(name);
}

// ---------------------------------------------------------------- document

class Reader {
public:
    std::unique_ptr<Document> read(const Json& root) {
        const Where top{};
        if (!root.is_object()) Expected(top, "a JSON object", root);
        Fields f(root, top);
        checkFormat(f);
        if (const Json* artboard = f.find("artboard")) document_->artboard = ReadRect(*artboard, f.at("artboard"));
        document_->foreignAttributes = f.pairs("foreignAttributes");
        if (const Json* content = f.find("foreignContent")) {
            const Where at = f.at("foreignContent");
            ReadArray(*content, at);
            for (size_t i = 0; i < content->size(); ++i)
                document_->foreignContent.push_back(ReadString((*content)[i], at.item(i)));
        }
        if (const Json* layers = f.find("layers")) readTopLayers(*layers, f.at("layers"));
        if (const Json* symbols = f.find("symbols")) readSymbols(*symbols, f.at("symbols"));
        f.finish();
        applyDeferred();
        return std::move(document_);
    }

private:
    struct LayerState {
        Layer* layer;
        bool visible;
        bool editable;
    };

    static void checkFormat(Fields& f) {
        const Json* format = f.find("format");
        if (!format) Fail(f.where(), "not an Orbalis document (no \"format\" field)");
        if (!format->is_string() || format->get<std::string>() != fmt::kFormatTag)
            Fail(f.at("format"),
                 "not an Orbalis document (format " +
                     (format->is_string() ? Quote(format->get<std::string>()) : std::string(KindOf(*format))) + ")");
        const Where at = f.at("version");
        const int64_t version = ReadInteger(f.require("version"), at, INT64_MIN, INT64_MAX);
        if (version > fmt::kVersion)
            Fail(at, "version " + std::to_string(version) + " is newer than this host reads (" +
                         std::to_string(fmt::kVersion) + ")");
        if (version < 1) Fail(at, "unknown version " + std::to_string(version));
    }

    void readTopLayers(const Json& layers, const Where& where) {
        ReadArray(layers, where);
        Layer* previous = nullptr;
        for (size_t i = 0; i < layers.size(); ++i) {
            Layer* layer = nullptr;
            const HostErr err = previous ? document_->insertLayer(previous, kHostPlaceBelow, &layer)
                                         : document_->insertLayer(nullptr, kHostPlaceAboveAll, &layer);
            const Where at = where.item(i);
            if (err) Fail(at, "the host refused the layer (error " + std::to_string(err) + ")");
            readLayer(layers[i], at, layer, 1);
            previous = layer;
        }
    }

    void readLayer(const Json& value, const Where& where, Layer* layer, int depth) {
        Fields f(value, where);
        if (const Json* type = f.find("type"); type && *type != "layer")
            Fail(f.at("type"), "expected \"layer\" (or no type) for a layer");
        layer->title = ReadString(f.require("title"), f.at("title"));
        layers_.push_back({layer, f.flag("visible", true), f.flag("editable", true)});
        if (f.flag("current", false)) {
            if (current_) Fail(f.at("current"), "more than one layer is marked current");
            current_ = layer;
        }
        layer->foreignAttributes = f.pairs("foreignAttributes");
        if (const Json* group = f.find("group")) readGroupExtras(*group, f.at("group"), layer->group());
        if (const Json* art = f.find("art")) readChildren(*art, f.at("art"), layer->group(), layer, depth);
        f.finish();
    }

    void readSymbols(const Json& symbols, const Where& where) {
        ReadArray(symbols, where);
        for (size_t i = 0; i < symbols.size(); ++i) {
            const Where at = where.item(i);
            Fields f(symbols[i], at);
            const std::string name = ReadString(f.require("name"), f.at("name"));
            Art* group = document_->newSymbolDefinition(name);
            if (const Json* extras = f.find("group")) readGroupExtras(*extras, f.at("group"), group);
            if (const Json* art = f.find("art")) readChildren(*art, f.at("art"), group, nullptr, 1);
            f.finish();
        }
    }

    // The name, attributes and tags of the group behind a layer or a symbol.
    void readGroupExtras(const Json& value, const Where& where, Art* group) {
        Fields f(value, where);
        readCommon(f, group);
        f.finish();
    }

    void readCommon(Fields& f, Art* art) {
        art->name = f.text("name");
        int32_t attributes = 0;
        if (f.flag("selected", false)) attributes |= kHostArtSelected;
        if (f.flag("locked", false)) attributes |= kHostArtLocked;
        if (f.flag("hidden", false)) attributes |= kHostArtHidden;
        if (attributes) attributes_.emplace_back(art, attributes);
        art->tags = f.pairs("tags");
        art->foreignAttributes = f.pairs("foreignAttributes");
    }

    // Items of an "art" array, front to back, each added at the bottom of
    // `container`. Only a layer's own list may hold layers.
    void readChildren(const Json& list, const Where& where, Art* container, Layer* layer, int depth) {
        ReadArray(list, where);
        if (depth > fmt::kMaxNesting)
            Fail(where, "layers and groups nested deeper than " + std::to_string(fmt::kMaxNesting) + " levels");
        for (size_t i = 0; i < list.size(); ++i) {
            const Where at = where.item(i);
            const Json& item = list[i];
            if (item.is_object() && item.contains("type") && item["type"] == "layer") {
                if (!layer) Fail(at, "a layer can only sit directly inside another layer");
                Layer* sublayer = nullptr;
                if (HostErr err = document_->insertLayer(layer, kHostPlaceInsideOnBottom, &sublayer))
                    Fail(at, "the host refused the layer (error " + std::to_string(err) + ")");
                readLayer(item, at, sublayer, depth + 1);
            } else {
                readArt(item, at, container, depth);
            }
        }
    }

    void readArt(const Json& value, const Where& where, Art* parent, int depth) {
        Fields f(value, where);
        const Where typeAt = f.at("type");
        const int32_t type = ReadEnumerated(f.require("type"), typeAt, fmt::ArtTypeNames(), "art type");
        if (parent->type() == kHostCompoundPathArt && type != kHostPathArt)
            Fail(typeAt, "a compound path holds only paths, not " + ArtTypeLabel(type));
        Art* art = nullptr;
        if (HostErr err = document_->newArt(type, kHostPlaceInsideOnBottom, parent, &art))
            Fail(where, "the host refused the art (error " + std::to_string(err) + ")");
        readCommon(f, art);
        switch (type) {
        case kHostGroupArt:
        case kHostCompoundPathArt:
            if (const Json* children = f.find("art")) readChildren(*children, f.at("art"), art, nullptr, depth + 1);
            break;
        case kHostPathArt: art->data = ReadPath(f); break;
        case kHostPlacedArt: art->data = ReadPlaced(f); break;
        case kHostRasterArt: art->data = ReadRaster(f); break;
        case kHostTextFrameArt: art->data = ReadText(f); break;
        case kHostSymbolArt: art->data = ReadSymbolInstance(f); break;
        default: art->data = ReadForeign(f); break;
        }
        f.finish();
        document_->touch(art);
    }

    // Lock, hide and visibility last: the model refuses to add art inside
    // locked or hidden containers and layers.
    void applyDeferred() {
        for (const auto& [art, bits] : attributes_) document_->setAttributes(art, kAttributeBits, bits);
        for (const LayerState& s : layers_) {
            s.layer->visible = s.visible;
            s.layer->editable = s.editable;
        }
        if (current_) document_->setCurrentLayer(current_);
    }

    std::unique_ptr<Document> document_ = std::make_unique<Document>();
    std::vector<std::pair<Art*, int32_t>> attributes_;
    std::vector<LayerState> layers_;
    Layer* current_ = nullptr;
};

}  // namespace

std::unique_ptr<Document> ReadJsonDocument(const std::string& text, std::string* error) {
    std::string ignored;
    std::string& message = error ? *error : ignored;
    message.clear();
    try {
        return Reader().read(ParseJson(text));
    } catch (const ReadError& e) {
        message = e.message;
    } catch (const nlohmann::json::exception& e) {
        message = std::string("unreadable document: ") + e.what();
    } catch (const std::bad_alloc&) {
        message = "out of memory while reading the document";
    }
    return nullptr;
}

}  // namespace orbalis::host
