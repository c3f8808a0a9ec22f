#include "host/io/svg/SvgPathData.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "host/io/svg/SvgConventions.h"
#include "host/io/svg/SvgNumbers.h"

namespace orbalis::host::svg {
namespace {

bool Same(HostPoint a, HostPoint b) { return a.x == b.x && a.y == b.y; }

// Equal but for floating-point rounding: relative coordinates summed along a
// long subpath come back to its start a few units in the last place off.
// Far below the millionth of a point the writer prints, so a closing point
// kept apart here would print as the start and be merged on the next read.
bool SameWithinRounding(HostPoint a, HostPoint b) {
    auto near = [](double u, double v) {
        return std::fabs(u - v) <= 1e-9 * std::max({1.0, std::fabs(u), std::fabs(v)});
    };
    return near(a.x, b.x) && near(a.y, b.y);
}
HostPoint Lerp(HostPoint a, HostPoint b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

}  // namespace

// ---------------------------------------------------------------- builder

void PathBuilder::push(const HostPathSegment& segment) {
    if (*budget_ == 0) {
        overBudget_ = true;
        return;
    }
    --*budget_;
    subpaths_.back().segments.push_back(segment);
}

void PathBuilder::moveTo(HostPoint p) {
    subpaths_.emplace_back();
    open_ = true;
    start_ = current_ = p;
    push({p, p, p, 0});
}

// Drawing after a close starts a new subpath at the closed one's start.
void PathBuilder::ensureSubpath() {
    if (!open_) moveTo(current_);
}

void PathBuilder::lineTo(HostPoint p) {
    ensureSubpath();
    push({p, p, p, 0});
    current_ = p;
}

void PathBuilder::cubicTo(HostPoint c1, HostPoint c2, HostPoint p) {
    ensureSubpath();
    if (overBudget_) return;
    subpaths_.back().segments.back().out = c1;
    push({p, c2, p, 0});
    current_ = p;
}

void PathBuilder::quadTo(HostPoint c, HostPoint p) {
    const HostPoint from = current_;
    cubicTo(Lerp(from, c, 2.0 / 3), Lerp(p, c, 2.0 / 3), p);
}

void PathBuilder::arcTo(double rx, double ry, double rotation, bool largeArc, bool sweep, HostPoint p) {
    const HostPoint from = current_;
    if (Same(from, p)) return;  // an arc to its own start draws nothing
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx == 0 || ry == 0) {
        lineTo(p);
        return;
    }
    const double phi = rotation * std::numbers::pi / 180;
    const double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
    const double dx2 = (from.x - p.x) / 2, dy2 = (from.y - p.y) / 2;
    const double x1 = cosPhi * dx2 + sinPhi * dy2;
    const double y1 = -sinPhi * dx2 + cosPhi * dy2;
    // Radii too small to reach are scaled up until they just do.
    const double lambda = (x1 * x1) / (rx * rx) + (y1 * y1) / (ry * ry);
    if (lambda > 1) {
        rx *= std::sqrt(lambda);
        ry *= std::sqrt(lambda);
    }
    const double rx2 = rx * rx, ry2 = ry * ry;
    const double den = rx2 * y1 * y1 + ry2 * x1 * x1;
    double coef = den > 0 ? std::sqrt(std::max(0.0, (rx2 * ry2 - den) / den)) : 0;
    if (largeArc == sweep) coef = -coef;
    const double cx1 = coef * rx * y1 / ry, cy1 = -coef * ry * x1 / rx;
    const double cx = cosPhi * cx1 - sinPhi * cy1 + (from.x + p.x) / 2;
    const double cy = sinPhi * cx1 + cosPhi * cy1 + (from.y + p.y) / 2;
    const double theta1 = std::atan2((y1 - cy1) / ry, (x1 - cx1) / rx);
    double delta = std::atan2((-y1 - cy1) / ry, (-x1 - cx1) / rx) - theta1;
    if (sweep && delta < 0) delta += 2 * std::numbers::pi;
    if (!sweep && delta > 0) delta -= 2 * std::numbers::pi;
    if (!std::isfinite(delta) || !std::isfinite(cx) || !std::isfinite(cy)) {
        lineTo(p);
        return;
    }
    const int pieces = std::max(1, int(std::ceil(std::fabs(delta) / (std::numbers::pi / 2) - 1e-9)));
    const double step = delta / pieces;
    const double k = 4.0 / 3 * std::tan(step / 4);
    auto point = [&](double t) {
        const double ex = rx * std::cos(t), ey = ry * std::sin(t);
        return HostPoint{cosPhi * ex - sinPhi * ey + cx, sinPhi * ex + cosPhi * ey + cy};
    };
    auto derivative = [&](double t) {
        const double ex = -rx * std::sin(t), ey = ry * std::cos(t);
        return HostPoint{cosPhi * ex - sinPhi * ey, sinPhi * ex + cosPhi * ey};
    };
    double t = theta1;
    HostPoint start = from;
    for (int i = 0; i < pieces; ++i) {
        const double t2 = t + step;
        const HostPoint end = i + 1 == pieces ? p : point(t2);
        const HostPoint d1 = derivative(t), d2 = derivative(t2);
        cubicTo({start.x + k * d1.x, start.y + k * d1.y}, {end.x - k * d2.x, end.y - k * d2.y}, end);
        start = end;
        t = t2;
    }
}

void PathBuilder::close() {
    if (!open_) return;
    Subpath& sub = subpaths_.back();
    sub.closed = true;
    if (sub.segments.size() > 1 && SameWithinRounding(sub.segments.back().p, sub.segments.front().p)) {
        const HostPathSegment& last = sub.segments.back();
        // A straight closing segment stays straight on the start it merges into.
        sub.segments.front().in = Same(last.in, last.p) ? sub.segments.front().p : last.in;
        sub.segments.pop_back();
        ++*budget_;
    }
    open_ = false;
    current_ = start_;
}

// ---------------------------------------------------------------- parser

namespace {

int ArgumentCount(char command) {
    switch (command | 0x20) {
    case 'm':
    case 'l':
    case 't': return 2;
    case 'h':
    case 'v': return 1;
    case 'c': return 6;
    case 's':
    case 'q': return 4;
    case 'a': return 7;
    case 'z': return 0;
    default: return -1;
    }
}

bool StartsNumber(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.'; }

}  // namespace

bool ParsePathData(std::string_view d, size_t* budget, std::vector<Subpath>* out, PathDataError* error) {
    NumberCursor cursor(d);
    PathBuilder builder(budget);
    // What was drawn before the fault stays, as renderers show it.
    auto fail = [&](size_t offset, std::string message) {
        error->offset = offset;
        error->message = std::move(message);
        error->overBudget = builder.overBudget();
        *out = builder.take();
        return false;
    };
    cursor.skipSpace();
    if (cursor.atEnd()) {
        *out = {};
        return true;
    }
    char command = 0;
    char previous = 0;  // the last command drawn, for the reflections of S and T
    HostPoint lastControl{0, 0};
    bool first = true;
    while (true) {
        cursor.skipSpace();
        if (cursor.atEnd()) break;
        const char c = cursor.peek();
        if (ArgumentCount(c) >= 0) {
            command = c;
            cursor.advance();
        } else if (!StartsNumber(c) || command == 0) {
            return fail(cursor.offset(), "unknown command " + Quote(std::string(1, c)));
        } else if ((command | 0x20) == 'z') {
            return fail(cursor.offset(), "expected a command");
        } else if (command == 'M') {
            command = 'L';  // further pairs after a move draw lines
        } else if (command == 'm') {
            command = 'l';
        }
        if (first && (command | 0x20) != 'm') return fail(0, "path data must start with a move");
        first = false;

        const int count = ArgumentCount(command);
        double a[7];
        for (int i = 0; i < count; ++i) {
            cursor.skipSeparator();
            const char* reason = nullptr;
            if ((command | 0x20) == 'a' && (i == 3 || i == 4)) {
                bool f;
                if (!cursor.flag(&f)) return fail(cursor.offset(), "expected a flag (0 or 1)");
                a[i] = f;
            } else if (!cursor.number(&a[i], &reason)) {
                return fail(cursor.offset(), reason);
            }
        }
        const bool relative = command >= 'a';
        const HostPoint cur = builder.current();
        auto at = [&](double x, double y) { return relative ? HostPoint{cur.x + x, cur.y + y} : HostPoint{x, y}; };
        HostPoint control = cur;  // the control point a following S or T reflects
        switch (command | 0x20) {
        case 'm': builder.moveTo(at(a[0], a[1])); break;
        case 'l': builder.lineTo(at(a[0], a[1])); break;
        case 'h': builder.lineTo({relative ? cur.x + a[0] : a[0], cur.y}); break;
        case 'v': builder.lineTo({cur.x, relative ? cur.y + a[0] : a[0]}); break;
        case 'c':
            control = at(a[2], a[3]);
            builder.cubicTo(at(a[0], a[1]), control, at(a[4], a[5]));
            break;
        case 's': {
            const bool reflect = (previous | 0x20) == 'c' || (previous | 0x20) == 's';
            const HostPoint c1 = reflect ? HostPoint{2 * cur.x - lastControl.x, 2 * cur.y - lastControl.y} : cur;
            control = at(a[0], a[1]);
            builder.cubicTo(c1, control, at(a[2], a[3]));
            break;
        }
        case 'q':
            control = at(a[0], a[1]);
            builder.quadTo(control, at(a[2], a[3]));
            break;
        case 't': {
            const bool reflect = (previous | 0x20) == 'q' || (previous | 0x20) == 't';
            control = reflect ? HostPoint{2 * cur.x - lastControl.x, 2 * cur.y - lastControl.y} : cur;
            builder.quadTo(control, at(a[0], a[1]));
            break;
        }
        case 'a': builder.arcTo(a[0], a[1], a[2], a[3] != 0, a[4] != 0, at(a[5], a[6])); break;
        case 'z': builder.close(); break;
        }
        if (builder.overBudget()) return fail(cursor.offset(), "too many path segments");
        lastControl = control;
        previous = command;
        if ((command | 0x20) != 'z') {
            cursor.skipSpace();
            if (cursor.peek() == ',') {
                cursor.advance();
                cursor.skipSpace();
                if (!StartsNumber(cursor.peek())) return fail(cursor.offset(), "expected a number");
            }
        }
    }
    *out = builder.take();
    return true;
}

// ---------------------------------------------------------------- corners

namespace {

HostPoint Minus(HostPoint a, HostPoint b) { return {a.x - b.x, a.y - b.y}; }
bool Zero(HostPoint v) { return v.x == 0 && v.y == 0; }

// Direction of the curve from `from` to `to` as it arrives at `to`.
HostPoint Arriving(const HostPathSegment& from, const HostPathSegment& to) {
    if (!Same(to.in, to.p)) return Minus(to.p, to.in);
    if (!Same(from.out, to.p)) return Minus(to.p, from.out);
    return Minus(to.p, from.p);
}

// Direction of the curve from `from` to `to` as it leaves `from`.
HostPoint Leaving(const HostPathSegment& from, const HostPathSegment& to) {
    if (!Same(from.out, from.p)) return Minus(from.out, from.p);
    if (!Same(to.in, from.p)) return Minus(to.in, from.p);
    return Minus(to.p, from.p);
}

bool Smooth(HostPoint u, HostPoint v) {
    if (Zero(u) || Zero(v)) return false;
    const double cross = u.x * v.y - u.y * v.x;
    const double dot = u.x * v.x + u.y * v.y;
    return dot > 0 && std::fabs(cross) <= 1e-6 * std::hypot(u.x, u.y) * std::hypot(v.x, v.y);
}

}  // namespace

void MarkCorners(std::vector<HostPathSegment>& segments, bool closed) {
    const size_t n = segments.size();
    for (size_t i = 0; i < n; ++i) {
        const bool hasPrev = closed ? n > 1 : i > 0;
        const bool hasNext = closed ? n > 1 : i + 1 < n;
        if (!hasPrev || !hasNext) {
            segments[i].corner = 1;
            continue;
        }
        const HostPathSegment& prev = segments[(i + n - 1) % n];
        const HostPathSegment& next = segments[(i + 1) % n];
        segments[i].corner = Smooth(Arriving(prev, segments[i]), Leaving(segments[i], next)) ? 0 : 1;
    }
}

// ---------------------------------------------------------------- writer

namespace {

void AppendPoint(std::string& out, HostPoint p) {
    out += FormatCoordinate(p.x);
    out += ' ';
    out += FormatCoordinate(p.y);
}

// Writes the segment from `from` to `to`; the command letter only when it
// changes (a repeated L or C is implied by more coordinates).
void AppendStep(std::string& out, const HostPathSegment& from, const HostPathSegment& to, char* last) {
    const bool straight = Same(from.out, from.p) && Same(to.in, to.p);
    const char command = straight ? 'L' : 'C';
    if (command != *last) {
        out += ' ';
        out += command;
        *last = command;
    }
    out += ' ';
    if (!straight) {
        AppendPoint(out, from.out);
        out += ' ';
        AppendPoint(out, to.in);
        out += ' ';
    }
    AppendPoint(out, to.p);
}

}  // namespace

void AppendPathData(std::string& out, const std::vector<HostPathSegment>& segments, bool closed) {
    if (segments.empty()) return;
    if (!out.empty()) out += ' ';
    out += "M ";
    AppendPoint(out, segments.front().p);
    char last = 'L';  // pairs after a move draw lines
    for (size_t i = 1; i < segments.size(); ++i) AppendStep(out, segments[i - 1], segments[i], &last);
    if (!closed) return;
    const HostPathSegment& final = segments.back();
    const HostPathSegment& first = segments.front();
    // A curved closing segment is drawn out; a straight one is the close itself.
    if (!(Same(final.out, final.p) && Same(first.in, first.p))) AppendStep(out, final, first, &last);
    out += " Z";
}

}  // namespace orbalis::host::svg
