// The stand-in host's art objects: the tree nodes of a document and the
// data of each kind of art.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "host/handles/HandleTable.h"
#include "sdk/suites/ArtSuites.h"

namespace orbalis::host {

class Document;
class Layer;

// Ordered name/value pairs. Tags are the host's named values on an object;
// foreign attributes are what an imported file said about an object that
// the model has no field for, written back unchanged on export.
using NameValues = std::vector<std::pair<std::string, std::string>>;

// The style first: the points' address and the flags a walk reads then
// share the cache line of the art data's kind, which every look at a path
// reads too.
struct PathData {
    HostPathStyle style{};
    std::vector<HostPathSegment> segments;
    bool closed = false;
    bool guide = false;
};

// The style the host gives a path made through the Art suite: a white fill
// and a black stroke of 1 point, butt caps, mitre joins with a limit of 10.
inline HostPathStyle NewPathStyle() {
    HostPathStyle style{};
    style.fillPaint = 1;
    style.fill.color.kind = kHostGrayColor;
    style.fill.color.c.gray.gray = 0;
    style.strokePaint = 1;
    style.stroke.color.kind = kHostGrayColor;
    style.stroke.color.c.gray.gray = 1;
    style.stroke.width = 1;
    style.stroke.miterLimit = 10;
    return style;
}

// Natural size in image units; the matrix maps image space (y down) to the
// page, so an unrotated image at natural size has a = 1, d = -1.
struct PlacedData {
    HostMatrix matrix{1, 0, 0, -1, 0, 0};
    double width = 0;
    double height = 0;
    std::string file;
};

struct RasterData {
    HostMatrix matrix{1, 0, 0, 1, 0, 0};
    int32_t pixelWidth = 0;
    int32_t pixelHeight = 0;
    std::string data;  // where the pixels come from (a file or data reference)
};

// Paragraph justification of the text model.
enum class Justification : int32_t { Left = 0, Right = 1, Center = 2 };

struct CharFeatures {
    std::string font;
    double fontSize = 12;
    double horizontalScale = 1;  // 1 = 100 %
    double verticalScale = 1;
    double rotation = 0;  // character rotation in degrees
    bool fillPaint = true;
    HostColor fill{};  // defaults to gray 1 (black) when created by the host
    bool strokePaint = false;
    HostColor stroke{};  // gray 1 (black) when created by the host
    double strokeWidth = 1;
    // The stroke is painted under the fill: a halo round map labels.
    bool strokeUnder = false;
    double tracking = 0;       // added to each advance, in thousandths of an em
    double baselineShift = 0;  // raises the glyphs off the baseline, in points
    int32_t decoration = 0;    // TextDecoration bits
    bool hidden = false;       // neither shown nor taking room on the line
    // Paint servers (gradients, patterns) the characters are painted with,
    // kept as an imported file wrote them ("url(#id) fallback"); `fill` and
    // `stroke` hold their fallback colours. Empty for plain colours.
    std::string fillServer, strokeServer;
};

enum TextDecoration : int32_t { kUnderline = 1, kOverline = 2, kLineThrough = 4 };

// Where single characters of a story are placed apart from the flow of
// the line: an absolute place along or across it (x, y in the text's own
// space, y up), a shift from where the flow puts them (dx, dy, which the
// characters after them keep too), a rotation of their own in degrees
// counter-clockwise. Each list is by story position, line breaks counted;
// characters beyond its end, and NaN entries, are not placed apart.
struct GlyphPlacement {
    std::vector<double> x, y, dx, dy, rotate;
    bool empty() const { return x.empty() && y.empty() && dx.empty() && dy.empty() && rotate.empty(); }
};

struct TextRun {
    std::string text;  // UTF-8; '\r' separates paragraphs
    CharFeatures features;
};

struct TextData {
    int32_t frameKind = 0;    // 0 point, 1 area, 2 on a path
    int32_t orientation = 0;  // 0 horizontal, 1 vertical
    // Maps the text's own space to the page. For point text its translation
    // is the anchor: the start of the first line's baseline.
    HostMatrix matrix{1, 0, 0, 1, 0, 0};
    std::vector<TextRun> runs;
    std::vector<Justification> paragraphs;  // one per paragraph of the story
    std::vector<HostPathSegment> path;      // area and on-path text: the frame's path
    bool pathClosed = false;
    GlyphPlacement glyphs;
};

struct SymbolData {
    std::string symbol;  // name of the document's symbol definition
    HostMatrix matrix{1, 0, 0, 1, 0, 0};
};

// Art the model does not interpret (host types it has no data for, and
// content of imported files it cannot represent); kept verbatim.
struct ForeignData {
    std::string format;   // what `payload` is, e.g. "svg" for an XML fragment
    std::string payload;  // the content, unchanged
    HostMatrix matrix{1, 0, 0, 1, 0, 0};
    bool hasBounds = false;
    HostRect bounds{};  // before `matrix`
};

using ArtData = std::variant<std::monostate, PathData, PlacedData, RasterData, TextData, SymbolData, ForeignData>;

// One node of the art tree. Children are ordered front to back: the first
// child is the topmost. Created, linked and disposed of by Document only; an
// object is freed when it is disposed of, and its handle goes stale.
class alignas(64) Art {
public:
    static const handles::HandleKind kKind;

    int32_t type() const { return type_; }

    Art* parent() const { return parent_; }
    Art* firstChild() const { return firstChild_; }
    Art* lastChild() const { return lastChild_; }
    Art* next() const { return next_; }  // further back
    Art* prev() const { return prev_; }  // further front
    bool isContainer() const { return type_ == kHostGroupArt || type_ == kHostCompoundPathArt; }
    // Set on a layer's root group.
    Layer* ownerLayer() const { return ownerLayer_; }
    // Set on the path object that stands for an area or on-path text's
    // frame path (see Document::framePathOf).
    Art* frameOwner() const { return frameOwner_; }
    Document* document() const { return document_; }

    int32_t attributes() const { return attributes_; }
    // Selected, also through anything inside it.
    bool answersSelected() const { return selectedInside_ > 0; }

private:
    friend class Document;

    Art(Document* document, int32_t type) : document_(document), type_(type) {}

    // What a bounds or attribute query reads lies in the first cache line,
    // what a walk of the tree reads in the first two.
    Document* document_;
    uintptr_t handle_ = 0;  // in the process's handle table, owned by the document
    int32_t type_;
    int32_t attributes_ = 0;

    // Bounds cache, invalidated up the parent chain by every edit.
    mutable bool boundsKnown_ = false;
    mutable bool hasBounds_ = false;
    // The cached box is that of anchor points alone (a path of straight
    // segments, or a container of such paths), so that a mapping which
    // scales and translates each axis maps it to the box a recomputation
    // would give, to the bit.
    mutable bool boundsFromAnchors_ = false;
    int32_t selectedInside_ = 0;  // selected objects in this subtree, itself included
    mutable HostRect bounds_{};

    Art* firstChild_ = nullptr;
    Art* next_ = nullptr;
    Art* parent_ = nullptr;
    Art* frameOwner_ = nullptr;  // the text a frame path object belongs to
    Art* framePath_ = nullptr;   // a text's frame path object, once asked for
    Art* lastChild_ = nullptr;
    Art* prev_ = nullptr;
    Layer* ownerLayer_ = nullptr;

public:
    ArtData data;
    PathData* path() { return std::get_if<PathData>(&data); }
    const PathData* path() const { return std::get_if<PathData>(&data); }

    std::string name;
    NameValues tags;
    NameValues foreignAttributes;
};

}  // namespace orbalis::host
