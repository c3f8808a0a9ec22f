#include "host/geom/SharedEdgeUnion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include <geos/algorithm/CGAlgorithmsDD.h>

// Why the result is exact: every region's rings, outlines counter-clockwise
// and holes clockwise, wind once around its inside and nowhere else, so all
// the rings together wind around each point as many times as regions cover
// it. Dropping pairs of opposite edges and relinking what is left changes
// none of that. Once the remaining rings are known to be simple and apart
// (no crossings, no shared vertices) and the winding of every face they
// bound is 0 or 1, no two regions overlap and the faces of winding 1 are
// precisely the union.

namespace orbalis::host {
namespace {

using geos::algorithm::CGAlgorithmsDD;

constexpr uint32_t kNone = UINT32_MAX;

struct Segment {
    HostPoint a, b;
    uint32_t next;             // the following segment of the same ring
    uint32_t partner = kNone;  // the same edge walked the other way

    double xmin() const { return std::min(a.x, b.x); }
    double xmax() const { return std::max(a.x, b.x); }
    double ymin() const { return std::min(a.y, b.y); }
    double ymax() const { return std::max(a.y, b.y); }
};

// Buffers kept from call to call: the union runs many thousands of times
// on shapes of similar size, and allocating afresh each time costs more
// than the work itself.
struct Workspace {
    std::vector<Segment> segments;
    std::vector<uint32_t> ringOf;                      // by segment
    std::vector<std::pair<uint32_t, uint32_t>> joins;  // (from, to): `to` may follow `from`
    std::vector<uint32_t> follower;
    std::vector<uint8_t> used;
    Ring points;                                     // of the ring being traced
    std::vector<uint32_t> cellsOf, firstCell;        // by segment
    std::vector<uint32_t> cellStart, members, fill;  // by cell
};

bool Same(HostPoint p, HostPoint q) { return p.x == q.x && p.y == q.y; }

// Which side of a->b `c` lies on: 1 left, -1 right, 0 in line; exact. The
// quick floating-point filter settles nearly every case.
int Orient(HostPoint a, HostPoint b, HostPoint c) {
    const int quick = CGAlgorithmsDD::orientationIndexFilter(a.x, a.y, b.x, b.y, c.x, c.y);
    if (quick != CGAlgorithmsDD::FAILURE) return quick;
    return CGAlgorithmsDD::orientationIndex(a.x, a.y, b.x, b.y, c.x, c.y);
}

// For `p` and `q` in line with `from`: whether they lie on the same side of
// it. (Signs of differences and products of doubles are exact, and the two
// terms share their sign.)
bool InLineAhead(HostPoint from, HostPoint p, HostPoint q) {
    return (p.x - from.x) * (q.x - from.x) + (p.y - from.y) * (q.y - from.y) > 0;
}

// Checks every pair of segments that meet. Pairs may share an endpoint
// (recorded as joins when one can continue the other) or be the same edge
// walked both ways (partners); any other contact fails.
//
// Candidates come from a uniform grid with cells about twice as wide as the
// average segment is long: each segment is entered in the cells along its
// length (with a margin against rounding), so two segments that meet share
// a cell, and each cell holds only a few segments.
class Sweep {
public:
    explicit Sweep(Workspace& w) : w_(w), segments_(w.segments) {}

