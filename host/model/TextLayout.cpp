#include "host/model/TextLayout.h"

#include <cmath>
#include <numbers>
#include <optional>

#include "host/model/Bounds.h"
#include "host/model/Geometry.h"
#include "host/model/PathMeasure.h"

namespace orbalis::host {

bool IsFullWidth(char32_t c) {
    if (c < 0x1100) return false;
    if (c >= 0xFF61 && c <= 0xFFDC) return false;  // half-width forms
    if (c >= 0xFFE8 && c <= 0xFFEE) return false;
    return true;
}

std::u32string DecodeUtf8(const std::string& text) {
    std::u32string out;
    size_t i = 0;
    const auto* s = reinterpret_cast<const unsigned char*>(text.data());
    while (i < text.size()) {
        const unsigned char c = s[i];
        int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? c : len == 2 ? c & 0x1F : len == 3 ? c & 0x0F : c & 0x07;
        bool ok = len > 0 && i + len <= text.size();
        for (int k = 1; ok && k < len; ++k) {
            if ((s[i + k] & 0xC0) != 0x80) ok = false;
            cp = (cp << 6) | (s[i + k] & 0x3F);
        }
        if (ok && ((len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) ||
                   (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out.push_back(0xFFFD);
            ++i;
        } else {
            out.push_back(cp);
            i += len;
        }
    }
    return out;
}

namespace {

struct Glyph {
    char32_t c;
    const CharFeatures* features;
    size_t position;
};

struct Line {
    std::vector<Glyph> glyphs;
    Justification justification = Justification::Left;
};

std::vector<Line> BreakLines(const TextData& text) {
    std::vector<Line> lines(1);
    size_t paragraph = 0;
    auto justificationOf = [&](size_t p) {
        return p < text.paragraphs.size() ? text.paragraphs[p] : Justification::Left;
    };
    lines.back().justification = justificationOf(0);
    size_t position = 0;
    for (const TextRun& run : text.runs) {
        for (char32_t c : DecodeUtf8(run.text)) {
            if (c == U'\r' || c == U'\n') {
                ++position;
                lines.emplace_back();
                lines.back().justification = justificationOf(++paragraph);
                continue;
            }
            if (run.features.hidden) {
                ++position;
                continue;
            }
            lines.back().glyphs.push_back({c, &run.features, position++});
        }
    }
    return lines;
}

// Tracking widens every advance by its share of the em.
double Advance(const Glyph& g, bool vertical) {
    const double scale = vertical ? g.features->verticalScale : g.features->horizontalScale;
    const double full = g.features->fontSize * scale;
    return (IsFullWidth(g.c) ? full : full / 2) + g.features->tracking / 1000 * g.features->fontSize;
}

// The entry of a glyph list for the character at `position`; NaN when the
// list does not place it.
double Entry(const std::vector<double>& list, size_t position) { return position < list.size() ? list[position] : NAN; }

// Text on a path follows its path taken into the text's own space: each
// glyph's middle sits on the path where its advance puts it, turned with the
// path there, and the frame matrix maps the whole to the page (which puts the
// glyphs' baselines on the path as it lies on the page). A line starts at the
// path's start, is centred on its middle or ends at its end; later lines lie
// a line height further across it.
class PathPlacement {
public:
    explicit PathPlacement(const TextData& text) {
        HostMatrix inverse{};
        if (text.frameKind != 2 || text.path.empty() || !Invert(text.matrix, &inverse)) return;
        std::vector<HostPathSegment> own = text.path;
        for (HostPathSegment& s : own) {
            s.p = Apply(inverse, s.p);
            s.in = Apply(inverse, s.in);
            s.out = Apply(inverse, s.out);
        }
        measure_.emplace(own, text.pathClosed);
        if (!measure_->measurable()) measure_.reset();
    }

    bool active() const { return measure_.has_value(); }

    double lineStart(Justification justification) const {
        const double length = measure_->length();
        return justification == Justification::Center ? length / 2 : justification == Justification::Right ? length : 0;
    }

    // Maps a glyph's own space (origin at the pen, as in a straight line) to
    // the text's space, for a glyph `pen` along the path and `across` from
    // it, `advance` long.
    HostMatrix glyph(double pen, double across, double advance, bool vertical) const {
        HostPoint middle, t;
        measure_->at(pen + advance / 2, &middle, &t);
        if (!vertical) {
            const HostMatrix place{t.x, t.y, -t.y, t.x, middle.x, middle.y};
            return Concat(Translation(-advance / 2, -across), place);
        }
        // A column's "down" runs along the path.
        const HostMatrix place{-t.y, t.x, -t.x, -t.y, middle.x, middle.y};
        return Concat(Translation(-across, advance / 2), place);
    }

private:
    std::optional<PathMeasure> measure_;
};

}  // namespace

std::vector<GlyphBox> LayoutText(const TextData& text) {
    std::vector<GlyphBox> out;
    const bool vertical = text.orientation == 1;
    const PathPlacement path(text);
    double lineOffset = 0;  // distance of this line's baseline from the first's
    bool first = true;
    size_t lineIndex = 0;
    for (const Line& line : BreakLines(text)) {
        double height = 0;
        double length = 0;
        for (const Glyph& g : line.glyphs) {
            height = std::max(height, g.features->fontSize);
            length += Advance(g, vertical);
        }
        if (line.glyphs.empty() && !text.runs.empty()) height = text.runs.back().features.fontSize;
        if (!first) lineOffset += height;
        first = false;
        double pen = line.justification == Justification::Center  ? -length / 2
                     : line.justification == Justification::Right ? -length
                                                                  : 0;
        if (path.active()) pen += path.lineStart(line.justification);
        // Glyphs placed apart move the flow: an x or a dx moves the pen
        // along the line, a y or a dy the baseline of what follows on it.
        double baseline = -lineOffset;
        const bool free = !vertical && !path.active();
        for (const Glyph& g : line.glyphs) {
            const double size = g.features->fontSize;
            const double advance = Advance(g, vertical);
            const GlyphPlacement& placed = text.glyphs;
            if (const double x = Entry(placed.x, g.position); free && std::isfinite(x)) pen = x;
            if (const double dx = Entry(placed.dx, g.position); std::isfinite(dx)) pen += dx;
            if (const double y = Entry(placed.y, g.position); free && std::isfinite(y)) baseline = y;
            if (const double dy = Entry(placed.dy, g.position); free && std::isfinite(dy)) baseline += dy;
            const double ownRotation = Entry(placed.rotate, g.position);
            const double rotation = std::isfinite(ownRotation) ? ownRotation : g.features->rotation;
            const double shift = g.features->baselineShift;
            HostPoint origin, local[4];
            if (!vertical) {
                origin = {pen, baseline + shift};
                local[0] = {0, -0.2 * size};
                local[1] = {advance, -0.2 * size};
                local[2] = {advance, 0.8 * size};
                local[3] = {0, 0.8 * size};
            } else {
                // Columns run down from the origin and advance to the left.
                origin = {-lineOffset + shift, -pen};
                const double half = size * g.features->horizontalScale / 2;
                local[0] = {-half, -advance};
                local[1] = {half, -advance};
                local[2] = {half, 0};
                local[3] = {-half, 0};
            }
            const HostMatrix turn = Rotation(rotation * std::numbers::pi / 180);
            const HostMatrix glyph = path.active()
                                         ? Concat(turn, path.glyph(pen, lineOffset - shift, advance, vertical))
                                         : Concat(turn, Translation(origin.x, origin.y));
            GlyphBox box{g.c, g.position, lineIndex, {}};
            for (int k = 0; k < 4; ++k) box.corners[k] = Apply(text.matrix, Apply(glyph, local[k]));
            out.push_back(box);
            pen += advance;
        }
        ++lineIndex;
    }
    return out;
}

bool TextBounds(const TextData& text, HostRect* rect) {
    if (text.frameKind != 0) return PathBounds(text.path, text.pathClosed, rect);
    const auto glyphs = LayoutText(text);
    if (glyphs.empty()) {
        // Empty point text still has a place: its anchor.
        *rect = PointRect({text.matrix.tx, text.matrix.ty});
        return true;
    }
    HostRect r = PointRect(glyphs.front().corners[0]);
    for (const auto& g : glyphs)
        for (const auto& p : g.corners) Include(r, p);
    *rect = r;
    return true;
}

}  // namespace orbalis::host
