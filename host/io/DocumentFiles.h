// Reading and writing document files by their extension (.json or .svg).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/io/gis/GisDocument.h"
#include "host/model/Document.h"

namespace orbalis::host {

struct DocumentReadOptions {
    std::string currentLayer;  // title of the layer to make current; empty for the topmost
    // When set, receives the warnings of reading the file, each naming the file.
    std::vector<std::string>* warnings = nullptr;
    // GIS files: the map scale, the CRS and the attribute to name objects by.
    GisReadOptions gis;
    // When set, receives how GIS data was placed on the page.
    std::vector<std::string>* notes = nullptr;
};

// Null and a one-line `error` (naming the file) when the file cannot be read
// or parsed, or has an unknown extension. GIS files (and `.json` files that
// hold GeoJSON or TopoJSON) are read through GDAL.
std::unique_ptr<Document> ReadDocumentFile(const std::string& path, const DocumentReadOptions& options,
                                           std::string* error);

// Writes atomically (a temporary file renamed over the target); false and a
// one-line `error` on failure, leaving any existing file untouched. GIS
// formats take a document read from GIS data; `warnings` gets the objects
// that could not be written.
bool WriteDocumentFile(const Document& document, const std::string& path, std::string* error,
                       std::vector<std::string>* warnings = nullptr);

// Writes `text` to `path` the same way: all of it or, with a one-line
// `error` naming the file, nothing. A symbolic link at `path` stays a link
// and the file it names gets the text; an existing file keeps its
// permissions.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error);

// Whether the extension of `path` names a format this host reads and writes.
bool IsDocumentPath(const std::string& path);
// Whether it names a format this host reads.
bool IsReadableDocumentPath(const std::string& path);

// What an unknown extension gets: "PATH: unknown document type (expected ...)".
std::string UnknownDocumentType(const std::string& path);

}  // namespace orbalis::host