    bool run() {
        const auto n = static_cast<uint32_t>(segments_.size());
        if (n == 0) return true;
        // A segment and the next of its ring meet at their common vertex.
        for (uint32_t i = 0; i < n; ++i)
            if (!adjacent(i, segments_[i].next)) return false;
        if (n <= kFewSegments) return runSorted();
        layOutGrid();

        // Each segment's cells, in increasing order, one list after another.
        std::vector<uint32_t>& cellsOf = w_.cellsOf;
        cellsOf.clear();
        w_.firstCell.resize(n + 1);
        for (uint32_t i = 0; i < n; ++i) {
            w_.firstCell[i] = static_cast<uint32_t>(cellsOf.size());
            forEachCell(segments_[i], [&](uint32_t cell) { cellsOf.push_back(cell); });
            // Long edges across many cells: a general overlay does better.
            if (cellsOf.size() > 64 * size_t(n) + 4096) return false;
        }
        w_.firstCell[n] = static_cast<uint32_t>(cellsOf.size());

        // The segments of each cell, one cell after another.
        std::vector<uint32_t>& start = w_.cellStart;
        start.assign(cellCount_ + 1, 0);
        for (uint32_t cell : cellsOf) ++start[cell + 1];
        for (size_t c = 1; c <= cellCount_; ++c) start[c] += start[c - 1];
        w_.members.resize(cellsOf.size());
        w_.fill.assign(start.begin(), start.end() - 1);
        for (uint32_t i = 0; i < n; ++i)
            for (uint32_t k = w_.firstCell[i]; k < w_.firstCell[i + 1]; ++k) w_.members[w_.fill[cellsOf[k]]++] = i;

        size_t budget = 64 * size_t(n) + 4096;
        for (uint32_t cell = 0; cell < cellCount_; ++cell) {
            for (uint32_t p = start[cell]; p + 1 < start[cell + 1]; ++p) {
                for (uint32_t q = p + 1; q < start[cell + 1]; ++q) {
                    const uint32_t i = w_.members[p], j = w_.members[q];
                    const Segment& s = segments_[i];
                    const Segment& t = segments_[j];
                    if (s.next == j || t.next == i) continue;  // checked as neighbours
                    if (!firstShared(i, j, cell)) continue;    // met in an earlier cell
                    if (budget-- == 0) return false;
                    if (t.xmin() > s.xmax() || t.xmax() < s.xmin() || t.ymin() > s.ymax() || t.ymax() < s.ymin())
                        continue;
                    if (!pair(i, j)) return false;
                }
            }
        }
        return true;
    }

private:
    // Up to this many segments, a sort on the left end finds the pairs
    // whose boxes overlap faster than laying out a grid.
    static constexpr uint32_t kFewSegments = 64;

    // Checks every pair of segments whose boxes overlap, as run() does
    // through the grid: each segment against those whose left end lies
    // between its own ends.
    bool runSorted() {
        const auto n = static_cast<uint32_t>(segments_.size());
        std::vector<uint32_t>& order = w_.members;
        order.resize(n);
        for (uint32_t i = 0; i < n; ++i) order[i] = i;
        std::sort(order.begin(), order.end(),
                  [&](uint32_t l, uint32_t r) { return segments_[l].xmin() < segments_[r].xmin(); });
        for (uint32_t p = 0; p < n; ++p) {
            const Segment& s = segments_[order[p]];
            const double xmax = s.xmax(), ymin = s.ymin(), ymax = s.ymax();
            for (uint32_t q = p + 1; q < n; ++q) {
                const Segment& t = segments_[order[q]];
                if (t.xmin() > xmax) break;
                if (t.ymin() > ymax || t.ymax() < ymin) continue;
                const uint32_t i = std::min(order[p], order[q]), j = std::max(order[p], order[q]);
                if (segments_[i].next == j || segments_[j].next == i) continue;  // checked as neighbours
                if (!pair(i, j)) return false;
            }
        }
        return true;
    }

    // Segment j follows segment i in their ring: they may only fold back
    // onto each other entirely.
    bool adjacent(uint32_t i, uint32_t j) {
        const Segment& s = segments_[i];
        const Segment& t = segments_[j];
        if (Same(s.a, t.b)) return cancel(i, j);  // there and straight back
        return Orient(s.a, s.b, t.b) != 0 || !InLineAhead(s.b, s.a, t.b);
    }

    bool cancel(uint32_t i, uint32_t j) {
        if (segments_[i].partner != kNone || segments_[j].partner != kNone) return false;
        segments_[i].partner = j;
        segments_[j].partner = i;
        return true;
    }

