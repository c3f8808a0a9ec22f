// Where GIS data lies on the page: the CRS it is drawn in, the map scale and
// the offsets, plus what each GIS layer was (its name, CRS, geometry type and
// fields), so that a document made from GIS data can be written back exactly.
// It travels in the document as an SVG <metadata> element kept among the
// document's foreign content, so SVG and JSON files both keep it.
#pragma once

#include <string>
#include <vector>

#include "host/model/Document.h"

namespace orbalis::host::gis {

// One attribute column of a GIS layer.
struct FieldRecord {
    std::string name;  // the column's own name
    std::string key;   // the foreign attribute that holds its values: "data-" and an XML name
    int type = 0;      // OGRFieldType
    int subType = 0;   // OGRFieldSubType
    int width = 0;
    int precision = 0;
};

struct LayerRecord {
    std::string name;      // the GIS layer's name
    std::string crs;       // its CRS as WKT; empty when it has none
    int geometryType = 0;  // OGRwkbGeometryType
    std::vector<FieldRecord> fields;
};

struct Georeference {
    std::string crs;                  // the CRS the page is drawn in, as WKT; empty: the data's own units
    std::string crsName;              // a readable name for it
    double scale = 0;                 // the map scale 1 : scale
    double pointsPerUnit = 0;         // page points for one unit of `crs` on the ground
    double originX = 0, originY = 0;  // the map coordinates at page point (0, 0)
    std::vector<LayerRecord> layers;

    HostPoint toPage(double x, double y) const {
        return {(x - originX) * pointsPerUnit, (y - originY) * pointsPerUnit};
    }
    void toMap(HostPoint p, double* x, double* y) const {
        *x = p.x / pointsPerUnit + originX;
        *y = p.y / pointsPerUnit + originY;
    }
};

// Points on the page for a metre on the ground at 1 : scale.
inline double PointsPerMetre(double scale) { return 72.0 / 0.0254 / scale; }

// The layer attribute that ties a host layer to its LayerRecord (by index).
inline constexpr const char* kLayerAttribute = "data-orbalis-gis-layer";

// The <metadata> element that holds the georeference.
std::string EncodeGeoreference(const Georeference& georeference);
// Finds and reads the georeference of a document; false when it has none
// (`error` stays empty) or when it cannot be read (`error` says why).
bool FindGeoreference(const Document& document, Georeference* georeference, std::string* error);

// The foreign attribute a column's values go in: "data-" and the name with
// every byte outside [A-Za-z0-9._-] written as "_HH"; made unique among
// `taken` by a numbered suffix.
std::string FieldKey(const std::string& name, std::vector<std::string>& taken);

}  // namespace orbalis::host::gis
