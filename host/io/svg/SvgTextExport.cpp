#include "host/io/svg/SvgTextExport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "host/io/svg/SvgConventions.h"
#include "host/io/svg/SvgNumbers.h"
#include "host/io/svg/SvgPathData.h"
#include "host/io/svg/SvgTransform.h"
#include "host/model/Geometry.h"
#include "host/model/PathMeasure.h"
#include "host/model/TextLayout.h"
#include "host/model/TextStory.h"

namespace orbalis::host::svg {
namespace {

std::vector<HostPathSegment> Mapped(const std::vector<HostPathSegment>& path, const HostMatrix& m) {
    std::vector<HostPathSegment> out = path;
    for (HostPathSegment& s : out) {
        s.p = Apply(m, s.p);
        s.in = Apply(m, s.in);
        s.out = Apply(m, s.out);
    }
    return out;
}

// How far a run's characters advance in the host's layout: the length SVG
// is told to give them when their scale stretches them.
double RunAdvance(const std::string& text, const CharFeatures& f, bool vertical) {
    const double full = f.fontSize * (vertical ? f.verticalScale : f.horizontalScale);
    double length = 0;
    for (char32_t c : DecodeUtf8(text)) length += IsFullWidth(c) ? full : full / 2;
    return length;
}

double AsWritten(double coordinate) { return std::strtod(FormatCoordinate(coordinate).c_str(), nullptr); }

bool Scaled(const CharFeatures& f) { return f.horizontalScale != 1 || f.verticalScale != 1; }

// Features that SVG does not pass on from a text to its tspans as the model
// means them (a tspan's shift adds to its parent's, a decoration cannot be
// taken off inside), so that only the runs' own tspans carry them.
void ClearRunOnly(CharFeatures& f) {
    f.baselineShift = 0;
    f.decoration = 0;
    f.hidden = false;
}

// Whether a run shows as the text element written with `base` (see
// TextFeatures) shows it; scales go on the run.
bool SameShown(const CharFeatures& a, const CharFeatures& base) {
    CharFeatures x = a, y = base;
    x.horizontalScale = x.verticalScale = y.horizontalScale = y.verticalScale = 1;
    return host::SameFeatures(x, y);
}

// The features the text element is written with: the first run's, less
// those only a run's own tspan can carry. A decoration that every run has,
// painted and sized alike and on the baseline, is the text's: it then
// draws the same whichever element declares it, and a line placed by lists
// keeps its lists.
CharFeatures TextFeatures(const std::vector<TextRun>& runs) {
    if (runs.empty()) return CharFeatures{};
    CharFeatures base = runs.front().features;
    ClearRunOnly(base);
    base.decoration = runs.front().features.decoration;
    for (const TextRun& run : runs) {
        CharFeatures f = run.features;
        f.rotation = base.rotation;
        if (!SameShown(f, base)) {
            base.decoration = 0;
            break;
        }
    }
    return base;
}

// Letter spacing in the text's units (points).
double Spacing(const CharFeatures& f) { return f.tracking / 1000 * f.fontSize; }

std::string PaintText(bool painted, const HostColor& color, const std::string& server) {
    if (!painted) return "none";
    return server.empty() ? FormatColor(ShownColor(color)) : server;
}

std::string DecorationText(int32_t decoration) {
    std::string out;
    for (auto [bit, word] :
         {std::pair{kUnderline, "underline"}, {kOverline, "overline"}, {kLineThrough, "line-through"}})
        if (decoration & bit) out += (out.empty() ? "" : " ") + std::string(word);
    return out;
}

// A run of a line as written.
struct Piece {
    std::string text;
    const CharFeatures* features;
    size_t position;  // of its first character in the story
};

// A line whose runs differ only in their characters' rotation, and whose
// characters are placed by positions that leave no gap, is written as one
// text with lists of positions and angles, as files place characters one by
// one: every renderer then lays it out as it laid out the file read (shaped
// as one, and librsvg 2.54 by the first values only). Sets the lists on the
// text's attributes; false when the line cannot be written so.
bool PlacesAsLists(const std::vector<Piece>& line, const CharFeatures& base, const GlyphPlacement& placed,
                   HostPoint anchor, Attributes& text) {
    if (line.empty()) return false;
    std::vector<double> angles;
    bool turned = false;
    for (const Piece& piece : line) {
        CharFeatures f = *piece.features;
        f.rotation = base.rotation;
        if (Scaled(f) || !SameShown(f, base)) return false;
        turned = turned || piece.features->rotation != base.rotation;
        angles.insert(angles.end(), DecodeUtf8(piece.text).size(),
                      piece.features->rotation == 0 ? 0 : -piece.features->rotation);
    }
    const size_t count = angles.size();
    const size_t first = line.front().position;
    auto entry = [&](const std::vector<double>& list, size_t i) {
        return first + i < list.size() ? list[first + i] : NAN;
    };
    // Lists start at the line's start: a character placed further on is
    // one a tspan placed, and is written so.
    auto placedAt = [&](size_t i) {
        return std::isfinite(entry(placed.dx, i)) || std::isfinite(entry(placed.dy, i)) ||
               (i > 0 && (std::isfinite(entry(placed.x, i)) || std::isfinite(entry(placed.y, i))));
    };
    if (count == 0 || (!turned && !placedAt(0) && !(count > 1 && placedAt(1)))) return false;
    // Absolute positions from the first character on, without a gap; the
    // first character is at the anchor unless placed elsewhere.
    auto absolute = [&](const std::vector<double>& list, double origin, double sign, std::string* out) {
        size_t last = 0;
        for (size_t i = 1; i < count; ++i)
            if (std::isfinite(entry(list, i))) last = i;
        for (size_t i = 1; i <= last; ++i)
            if (!std::isfinite(entry(list, i))) return false;
        for (size_t i = 0; i <= last; ++i) {
            const double v = entry(list, i);
            *out += (i ? " " : "") + FormatCoordinate(origin + sign * (std::isfinite(v) ? v : 0));
        }
        return true;
    };
    // Shifts up to the last one given; none is a shift of zero.
    auto relative = [&](const std::vector<double>& list, double sign) {
        std::string out;
        size_t end = 0;
        for (size_t i = 0; i < count; ++i)
            if (std::isfinite(entry(list, i))) end = i + 1;
        for (size_t i = 0; i < end; ++i) {
            const double v = entry(list, i);
            out += (i ? " " : "") + FormatCoordinate(std::isfinite(v) ? sign * v : 0);
        }
        return out;
    };
    std::string x, y;
    if (!absolute(placed.x, anchor.x, 1, &x) || !absolute(placed.y, anchor.y, -1, &y)) return false;
    // A text moved by its transform has its first character at 0, 0.
    if (text.has("x") || x.find(' ') != std::string::npos) text.set("x", x);
    if (text.has("y") || y.find(' ') != std::string::npos) text.set("y", y);
    if (std::string dx = relative(placed.dx, 1); !dx.empty()) text.set("dx", dx);
    if (std::string dy = relative(placed.dy, -1); !dy.empty()) text.set("dy", dy);
    if (turned) {
        // The last angle holds for the characters after it.
        while (angles.size() > 1 && angles[angles.size() - 2] == angles.back()) angles.pop_back();
        std::string list;
        for (double angle : angles) list += (list.empty() ? "" : " ") + FormatExact(angle);
        text.set("rotate", list);
    }
    return true;
}

}  // namespace

void WriteText(const Art* art, const HostMatrix& pageToUser, int depth, TextWriterContext& context, std::string& out) {
    // Characters turned on their own are written as runs of their own.
    TextData own = std::get<TextData>(art->data);
    RotationsIntoRuns(own);
    const TextData& text = own;
    const bool vertical = text.orientation == 1;
    // The text's own SVG space (y down, like the page's) to the user space
    // it is written in.
    HostMatrix g = Concat(Concat(kFlip, text.matrix), pageToUser);
    HostMatrix inverse{};
    const bool invertible = Invert(text.matrix, &inverse);
    const bool hasFrame = text.frameKind != 0 && !text.path.empty();
    // Point and area text whose matrix only moves them are placed by x and
    // y; the others, and text on a path, take the matrix as their transform
    // (so that the path lies in the text's own space).
    const bool transformed = hasFrame && text.frameKind == 2 ? !IsIdentity(g) : !IsTranslation(g);

    // Area and on-path text carry their frame path in the text's user space,
    // so that it stays with the text wherever an editor moves it. Text on a
    // path follows it there, as the host lays it out.
    const bool framed = hasFrame && (invertible || !transformed);
    const std::vector<HostPathSegment> userPath =
        framed ? Mapped(text.path, transformed ? Concat(inverse, kFlip) : pageToUser) : std::vector<HostPathSegment>();
    std::string frameData;
    if (framed) AppendPathData(frameData, userPath, text.pathClosed);
    const bool onPath = framed && text.frameKind == 2;
    std::string pathId;
    if (onPath) {
        pathId = context.newId("text-path");
        Attributes p;
        p.set("id", pathId);
        p.set("d", frameData);
        out.append(size_t(depth), ' ');
        out += "<defs><path";
        p.write(out);
        out += "/></defs>\n";
    }

    Attributes a;
    context.nameAttributes(art->name, a);
    HostPoint anchor{0, 0};  // where the first line starts, in the text's user space
    if (transformed) {
        a.set("transform", FormatTransform(g));
    } else if (!onPath) {
        a.set("x", FormatCoordinate(g.tx));
        a.set("y", FormatCoordinate(g.ty));
        anchor = {g.tx, g.ty};
    }
    if (framed && text.frameKind == 1) a.set(kTextFrameAttribute, frameData);

    // Paragraphs, each a list of runs.
    std::vector<std::vector<Piece>> paragraphs(1);
    size_t position = 0;
    for (const TextRun& run : text.runs) {
        size_t start = 0;
        while (true) {
            const size_t end = run.text.find_first_of("\r\n", start);
            const std::string part = run.text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            const size_t length = DecodeUtf8(part).size();
            if (!part.empty()) paragraphs.back().push_back({part, &run.features, position});
            position += length;
            if (end == std::string::npos) break;
            ++position;  // the line break
            paragraphs.emplace_back();
            start = end + 1;
        }
    }
    const CharFeatures base = TextFeatures(text.runs);
    auto justification = [&](size_t i) {
        return i < text.paragraphs.size() ? text.paragraphs[i] : Justification::Left;
    };
    static const char* anchors[] = {"start", "end", "middle"};
    auto anchorOf = [&](Justification j) { return anchors[std::clamp(int(j), 0, 2)]; };

    auto featureAttributes = [&](const CharFeatures& f, const CharFeatures* than, Attributes& out) {
        if (!than || f.font != than->font) {
            if (!f.font.empty()) out.set("font-family", f.font);
        }
        if (!than || f.fontSize != than->fontSize) out.set("font-size", FormatCoordinate(f.fontSize));
        // SVG turns glyphs clockwise on its y-down page.
        if (than ? f.rotation != than->rotation : f.rotation != 0)
            out.set("rotate", FormatExact(f.rotation == 0 ? 0 : -f.rotation));
        const bool sameFill = than && f.fillPaint == than->fillPaint &&
                              (!f.fillPaint || (SameColor(f.fill, than->fill) && f.fillServer == than->fillServer));
        if (!sameFill) {
            out.set("fill", PaintText(f.fillPaint, f.fill, f.fillServer));
            if (f.fillPaint && f.fill.kind == kHostFourColor) {
                const HostFourColor& c = f.fill.c.four;
                out.set(kCmykFillAttribute, FormatExact(c.cyan) + " " + FormatExact(c.magenta) + " " +
                                                FormatExact(c.yellow) + " " + FormatExact(c.black));
            }
        }
        // A halo is a stroke under the fill.
        const bool stroked = than ? than->strokePaint : false;
        if (f.strokePaint != stroked ||
            (f.strokePaint && (!SameColor(f.stroke, than->stroke) || f.strokeServer != than->strokeServer)))
            out.set("stroke", PaintText(f.strokePaint, f.stroke, f.strokeServer));
        if (f.strokePaint && (!stroked || f.strokeWidth != than->strokeWidth))
            out.set("stroke-width", FormatCoordinate(f.strokeWidth));
        const bool under = than ? than->strokePaint && than->strokeUnder : false;
        if (f.strokePaint && f.strokeUnder != under) out.set("paint-order", f.strokeUnder ? "stroke" : "normal");
        if (Spacing(f) != (than ? Spacing(*than) : 0)) out.set("letter-spacing", FormatCoordinate(Spacing(f)));
        if (f.decoration && f.decoration != (than ? than->decoration : 0))
            out.set("text-decoration", DecorationText(f.decoration));
        if (!than) return;
        if (f.baselineShift != 0) out.set("baseline-shift", FormatCoordinate(f.baselineShift));
        if (f.hidden) out.set("display", "none");
    };
    featureAttributes(base, nullptr, a);
    if (justification(0) != Justification::Left) a.set("text-anchor", anchorOf(justification(0)));
    if (vertical) a.set("writing-mode", "vertical-rl");
    // Spaces at a line's ends or several in a row are kept only so; so are
    // spaces at a run's ends when the line has several runs, which
    // librsvg 2.54 drops at a tspan's edges otherwise.
    for (const std::vector<Piece>& line : paragraphs) {
        std::string joined;
        bool edgeSpace = false;
        for (const Piece& piece : line) {
            joined += piece.text;
            edgeSpace = edgeSpace || piece.text.front() == ' ' || piece.text.back() == ' ';
        }
        if (!joined.empty() && (joined.front() == ' ' || joined.back() == ' ' ||
                                joined.find("  ") != std::string::npos || (line.size() > 1 && edgeSpace)))
            a.set("xml:space", "preserve");
    }
    context.commonAttributes(art, a);

    std::string body;
    // Characters placed apart start a tspan inside their run's that holds
    // them and what follows up to the next one, with single values, which
    // every renderer reads (librsvg 2.54 takes only the first value of a
    // list) and which keeps the glyphs between them shaped together.
    const GlyphPlacement& placed = text.glyphs;
    // A line of point text placed across by its first character's y alone
    // starts at that y: the line's tspan carries it.
    std::set<size_t> yOnLine;
    auto entry = [&](const std::vector<double>& list, size_t at) {
        return at < list.size() && !(&list == &placed.y && yOnLine.count(at)) ? list[at] : NAN;
    };
    auto placedAt = [&](size_t at) {
        for (const std::vector<double>* l : {&placed.x, &placed.y, &placed.dx, &placed.dy})
            if (std::isfinite(entry(*l, at))) return true;
        return false;
    };
    auto hasPlaces = [&](const Piece& piece) {
        const size_t count = DecodeUtf8(piece.text).size();
        for (size_t i = 0; i < count; ++i)
            if (placedAt(piece.position + i)) return true;
        return false;
    };
    auto appendPlaced = [&](const Piece& piece) {
        size_t from = 0, i = 0;  // bytes written so far; characters seen
        bool open = false;
        for (size_t byte = 0; byte < piece.text.size(); ++byte) {
            if ((piece.text[byte] & 0xC0) == 0x80) continue;  // inside a character
            const size_t at = piece.position + i++;
            if (!placedAt(at)) continue;
            AppendEscaped(body, piece.text.substr(from, byte - from), false);
            from = byte;
            if (open) body += "</tspan>";
            Attributes place;
            const double x = entry(placed.x, at), y = entry(placed.y, at);
            const double dx = entry(placed.dx, at), dy = entry(placed.dy, at);
            if (std::isfinite(x)) place.set("x", FormatCoordinate(anchor.x + x));
            if (std::isfinite(y)) place.set("y", FormatCoordinate(anchor.y - y));
            if (std::isfinite(dx)) place.set("dx", FormatCoordinate(dx));
            if (std::isfinite(dy)) place.set("dy", FormatCoordinate(-dy));
            body += "<tspan";
            place.write(body);
            body += '>';
            open = true;
        }
        AppendEscaped(body, piece.text.substr(from), false);
        if (open) body += "</tspan>";
    };
    auto appendRuns = [&](const std::vector<Piece>& pieces) {
        for (const Piece& piece : pieces) {
            const CharFeatures& f = *piece.features;
            const bool places = hasPlaces(piece);
            if (SameShown(f, base) && !Scaled(f) && !places) {
                AppendEscaped(body, piece.text, false);
                continue;
            }
            Attributes span;
            featureAttributes(f, &base, span);
            if (places) {
                body += "<tspan";
                span.write(body);
                body += '>';
                appendPlaced(piece);
                body += "</tspan>";
                continue;
            }
            // A run's character scale stretches its glyphs along the line to
            // the length the host gives them; the scales themselves, which
            // SVG has no notation for, ride along.
            if (Scaled(f)) {
                span.set("textLength", FormatCoordinate(RunAdvance(piece.text, f, vertical)));
                span.set("lengthAdjust", "spacingAndGlyphs");
                span.set(kCharScaleAttribute, FormatExact(f.horizontalScale) + " " + FormatExact(f.verticalScale));
            }
            body += "<tspan";
            span.write(body);
            body += '>';
            AppendEscaped(body, piece.text, false);
            body += "</tspan>";
        }
    };
    // Later lines on a path start at lengths measured along the path as
    // written, so that reading the file and writing it again gives the same.
    std::vector<HostPathSegment> writtenPath;
    if (onPath && paragraphs.size() > 1) {
        writtenPath = userPath;
        for (HostPathSegment& seg : writtenPath)
            for (HostPoint* q : {&seg.p, &seg.in, &seg.out}) *q = {AsWritten(q->x), AsWritten(q->y)};
    }
    const PathMeasure measure(writtenPath, text.pathClosed);
    auto lineStart = [&](Justification j) {
        return j == Justification::Center ? measure.length() / 2 : j == Justification::Right ? measure.length() : 0;
    };
    double lineOffset = 0;  // of this line's baseline from the first's
    // Lines of area text that do not fit its frame are overflow, which the
    // host does not show; they stay in the file, hidden.
    size_t overflowLine = paragraphs.size();
    if (text.frameKind == 1) {
        const size_t visible = VisibleEnd(text);
        if (visible < StoryLength(text)) {
            const std::string shown = StoryContents(text, 0, visible);
            overflowLine =
                size_t(std::count_if(shown.begin(), shown.end(), [](char c) { return c == '\r' || c == '\n'; }));
        }
    }
    const bool listed = !onPath && paragraphs.size() == 1 && PlacesAsLists(paragraphs[0], base, text.glyphs, anchor, a);
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (i == 0) {
            if (listed) {
                for (const Piece& piece : paragraphs[0]) AppendEscaped(body, piece.text, false);
            } else {
                appendRuns(paragraphs[0]);
            }
            continue;
        }
        // Each further line sits one line height (its largest font size)
        // lower; on a path, that far across it. Vertical text starts a new
        // column that far to the left, back at the top.
        double height = 0;
        for (const Piece& piece : paragraphs[i]) height = std::max(height, piece.features->fontSize);
        if (paragraphs[i].empty() && !text.runs.empty()) height = text.runs.back().features.fontSize;
        lineOffset += height;
        Attributes line;
        if (onPath && vertical) {
            // A column's place along the path is its y; across it, its x.
            line.set("y", FormatCoordinate(lineStart(justification(i))));
            line.set("dx", FormatCoordinate(-height));
        } else if (onPath) {
            line.set("x", FormatCoordinate(lineStart(justification(i))));
            line.set("dy", FormatCoordinate(height));
        } else if (vertical) {
            line.set("x", FormatCoordinate(anchor.x - lineOffset));
            line.set("y", FormatCoordinate(anchor.y));
        } else {
            line.set("x", FormatCoordinate(anchor.x));
            const Piece* first = paragraphs[i].empty() ? nullptr : &paragraphs[i].front();
            if (text.frameKind == 0 && first && !first->features->hidden &&
                std::isfinite(entry(placed.y, first->position)) && !std::isfinite(entry(placed.x, first->position)) &&
                !std::isfinite(entry(placed.dx, first->position)) &&
                !std::isfinite(entry(placed.dy, first->position))) {
                line.set("y", FormatCoordinate(anchor.y - placed.y[first->position]));
                yOnLine.insert(first->position);
            } else {
                line.set("dy", FormatCoordinate(height));
            }
        }
        if (justification(i) != justification(0)) line.set("text-anchor", anchorOf(justification(i)));
        if (i >= overflowLine) line.set("visibility", "hidden");
        body += "<tspan";
        line.write(body);
        body += '>';
        appendRuns(paragraphs[i]);
        body += "</tspan>";
    }
    if (onPath) {
        // The first line starts where the host starts it: at the path's
        // start, middle or end, as its justification says.
        Attributes follow;
        follow.set("xlink:href", "#" + pathId);
        const Justification first = justification(0);
        if (first != Justification::Left) follow.set("startOffset", first == Justification::Center ? "50%" : "100%");
        std::string inner = "<textPath";
        follow.write(inner);
        inner += '>';
        body = inner + body + "</textPath>";
    }
    out.append(size_t(depth), ' ');
    out += "<text";
    a.write(out);
    out += '>';
    out += body;
    out += "</text>\n";
}

}  // namespace orbalis::host::svg
