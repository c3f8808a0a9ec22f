#include "tools/workbench/HitTest.h"

#include <algorithm>
#include <cmath>

#include "host/geom/Flatten.h"

namespace orbalis::workbench {
namespace {

using host::Art;
using host::Document;
using host::Layer;

bool Usable(const Art* art) { return !(art->attributes() & (kHostArtHidden | kHostArtLocked)); }

// Top-level objects of every visible, unlocked layer, front to back.
void Collect(const Document& document, const Layer* layer, std::vector<Art*>& out) {
    if (!layer->visible || !layer->editable) return;
    for (Art* child = layer->group()->firstChild(); child; child = child->next()) {
        if (Layer* sub = child->ownerLayer())
            Collect(document, sub, out);
        else if (Usable(child))
            out.push_back(child);
    }
}

std::vector<Art*> Selectable(const Document& document) {
    std::vector<Art*> out;
    for (const Layer* layer : document.topLayers()) Collect(document, layer, out);
    return out;
}

double SegmentDistance(HostPoint p, HostPoint a, HostPoint b) {
    const double dx = b.x - a.x, dy = b.y - a.y, len = dx * dx + dy * dy;
    double t = len > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len : 0;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

// Counts the crossings of a ray to the right of `p` (even-odd), and notes
// whether `p` lies within `tolerance` of the outline.
void Probe(const std::vector<HostPoint>& outline, bool closed, HostPoint p, double tolerance, int* crossings,
           bool* near) {
    const size_t n = outline.size();
    for (size_t i = 0; i < n; ++i) {
        if (!closed && i + 1 == n) break;
        const HostPoint a = outline[i], b = outline[(i + 1) % n];
        if (SegmentDistance(p, a, b) <= tolerance) *near = true;
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y)) ++*crossings;
    }
}

bool HitsPath(const Art* art, HostPoint p, double tolerance) {
    int crossings = 0;
    bool near = false;
    bool filled = false;
    auto probe = [&](const Art* path) {
        const auto* data = std::get_if<host::PathData>(&path->data);
        if (!data || data->segments.empty()) return;
        filled = filled || data->style.fillPaint;
        const auto outline = host::FlattenPath(data->segments, data->closed, 0.1);
        Probe(outline, true, p, tolerance, &crossings, &near);
    };
    if (art->type() == kHostCompoundPathArt) {
        for (const Art* member = art->firstChild(); member; member = member->next()) probe(member);
    } else {
        probe(art);
    }
    return near || (filled && crossings % 2 == 1);
}

bool Hits(const Document& document, const Art* art, HostPoint p, double tolerance) {
    if (!Usable(art)) return false;
    switch (art->type()) {
    case kHostPathArt:
    case kHostCompoundPathArt: return HitsPath(art, p, tolerance);
    case kHostGroupArt:
        for (const Art* child = art->firstChild(); child; child = child->next())
            if (Hits(document, child, p, tolerance)) return true;
        return false;
    default: {
        HostRect r;
        return document.bounds(art, &r) && p.x >= r.left - tolerance && p.x <= r.right + tolerance &&
               p.y >= r.bottom - tolerance && p.y <= r.top + tolerance;
    }
    }
}

void SetSelected(Document& document, Art* art, bool selected) {
    document.setAttributes(art, kHostArtSelected, selected ? kHostArtSelected : 0);
    for (Art* child = art->firstChild(); child; child = child->next()) SetSelected(document, child, selected);
}

}  // namespace

Art* HitObject(const Document& document, HostPoint point, double tolerance) {
    for (Art* art : Selectable(document))
        if (Hits(document, art, point, tolerance)) return art;
    return nullptr;
}

std::vector<Art*> ObjectsInRect(const Document& document, const HostRect& rect) {
    const double left = std::min(rect.left, rect.right), right = std::max(rect.left, rect.right);
    const double bottom = std::min(rect.bottom, rect.top), top = std::max(rect.bottom, rect.top);
    std::vector<Art*> out;
    for (Art* art : Selectable(document)) {
        HostRect r;
        if (document.bounds(art, &r) && r.left <= right && r.right >= left && r.bottom <= top && r.top >= bottom)
            out.push_back(art);
    }
    return out;
}

void ApplyClick(Document& document, Art* hit, bool extend) {
    if (!extend) {
        document.deselectAll();
        if (hit) SetSelected(document, hit, true);
        return;
    }
    if (hit) SetSelected(document, hit, !(hit->attributes() & kHostArtSelected));
}

void ApplyDrag(Document& document, const std::vector<Art*>& objects, bool extend) {
    if (!extend) document.deselectAll();
    for (Art* art : objects) SetSelected(document, art, true);
}

}  // namespace orbalis::workbench