    bool pair(uint32_t i, uint32_t j) {
        const Segment& s = segments_[i];
        const Segment& t = segments_[j];
        const bool aa = Same(s.a, t.a), ab = Same(s.a, t.b), ba = Same(s.b, t.a), bb = Same(s.b, t.b);
        if (ab && ba) return cancel(i, j);  // one edge, both ways: it cancels, once
        if (aa && bb) return false;         // one edge, the same way: regions overlap
        if (aa || ab || ba || bb) {
            const HostPoint shared = aa || ab ? s.a : s.b;
            const HostPoint sFar = aa || ab ? s.b : s.a;
            const HostPoint tFar = aa || ba ? t.b : t.a;
            // In line through the common endpoint, they may only leave it in
            // opposite directions.
            if (Orient(shared, sFar, tFar) == 0 && InLineAhead(shared, sFar, tFar)) return false;
            if (ba) w_.joins.emplace_back(i, j);
            if (ab) w_.joins.emplace_back(j, i);
            return true;
        }
        const int oc = Orient(s.a, s.b, t.a), od = Orient(s.a, s.b, t.b);
        if (oc * od > 0) return true;  // t wholly on one side of s
        const int oa = Orient(t.a, t.b, s.a), ob = Orient(t.a, t.b, s.b);
        if (oa * ob > 0) return true;
        // They cross, touch, or lie in line with overlapping boxes (and so
        // overlap).
        return false;
    }

    // Whether `cell` is the first cell that segments i and j share.
    bool firstShared(uint32_t i, uint32_t j, uint32_t cell) const {
        const std::vector<uint32_t>& cells = w_.cellsOf;
        uint32_t p = w_.firstCell[i], q = w_.firstCell[j];
        const uint32_t pEnd = w_.firstCell[i + 1], qEnd = w_.firstCell[j + 1];
        if (pEnd - p == 1 && qEnd - q == 1) return true;  // the usual case: one cell each
        while (p < pEnd && q < qEnd) {
            if (cells[p] == cells[q]) return cells[p] == cell;
            if (cells[p] < cells[q])
                ++p;
            else
                ++q;
        }
        return false;
    }

    void layOutGrid() {
        x0_ = y0_ = INFINITY;
        double x1 = -INFINITY, y1 = -INFINITY, length = 0;
        for (const Segment& s : segments_) {
            x0_ = std::min(x0_, s.xmin());
            y0_ = std::min(y0_, s.ymin());
            x1 = std::max(x1, s.xmax());
            y1 = std::max(y1, s.ymax());
            length += std::abs(s.b.x - s.a.x) + std::abs(s.b.y - s.a.y);
        }
        const double n = double(segments_.size());
        const double width = x1 - x0_, height = y1 - y0_;
        // Twice the average segment, but no more than about 16 cells a
        // segment, and no more than kMaxSide cells a side.
        constexpr double kMaxSide = 4096;
        double side = std::max(2 * length / n, std::sqrt(width * height / (16 * n)));
        side = std::max({side, width / kMaxSide, height / kMaxSide});
        if (!(side > 0) || !std::isfinite(side)) side = 1;
        cols_ = static_cast<uint32_t>(std::clamp(std::ceil(width / side), 1.0, kMaxSide));
        rows_ = static_cast<uint32_t>(std::clamp(std::ceil(height / side), 1.0, kMaxSide));
        cellCount_ = size_t(cols_) * rows_;
        side_ = side;
        inverseSide_ = 1 / side;
        // Far above the rounding of the interpolation below, far below a cell.
        const double magnitude = std::max({std::abs(x0_), std::abs(x1), std::abs(y0_), std::abs(y1)});
        margin_ = 1e-9 * side + 1e-12 * magnitude;
    }

