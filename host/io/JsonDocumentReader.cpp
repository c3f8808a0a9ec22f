// Reading the native document format. The document is built through the
// model's own operations; anything malformed stops the reading with one line
// naming the field, and no document is returned.
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <new>
#include <set>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "host/io/JsonDocument.h"
#include "host/io/JsonDocumentNames.h"

namespace orbalis::host {

namespace {

using Json = nlohmann::ordered_json;
namespace fmt = json_format;

constexpr HostMatrix kIdentity{1, 0, 0, 1, 0, 0};
constexpr HostMatrix kImageMatrix{1, 0, 0, -1, 0, 0};
constexpr int32_t kAttributeBits = kHostArtSelected | kHostArtLocked | kHostArtHidden;

// ---------------------------------------------------------------- locations

// "layers", "[2]", "art", "[5]" becomes "layers[2].art[5]". Very deep
// locations keep their first and last steps: "layers[0].art[0] ... art[0].art".
std::string JoinLocation(const std::vector<std::string>& steps) {
    constexpr size_t kHead = 6;
    constexpr size_t kTail = 8;
    std::string out;
    auto append = [&out](const std::string& step) {
        if (!out.empty() && step.front() != '[' && out.back() != ' ') out += '.';
        out += step;
    };
    if (steps.size() <= kHead + kTail) {
        for (const auto& step : steps) append(step);
    } else {
        size_t tail = steps.size() - kTail;
        if (steps[tail].front() == '[') --tail;  // start the tail at a field name
        for (size_t i = 0; i < kHead; ++i) append(steps[i]);
        out += " ... ";
        for (size_t i = tail; i < steps.size(); ++i) append(steps[i]);
    }
    return out.empty() ? "document" : out;
}

std::string Index(size_t i) { return "[" + std::to_string(i) + "]"; }

// A string as it would appear in JSON, so that odd characters in a message
// stay visible and on one line.
std::string Quote(const std::string& text) {
    return Json(text).dump(-1, ' ', false, nlohmann::detail::error_handler_t::replace);
}

// Where a value sits in the document. Each one lives on the stack of the
// code reading the value, above its parent's.
struct Where {
    const Where* parent = nullptr;
    const char* key = nullptr;  // a field name; null for an array item
    size_t index = 0;

    Where field(const char* name) const { return {this, name, 0}; }
    Where item(size_t i) const { return {this, nullptr, i}; }

    std::string describe() const {
        std::vector<std::string> steps;
        for (const Where* w = this; w && w->parent; w = w->parent)
            steps.push_back(w->key ? std::string(w->key) : Index(w->index));
        return JoinLocation({steps.rbegin(), steps.rend()});
    }
};

struct ReadError {
    std::string message;
};

[[noreturn]] void Fail(const Where& where, const std::string& what) {
    throw ReadError{where.describe() + ": " + what};
}

const char* KindOf(const Json& value) {
    switch (value.type()) {
    case Json::value_t::null: return "null";
    case Json::value_t::boolean: return "a boolean";
    case Json::value_t::string: return "a string";
    case Json::value_t::array: return "an array";
    case Json::value_t::object: return "an object";
    case Json::value_t::binary: return "binary data";
    case Json::value_t::discarded: return "nothing";
    default: return "a number";
    }
}

[[noreturn]] void Expected(const Where& where, const char* what, const Json& found) {
    Fail(where, std::string("expected ") + what + ", found " + KindOf(found));
}

// ---------------------------------------------------------------- duplicate fields

// Watches the parser and notes the first object that repeats a field name,
// which JSON parsers would otherwise settle silently by keeping one of them.
class DuplicateFieldFinder {
public:
    bool operator()(int, nlohmann::detail::parse_event_t event, Json& parsed) {
        using Event = nlohmann::detail::parse_event_t;
        switch (event) {
        case Event::object_start:
        case Event::array_start:
            beginItem();
            frames_.push_back({event == Event::object_start, {}, {}, 0, false});
            break;
        case Event::object_end:
        case Event::array_end:
            if (!frames_.empty()) frames_.pop_back();
            break;
        case Event::key:
            if (!frames_.empty()) noteKey(parsed.get<std::string>());
            break;
        case Event::value:
            beginItem();
            break;
        }
        return true;
    }

    const std::string& error() const { return error_; }

private:
    struct Frame {
        bool object;
        std::set<std::string> keys;
        std::string key;  // objects: the field being read
        size_t index;     // arrays: the item being read
        bool started;
    };

    void beginItem() {
        if (frames_.empty() || frames_.back().object) return;
        Frame& array = frames_.back();
        array.index = array.started ? array.index + 1 : 0;
        array.started = true;
    }

    void noteKey(const std::string& key) {
        Frame& object = frames_.back();
        object.key = key;
        if (!error_.empty() || object.keys.insert(key).second) return;
        std::vector<std::string> steps;
        for (size_t i = 0; i + 1 < frames_.size(); ++i)
            steps.push_back(frames_[i].object ? frames_[i].key : Index(frames_[i].index));
        error_ = JoinLocation(steps) + ": duplicate field " + Quote(key);
    }

