// GIS geometries as host art and back: polygons as closed filled paths,
// polygons with holes and multipolygons as even-odd compound paths, lines as
// open stroked paths, points as instances of a small point symbol, and
// collections as groups.
#pragma once

#include <ogr_geometry.h>

#include <memory>
#include <string>

#include "host/io/gis/Georeference.h"
#include "host/model/Document.h"

namespace orbalis::host::gis {

// The symbol every point is an instance of: a dot centred on its origin.
inline constexpr const char* kPointSymbol = "orbalis-point";
void DefinePointSymbol(Document& document);

// What a layer's features are, from its geometry type, which decides how a
// path is read back.
enum class Family { Polygon, Line, Point, Mixed };
Family FamilyOf(int ogrGeometryType);

// Makes the art of one geometry, already in the page's CRS, on top inside
// `container`: the page placement comes from `placement`. A null or empty
// geometry gives an empty group, so that the feature's attributes still have
// an object to live on.
Art* AddGeometryArt(Document& document, Art* container, const OGRGeometry* geometry, const Georeference& placement);

// The geometry an object stands for, in the page's CRS (curves flattened to
// within 0.01 pt); null with `why` set when the object is not one a GIS
// geometry can be made of (a text, an image), and null with `why` empty for
// an empty group.
std::unique_ptr<OGRGeometry> ArtGeometry(const Art& art, Family family, const Georeference& placement,
                                         std::string* why);

}  // namespace orbalis::host::gis
