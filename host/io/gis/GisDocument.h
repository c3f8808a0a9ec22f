// GIS data as documents, through GDAL: any vector file GDAL reads opens as a
// document with one layer per GIS layer, placed on the page at a true map
// scale; a document made so is written back to GeoJSON, GeoPackage,
// Shapefile or FlatGeobuf in the data's own CRS with the colours it now has.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/model/Document.h"

namespace orbalis::host {

struct GisReadOptions {
    // The map scale 1 : scale; 0 picks a round scale that fits the data on
    // about 800 points.
    double scale = 0;
    // The CRS the data is drawn in, anything PROJ reads ("EPSG:6677", WKT, a
    // PROJ string). Empty: projected data stays in its own CRS, and
    // geographic data is drawn in an oblique stereographic projection
    // centred on the data.
    std::string crs;
    // The attribute objects are named by. Empty: a field called "id" when
    // the layer has one, otherwise the feature's id.
    std::string nameField;
};

// Whether the extension names a GIS format this host reads, or writes.
bool IsGisInputPath(const std::string& path);
bool IsGisOutputPath(const std::string& path);

// Reads a GIS file. Null with a one-line `error` naming the file when it
// cannot be read; `warnings` gets the features skipped and what GDAL warned
// of, `notes` how the data was placed. Both name the file.
std::unique_ptr<Document> ReadGisDocument(const std::string& path, const GisReadOptions& options,
                                          std::vector<std::string>* warnings, std::vector<std::string>* notes,
                                          std::string* error);

// Writes the document's GIS layers to `path` (.geojson, .gpkg, .shp, .fgb)
// in each layer's own CRS, with the attributes and the colours the objects
// have, replacing any file there only once all is written. False and a
// one-line `error` when the document holds no GIS data, or the file cannot
// be written; `warnings` gets the objects left out.
bool WriteGisDocument(const Document& document, const std::string& path, std::vector<std::string>* warnings,
                      std::string* error);

// Reads a GIS file given as bytes (an upload) named `name`: a zipped
// Shapefile as a .zip. The bytes are put in a scratch folder for GDAL and
// removed again.
std::unique_ptr<Document> ReadGisBytes(const std::string& name, const std::string& bytes, const GisReadOptions& options,
                                       std::string* error);

// Whether the document was read from GIS data and can be written back.
bool HoldsGisData(const Document& document);

// What `orbalis info` says of a GIS file: each layer with its geometry
// type, feature count, CRS and extent.
bool DescribeGisFile(const std::string& path, std::string* text, std::string* error);

}  // namespace orbalis::host
