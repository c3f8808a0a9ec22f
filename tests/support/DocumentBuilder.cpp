#include "tests/support/DocumentBuilder.h"

#include <gtest/gtest.h>

namespace orbalis::testing {

using host::Art;
using host::Document;
using host::Layer;

std::unique_ptr<Document> NewDocument(Layer** layer) {
    auto doc = std::make_unique<Document>();
    Layer* l = nullptr;
    EXPECT_EQ(doc->insertLayer(nullptr, kHostPlaceAboveAll, &l), 0);
    l->title = "Layer 1";
    if (layer) *layer = l;
    return doc;
}

Layer* AddLayer(Document& doc, const std::string& title, Layer* below) {
    Layer* l = nullptr;
    if (below)
        EXPECT_EQ(doc.insertLayer(below, kHostPlaceBelow, &l), 0);
    else
        EXPECT_EQ(doc.insertLayer(nullptr, kHostPlaceAboveAll, &l), 0);
    l->title = title;
    return l;
}

HostPathStyle FilledStyle() {
    HostPathStyle s{};
    s.fillPaint = 1;
    s.fill.color.kind = kHostGrayColor;
    s.fill.color.c.gray.gray = 1;
    s.stroke.color.kind = kHostNoneColor;
    s.stroke.width = 1;
    s.stroke.miterLimit = 4;
    return s;
}

HostPathStyle StrokedStyle() {
    HostPathStyle s = FilledStyle();
    s.fillPaint = 0;
    s.fill.color.kind = kHostNoneColor;
    s.strokePaint = 1;
    s.stroke.color.kind = kHostGrayColor;
    s.stroke.color.c.gray.gray = 1;
    return s;
}

Art* AddPolygon(Document& doc, Art* container, const std::vector<HostPoint>& points, bool closed,
                const HostPathStyle& style) {
    Art* art = nullptr;
    EXPECT_EQ(doc.newArt(kHostPathArt, kHostPlaceInsideOnBottom, container, &art), 0);
    host::PathData& path = *art->path();
    for (const HostPoint& p : points) path.segments.push_back({p, p, p, 1});
    path.closed = closed;
    path.style = style;
    doc.touch(art);
    return art;
}

Art* AddRect(Document& doc, Art* container, double x, double y, double w, double h, const HostPathStyle& style) {
    return AddPolygon(doc, container, {{x, y}, {x + w, y}, {x + w, y + h}, {x, y + h}}, true, style);
}

Art* AddGroup(Document& doc, Art* container) {
    Art* art = nullptr;
    EXPECT_EQ(doc.newArt(kHostGroupArt, kHostPlaceInsideOnBottom, container, &art), 0);
    return art;
}

Art* AddCompound(Document& doc, Art* container) {
    Art* art = nullptr;
    EXPECT_EQ(doc.newArt(kHostCompoundPathArt, kHostPlaceInsideOnBottom, container, &art), 0);
    return art;
}

Art* AddArt(Document& doc, Art* container, int32_t type) {
    Art* art = nullptr;
    EXPECT_EQ(doc.newArt(type, kHostPlaceInsideOnBottom, container, &art), 0);
    return art;
}

void Select(Document& doc, Art* art) { doc.setAttributes(art, kHostArtSelected, kHostArtSelected); }
void Lock(Document& doc, Art* art) { doc.setAttributes(art, kHostArtLocked, kHostArtLocked); }
void Hide(Document& doc, Art* art) { doc.setAttributes(art, kHostArtHidden, kHostArtHidden); }

HostPoint FirstAnchor(const Art* path) { return path->path()->segments.front().p; }

std::vector<double> Geometry(const Art* art) {
    std::vector<double> out;
    auto matrix = [&](const HostMatrix& m) { out.insert(out.end(), {m.a, m.b, m.c, m.d, m.tx, m.ty}); };
    if (const host::PathData* p = art->path())
        for (const auto& s : p->segments) out.insert(out.end(), {s.p.x, s.p.y, s.in.x, s.in.y, s.out.x, s.out.y});
    if (auto* d = std::get_if<host::PlacedData>(&art->data)) matrix(d->matrix);
    if (auto* d = std::get_if<host::RasterData>(&art->data)) matrix(d->matrix);
    if (auto* d = std::get_if<host::TextData>(&art->data)) matrix(d->matrix);
    if (auto* d = std::get_if<host::SymbolData>(&art->data)) matrix(d->matrix);
    if (auto* d = std::get_if<host::ForeignData>(&art->data)) matrix(d->matrix);
    for (const Art* c = art->firstChild(); c; c = c->next()) {
        auto inner = Geometry(c);
        out.insert(out.end(), inner.begin(), inner.end());
    }
    return out;
}

}  // namespace orbalis::testing
