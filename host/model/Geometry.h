// Matrix and rectangle arithmetic of the host's geometry.
#pragma once

#include <algorithm>
#include <cmath>

#include "sdk/HostTypes.h"

namespace orbalis::host {

inline constexpr HostMatrix kIdentity{1, 0, 0, 1, 0, 0};

inline HostPoint Apply(const HostMatrix& m, HostPoint p) {
    return {m.a * p.x + m.c * p.y + m.tx, m.b * p.x + m.d * p.y + m.ty};
}

// m then n.
inline HostMatrix Concat(const HostMatrix& m, const HostMatrix& n) {
    return {m.a * n.a + m.b * n.c, m.a * n.b + m.b * n.d,          m.c * n.a + m.d * n.c,
            m.c * n.b + m.d * n.d, m.tx * n.a + m.ty * n.c + n.tx, m.tx * n.b + m.ty * n.d + n.ty};
}

inline HostMatrix Translation(double tx, double ty) { return {1, 0, 0, 1, tx, ty}; }

inline bool SameMatrix(const HostMatrix& m, const HostMatrix& n) {
    return m.a == n.a && m.b == n.b && m.c == n.c && m.d == n.d && m.tx == n.tx && m.ty == n.ty;
}

// Moves without scaling, rotating or shearing.
inline bool IsTranslation(const HostMatrix& m) { return m.a == 1 && m.b == 0 && m.c == 0 && m.d == 1; }

inline bool IsIdentity(const HostMatrix& m) { return IsTranslation(m) && m.tx == 0 && m.ty == 0; }

inline HostMatrix Rotation(double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    return {c, s, -s, c, 0, 0};
}

inline bool Invert(const HostMatrix& m, HostMatrix* inverse) {
    const double det = m.a * m.d - m.b * m.c;
    if (det == 0 || !std::isfinite(det)) return false;
    const double a = m.d / det, b = -m.b / det, c = -m.c / det, d = m.a / det;
    *inverse = {a, b, c, d, -(m.tx * a + m.ty * c), -(m.tx * b + m.ty * d)};
    return true;
}

// Every transformation passes here: zero times a finite number is zero,
// times an infinity or a NaN it is NaN, so one comparison checks all six.
inline bool IsFinite(const HostMatrix& m) { return 0 * m.a + 0 * m.b + 0 * m.c + 0 * m.d + 0 * m.tx + 0 * m.ty == 0; }

// A rectangle holding one point.
inline HostRect PointRect(HostPoint p) { return {p.x, p.y, p.x, p.y}; }

inline void Include(HostRect& r, HostPoint p) {
    r.left = std::min(r.left, p.x);
    r.right = std::max(r.right, p.x);
    r.bottom = std::min(r.bottom, p.y);
    r.top = std::max(r.top, p.y);
}

inline void Include(HostRect& r, const HostRect& other) {
    r.left = std::min(r.left, other.left);
    r.right = std::max(r.right, other.right);
    r.bottom = std::min(r.bottom, other.bottom);
    r.top = std::max(r.top, other.top);
}

// The bounds of a rectangle's four corners after `m`.
inline HostRect TransformRect(const HostMatrix& m, const HostRect& r) {
    HostRect out = PointRect(Apply(m, {r.left, r.top}));
    Include(out, Apply(m, {r.right, r.top}));
    Include(out, Apply(m, {r.left, r.bottom}));
    Include(out, Apply(m, {r.right, r.bottom}));
    return out;
}

}  // namespace orbalis::host