    uint32_t column(double x) const {
        const double c = (x - x0_) * inverseSide_;
        return c <= 0 ? 0 : c >= double(cols_ - 1) ? cols_ - 1 : static_cast<uint32_t>(c);
    }
    uint32_t row(double y) const {
        const double r = (y - y0_) * inverseSide_;
        return r <= 0 ? 0 : r >= double(rows_ - 1) ? rows_ - 1 : static_cast<uint32_t>(r);
    }

    // The cells a segment passes through, in increasing order: per column,
    // the rows its stretch in that column spans.
    template <typename Visit>
    void forEachCell(const Segment& s, Visit visit) const {
        const uint32_t c0 = column(s.xmin() - margin_), c1 = column(s.xmax() + margin_);
        const uint32_t rMin = row(s.ymin() - margin_), rMax = row(s.ymax() + margin_);
        for (uint32_t c = c0; c <= c1; ++c) {
            uint32_t r0 = rMin, r1 = rMax;
            if (c0 != c1 && s.a.x != s.b.x) {
                const double slope = (s.b.y - s.a.y) / (s.b.x - s.a.x);
                const double xa = std::max(s.xmin(), x0_ + double(c) * side_);
                const double xb = std::min(s.xmax(), x0_ + double(c + 1) * side_);
                const double ya = s.a.y + (xa - s.a.x) * slope;
                const double yb = s.a.y + (xb - s.a.x) * slope;
                r0 = std::max(rMin, row(std::min(ya, yb) - margin_));
                r1 = std::min(rMax, row(std::max(ya, yb) + margin_));
            }
            for (uint32_t r = r0; r <= r1; ++r) visit(c * rows_ + r);
        }
    }

