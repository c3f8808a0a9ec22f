// Building test documents in code.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/model/Document.h"

namespace orbalis::testing {

// A document with one visible, editable layer titled "Layer 1".
std::unique_ptr<host::Document> NewDocument(host::Layer** layer = nullptr);

host::Layer* AddLayer(host::Document& doc, const std::string& title, host::Layer* below = nullptr);

HostPathStyle FilledStyle();   // filled black, no stroke
HostPathStyle StrokedStyle();  // no fill, stroked black 1 pt

// A closed path through the given points (straight segments), placed at the
// bottom inside `container` (a layer group, group or compound path), so art
// added in turn stacks front to back in the order added.
host::Art* AddPolygon(host::Document& doc, host::Art* container, const std::vector<HostPoint>& points,
                      bool closed = true, const HostPathStyle& style = FilledStyle());
// An axis-aligned rectangle, corner (x, y) at the bottom left.
host::Art* AddRect(host::Document& doc, host::Art* container, double x, double y, double w, double h,
                   const HostPathStyle& style = FilledStyle());
host::Art* AddGroup(host::Document& doc, host::Art* container);
host::Art* AddCompound(host::Document& doc, host::Art* container);
// Art of any other kind (placed, raster, text, ...) with default data.
host::Art* AddArt(host::Document& doc, host::Art* container, int32_t type);

void Select(host::Document& doc, host::Art* art);
void Lock(host::Document& doc, host::Art* art);
void Hide(host::Document& doc, host::Art* art);

// The first anchor point of a path.
HostPoint FirstAnchor(const host::Art* path);
// Every anchor, handle and matrix translation of the art, flattened, to
// compare geometry before and after an edit.
std::vector<double> Geometry(const host::Art* art);

}  // namespace orbalis::testing