    std::vector<Frame> frames_;
    std::string error_;
};

// ---------------------------------------------------------------- values

double ReadNumber(const Json& value, const Where& where) {
    if (!value.is_number()) Expected(where, "a number", value);
    const double number = value.get<double>();
    if (!std::isfinite(number)) Fail(where, "number out of range");
    return number;
}

int64_t ReadInteger(const Json& value, const Where& where, int64_t lowest, int64_t highest) {
    if (!value.is_number_integer()) {
        if (value.is_number()) Fail(where, "expected a whole number");
        Expected(where, "a whole number", value);
    }
    if (value.is_number_unsigned()) {
        const uint64_t u = value.get<uint64_t>();
        if (u > static_cast<uint64_t>(highest)) Fail(where, "number out of range");
        return static_cast<int64_t>(u);
    }
    const int64_t i = value.get<int64_t>();
    if (i < lowest || i > highest) Fail(where, "number out of range");
    return i;
}

int32_t ReadInt32(const Json& value, const Where& where) {
    return static_cast<int32_t>(ReadInteger(value, where, INT32_MIN, INT32_MAX));
}

uint32_t ReadUInt32(const Json& value, const Where& where) {
    return static_cast<uint32_t>(ReadInteger(value, where, 0, UINT32_MAX));
}

bool ReadBool(const Json& value, const Where& where) {
    if (!value.is_boolean()) Expected(where, "true or false", value);
    return value.get<bool>();
}

std::string ReadString(const Json& value, const Where& where) {
    if (!value.is_string()) Expected(where, "a string", value);
    return value.get<std::string>();
}

const Json& ReadArray(const Json& value, const Where& where) {
    if (!value.is_array()) Expected(where, "an array", value);
    return value;
}

// An array of exactly `count` numbers.
std::vector<double> ReadNumbers(const Json& value, const Where& where, size_t count,
                                const char* what) {
    if (!value.is_array() || value.size() != count)
        Fail(where, "expected " + std::string(what) + ": " + std::to_string(count) + " numbers");
    std::vector<double> out;
    for (size_t i = 0; i < count; ++i) out.push_back(ReadNumber(value[i], where.item(i)));
    return out;
}

HostPoint ReadPoint(const Json& value, const Where& where) {
    auto n = ReadNumbers(value, where, 2, "a point [x, y]");
    return {n[0], n[1]};
}

HostMatrix ReadMatrix(const Json& value, const Where& where) {
    auto n = ReadNumbers(value, where, 6, "a matrix [a, b, c, d, tx, ty]");
    return {n[0], n[1], n[2], n[3], n[4], n[5]};
}

HostRect ReadRect(const Json& value, const Where& where) {
    auto n = ReadNumbers(value, where, 4, "a rectangle [left, top, right, bottom]");
    return {n[0], n[1], n[2], n[3]};
}

// A name from `names`, or any number for values the format has no name for.
int32_t ReadEnumerated(const Json& value, const Where& where,
                       std::span<const fmt::NamedValue> names, const char* what) {
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

NameValues ReadPairs(const Json& value, const Where& where) {
    ReadArray(value, where);
    NameValues out;
    out.reserve(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
        const Json& pair = value[i];
        if (!pair.is_array() || pair.size() != 2 || !pair[0].is_string() || !pair[1].is_string())
            Fail(where.item(i), "expected a [name, value] pair of strings");
        out.emplace_back(pair[0].get<std::string>(), pair[1].get<std::string>());
    }
    return out;
}

HostPathSegment ReadSegment(const Json& value, const Where& where) {
    const size_t size = value.is_array() ? value.size() : 0;
    const bool cornerFlag = size == 7 && value[6].is_boolean();
    if (size != 2 && size != 6 && !cornerFlag)
        Fail(where, "expected a segment: [x, y] or [x, y, inX, inY, outX, outY] with an optional "
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

// ---------------------------------------------------------------- objects

// The fields of one JSON object. Every field read is ticked off, and
// finish() refuses any that nobody asked for: a misspelt field is an error,
// never silently dropped.
class Fields {
public:
    Fields(const Json& value, const Where& where) : object_(value), where_(where) {
        if (!value.is_object()) Expected(where, "an object", value);
    }

    Where at(const char* key) const { return where_.field(key); }
    const Where& where() const { return where_; }

    const Json* find(const char* key) {
        read_.push_back(key);
        auto it = object_.find(key);
        return it == object_.end() ? nullptr : &*it;
    }

    const Json& require(const char* key) {
        if (const Json* value = find(key)) return *value;
        Fail(where_, "missing field " + Quote(key));
    }

    double number(const char* key, double byDefault) {
        const Json* value = find(key);
        return value ? ReadNumber(*value, at(key)) : byDefault;
    }

    bool flag(const char* key, bool byDefault) {
        const Json* value = find(key);
        return value ? ReadBool(*value, at(key)) : byDefault;
    }

    std::string text(const char* key) {
        const Json* value = find(key);
        return value ? ReadString(*value, at(key)) : std::string();
    }

    HostMatrix matrix(const HostMatrix& byDefault) {
        const Json* value = find("matrix");
        return value ? ReadMatrix(*value, at("matrix")) : byDefault;
    }

    NameValues pairs(const char* key) {
        const Json* value = find(key);
        return value ? ReadPairs(*value, at(key)) : NameValues{};
    }

    void finish() const {
        for (auto it = object_.begin(); it != object_.end(); ++it) {
            bool known = false;
            for (const char* key : read_) known = known || it.key() == key;
            if (!known) Fail(where_, "unknown field " + Quote(it.key()));
        }
    }

private:
    const Json& object_;
    const Where& where_;
    std::vector<const char*> read_;
};

HostColor ReadColor(const Json& value, const Where& where) {
    Fields f(value, where);
    HostColor color{};
    color.kind = ReadEnumerated(f.require("kind"), f.at("kind"), fmt::ColorKindNames(), "colour kind");
    switch (color.kind) {
    case kHostGrayColor:
        color.c.gray.gray = ReadNumber(f.require("gray"), f.at("gray"));
        break;
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
        if (dashes->size() > kHostMaxDashes)
            Fail(at, "at most " + std::to_string(kHostMaxDashes) + " dash lengths");
        stroke.dashCount = static_cast<int32_t>(dashes->size());
        for (size_t i = 0; i < dashes->size(); ++i)
            stroke.dashes[i] = ReadNumber((*dashes)[i], at.item(i));
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
    f.finish();
    return run;
}

TextData ReadText(Fields& f) {
    TextData text;
    if (const Json* frame = f.find("frame"))
        text.frameKind = ReadEnumerated(*frame, f.at("frame"), fmt::TextFrameKindNames(), "text frame");
    if (const Json* o = f.find("orientation"))
        text.orientation =
            ReadEnumerated(*o, f.at("orientation"), fmt::TextOrientationNames(), "text orientation");
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
            text.paragraphs.push_back(static_cast<Justification>(ReadEnumerated(
                (*paragraphs)[i], at.item(i), fmt::JustificationNames(), "justification")));
    }
    if (const Json* path = f.find("path")) text.path = ReadSegments(*path, f.at("path"));
    text.pathClosed = f.flag("pathClosed", false);
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
        if (const Json* artboard = f.find("artboard"))
            document_->artboard = ReadRect(*artboard, f.at("artboard"));
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
            Fail(f.at("format"), "not an Orbalis document (format " +
                                     (format->is_string() ? Quote(format->get<std::string>())
                                                          : std::string(KindOf(*format))) +
                                     ")");
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
            const HostErr err = previous
                                    ? document_->insertLayer(previous, kHostPlaceBelow, &layer)
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
            Fail(where, "layers and groups nested deeper than " + std::to_string(fmt::kMaxNesting) +
                            " levels");
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
            if (const Json* children = f.find("art"))
                readChildren(*children, f.at("art"), art, nullptr, depth + 1);
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

// The parser quotes the input it stopped at, which may hold control
// characters or broken UTF-8; those become '?' so that the message stays
// one printable line.
std::string Printable(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        if (byte >= 0x20 && byte < 0x7f) length = 1;
        else if (byte >= 0xc2 && byte <= 0xdf) length = 2;
        else if (byte >= 0xe0 && byte <= 0xef) length = 3;
        else if (byte >= 0xf0 && byte <= 0xf4) length = 4;
        bool valid = length > 0 && i + length <= text.size();
        for (size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(text[i + k]) & 0xc0) == 0x80;
        if (valid) {
            out.append(text, i, length);
            i += length;
        } else {
            out += '?';
            ++i;
        }
    }
    return out;
}

// nlohmann's messages start with an identifier meant for programmers.
std::string ParserMessage(const nlohmann::json::exception& e) {
    std::string message = e.what();
    if (message.rfind("[json.exception.", 0) == 0) {
        const size_t end = message.find("] ");
        if (end != std::string::npos) message.erase(0, end + 2);
    }
    message = Printable(message);
    const std::string parseError = "parse error at ";
    if (message.rfind(parseError, 0) == 0) return "invalid JSON at " + message.substr(parseError.size());
    return "invalid JSON: " + message;
}

}  // namespace

std::unique_ptr<Document> ReadJsonDocument(const std::string& text, std::string* error) {
    std::string ignored;
    std::string& message = error ? *error : ignored;
    message.clear();
    try {
        DuplicateFieldFinder duplicates;
        const Json root = Json::parse(text, std::ref(duplicates));
        if (!duplicates.error().empty()) {
            message = duplicates.error();
            return nullptr;
        }
        return Reader().read(root);
    } catch (const ReadError& e) {
        message = e.message;
    } catch (const nlohmann::json::exception& e) {
        message = ParserMessage(e);
    } catch (const std::bad_alloc&) {
        message = "out of memory while reading the document";
    }
    return nullptr;
}

}  // namespace orbalis::host