    Workspace& w_;
    std::vector<Segment>& segments_;
    double x0_ = 0, y0_ = 0, side_ = 1, inverseSide_ = 1, margin_ = 0;
    uint32_t cols_ = 1, rows_ = 1;
    size_t cellCount_ = 1;
};

struct Traced {
    Ring ring;
    double area;
    double xmin, xmax, ymin, ymax;
};

bool Covers(const Traced& outer, const Traced& inner) {
    return outer.xmin <= inner.xmin && inner.xmax <= outer.xmax && outer.ymin <= inner.ymin && inner.ymax <= outer.ymax;
}

// The rings left once shared edges cancel; none when the way on from some
// vertex is ambiguous.
std::optional<std::vector<Traced>> Relink(Workspace& w) {
    const std::vector<Segment>& segments = w.segments;
    const auto n = static_cast<uint32_t>(segments.size());
    auto kept = [&](uint32_t i) { return segments[i].partner == kNone; };
    // Each remaining edge must be followed by exactly one remaining edge:
    // where boundaries meet from several directions the way on is ambiguous.
    w.follower.assign(n, kNone);
    for (uint32_t i = 0; i < n; ++i)
        if (kept(i) && kept(segments[i].next)) w.follower[i] = segments[i].next;
    for (const auto& [from, to] : w.joins) {
        if (!kept(from) || !kept(to)) continue;
        if (w.follower[from] != kNone) return std::nullopt;
        w.follower[from] = to;
    }

    std::vector<Traced> traced;
    w.used.assign(n, 0);
    for (uint32_t start = 0; start < n; ++start) {
        if (!kept(start) || w.used[start]) continue;
        Traced t{{}, 0, INFINITY, -INFINITY, INFINITY, -INFINITY};
        Ring& points = w.points;
        points.clear();
        uint32_t i = start;
        do {
            w.used[i] = 1;
            const HostPoint p = segments[i].a;
            points.push_back(p);
            t.xmin = std::min(t.xmin, p.x);
            t.xmax = std::max(t.xmax, p.x);
            t.ymin = std::min(t.ymin, p.y);
            t.ymax = std::max(t.ymax, p.y);
            i = w.follower[i];
            if (i == kNone) return std::nullopt;
        } while (!w.used[i]);
        // Arriving anywhere but the start means two edges lead into one.
        if (i != start) return std::nullopt;
        t.ring.assign(points.begin(), points.end());
        t.area = SignedArea(t.ring);
        if (t.ring.size() < 3 || t.area == 0) return std::nullopt;
        traced.push_back(std::move(t));
    }
    return traced;
}

// Nests disjoint simple rings into polygons; none unless every face they
// bound is wound 0 or 1 times.
std::optional<std::vector<PolygonRings>> Nest(std::vector<Traced> traced) {
    // Largest first: a ring can only lie inside a larger one.
    std::sort(traced.begin(), traced.end(),
              [](const Traced& l, const Traced& r) { return std::abs(l.area) > std::abs(r.area); });
    const size_t n = traced.size();
    std::vector<size_t> parent(n, n);
    std::vector<int> winding(n, 0);
    for (size_t i = 0; i < n; ++i) {
        // The rings are apart, so any vertex tells inside from outside.
        for (size_t j = i; j-- > 0;) {
            if (!Covers(traced[j], traced[i])) continue;
            if (WindingNumber(traced[i].ring.front(), traced[j].ring) != 0) {
                parent[i] = j;
                break;
            }
        }
        winding[i] = (traced[i].area > 0 ? 1 : -1) + (parent[i] == n ? 0 : winding[parent[i]]);
        if (winding[i] != 0 && winding[i] != 1) return std::nullopt;
    }

    std::vector<PolygonRings> pieces;
    std::vector<size_t> pieceOf(n, n);
    for (size_t i = 0; i < n; ++i) {
        if (winding[i] == 1) {
            pieceOf[i] = pieces.size();
            pieces.push_back({std::move(traced[i].ring), {}});
        } else {  // a hole: its parent has winding 1
            pieces[pieceOf[parent[i]]].holes.push_back(std::move(traced[i].ring));
        }
    }
    return pieces;
}

// Flags the rings with an edge cancelled against an edge of their own, or
// an edge that may continue a non-consecutive edge of their own.
void FlagSelfContact(const Workspace& w, size_t ringCount, std::vector<uint8_t>& touchesItself) {
    touchesItself.assign(ringCount, 0);
    for (uint32_t i = 0; i < w.segments.size(); ++i) {
        const uint32_t partner = w.segments[i].partner;
        if (partner != kNone && w.ringOf[partner] == w.ringOf[i]) touchesItself[w.ringOf[i]] = 1;
    }
    for (const auto& [from, to] : w.joins)
        if (w.ringOf[from] == w.ringOf[to]) touchesItself[w.ringOf[from]] = 1;
}

}  // namespace

std::optional<std::vector<PolygonRings>> UniteAlongSharedEdges(const std::vector<Ring>& rings,
                                                               std::vector<uint8_t>* touchesItself) {
    thread_local Workspace workspace;
    Workspace& w = workspace;
    w.segments.clear();
    w.ringOf.clear();
    w.joins.clear();
    size_t total = 0;
    for (const Ring& ring : rings) total += ring.size();
    if (total >= kNone) return std::nullopt;
    w.segments.reserve(total);
    for (const Ring& ring : rings) {
        if (ring.size() < 3) return std::nullopt;
        const auto first = static_cast<uint32_t>(w.segments.size());
        for (size_t i = 0; i < ring.size(); ++i) {
            const bool last = i + 1 == ring.size();
            const HostPoint a = ring[i], b = ring[last ? 0 : i + 1];
            if (Same(a, b)) return std::nullopt;
            const auto index = static_cast<uint32_t>(w.segments.size());
            w.segments.push_back({a, b, last ? first : index + 1});
        }
        w.ringOf.resize(w.segments.size(), static_cast<uint32_t>(&ring - rings.data()));
    }
    if (!Sweep(w).run()) return std::nullopt;
    std::optional<std::vector<Traced>> traced = Relink(w);
    if (!traced) return std::nullopt;
    std::optional<std::vector<PolygonRings>> united = Nest(std::move(*traced));
    if (united && touchesItself) FlagSelfContact(w, rings.size(), *touchesItself);
    return united;
}

}  // namespace orbalis::host
