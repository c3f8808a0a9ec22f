#include "host/model/Transform.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include "host/model/Geometry.h"

namespace orbalis::host {
namespace {

// The points of paths made one after another lie one after another on the
// heap, and map commands map such paths in turn: start fetching the points
// about two paths on while these are mapped. A hint only: nothing is read,
// and an address past the heap is harmless.
void PrefetchPointsAhead(const std::vector<HostPathSegment>& segments) {
    const uintptr_t ahead = reinterpret_cast<uintptr_t>(segments.data() + segments.size()) + 1024;
#pragma GCC unroll 8
    for (uintptr_t line = 0; line < 8; ++line) __builtin_prefetch(reinterpret_cast<const void*>(ahead + line * 64), 1);
}

// Both coordinates of a point in one register: a point is mapped as
// (a, b) x + (c, d) y + (tx, ty), the same products and sums, in the same
// order, as Apply, so the results are the same to the last bit.
using Pair = double __attribute__((vector_size(16)));

struct PointMapping {
    Pair ab, cd, shift;

    explicit PointMapping(const HostMatrix& m) : ab{m.a, m.b}, cd{m.c, m.d}, shift{m.tx, m.ty} {}

    Pair mapped(const HostPoint& point) const {
        Pair p;
        std::memcpy(&p, &point, sizeof p);
        const Pair x{p[0], p[0]}, y{p[1], p[1]};
        return ab * x + cd * y + shift;
    }
    Pair operator()(HostPoint& point) const {
        const Pair to = mapped(point);
        std::memcpy(&point, &to, sizeof to);
        return to;
    }
};

// Maps every point, handing each mapped anchor point to `seeAnchor`.
template <typename SeeAnchor>
void MapSegments(std::vector<HostPathSegment>& segments, const HostMatrix& m, SeeAnchor seeAnchor) {
    PrefetchPointsAhead(segments);
    const PointMapping map(m);
    for (auto& s : segments) {
        seeAnchor(map(s.p));
        map(s.in);
        map(s.out);
    }
}

void TransformSegments(std::vector<HostPathSegment>& segments, const HostMatrix& m) {
    MapSegments(segments, m, [](Pair) {});
}

// The same for a path of straight segments, its box taken from the mapped
// anchor points as it goes: the points Include would take, in its order, so
// that the box is the one a recomputation gives. (left, bottom) and (right,
// top) start at the first anchor, which taking it again leaves as they are,
// and take each side as std::min and std::max would.
HostRect TransformSegmentsWithBox(std::vector<HostPathSegment>& segments, const HostMatrix& m) {
    Pair low = PointMapping(m).mapped(segments.front().p), high = low;
    MapSegments(segments, m, [&](Pair p) {
        low = p < low ? p : low;
        high = high < p ? p : high;
    });
    return {low[0], high[1], high[0], low[1]};
}

void TransformPaint(HostColor& color, const HostMatrix& m, bool gradients, bool patterns) {
    if (gradients && color.kind == kHostGradientColor) {
        auto& g = color.c.gradient;
        g.matrix = Concat(g.matrix, m);
    } else if (patterns && color.kind == kHostPatternColor) {
        auto& p = color.c.pattern;
        p.transform = Concat(p.transform, m);
    }
}

void TransformStyle(HostPathStyle& style, const HostMatrix& m, double lineScale, int32_t flags) {
    TransformPaint(style.fill.color, m, flags & kHostTransformFillGradients, flags & kHostTransformFillPatterns);
    TransformPaint(style.stroke.color, m, false, flags & kHostTransformStrokePatterns);
    if (flags & kHostScaleLines) {
        style.stroke.width *= lineScale;
        style.stroke.dashOffset *= lineScale;
        for (int i = 0; i < style.stroke.dashCount && i < kHostMaxDashes; ++i) style.stroke.dashes[i] *= lineScale;
    }
}

}  // namespace

void TransformArt(Document& document, Art* art, const HostMatrix& m, double lineScale, int32_t flags) {
    const bool objects = flags & kHostTransformObjects;
    // Bounds that the mapping carries over are kept rather than recomputed.
    Document::MappingStep step = objects ? document.beginMapping(art, m) : Document::MappingStep{};
    if (art->isContainer()) {
        if (!(flags & kHostTransformChildren)) return;
        for (Art* child = art->firstChild(); child; child = child->next())
            TransformArt(document, child, m, lineScale, flags);
        if (objects) document.endMapping(art, step);
        return;
    }
    struct Visitor {
        const HostMatrix& m;
        double lineScale;
        int32_t flags;
        bool objects;
        Document::MappingStep& step;
        void operator()(std::monostate&) const {}
        void operator()(PathData& p) const {
            if (step.fromMappedAnchors)
                step.own->rect = TransformSegmentsWithBox(p.segments, m);
            else if (objects)
                TransformSegments(p.segments, m);
            TransformStyle(p.style, m, lineScale, flags);
        }
        void operator()(PlacedData& p) const {
            if (objects) p.matrix = Concat(p.matrix, m);
        }
        void operator()(RasterData& r) const {
            if (objects) r.matrix = Concat(r.matrix, m);
        }
        void operator()(TextData& t) const {
            if (!objects) return;
            t.matrix = Concat(t.matrix, m);
            TransformSegments(t.path, m);
        }
        void operator()(SymbolData& s) const {
            if (objects) s.matrix = Concat(s.matrix, m);
        }
        void operator()(ForeignData& f) const {
            if (objects) f.matrix = Concat(f.matrix, m);
        }
    };
    std::visit(Visitor{m, lineScale, flags, objects, step}, art->data);
    document.touch(art);
    if (objects) document.endMapping(art, step);
}

}  // namespace orbalis::host
