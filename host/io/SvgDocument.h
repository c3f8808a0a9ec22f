// SVG import and export, so that maps drawn or exported elsewhere can be
// worked on and the results looked at in any browser.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/model/Document.h"

namespace orbalis::host {

struct SvgImportOptions {
    // Title of the layer to make current; empty for the topmost layer.
    std::string currentLayer;
    // When set, receives one line for each value that was passed over as
    // browsers pass it over (invalid values, path data after a fault) and for
    // what was read only in part (a text on a path kept as written).
    std::vector<std::string>* warnings = nullptr;
};

// Parses SVG text. On failure returns null and sets `error` to one line
// naming what is wrong and where.
std::unique_ptr<Document> ReadSvgDocument(const std::string& text, const SvgImportOptions& options, std::string* error);

// Writes the document as SVG; the same document always gives the same bytes.
std::string WriteSvgDocument(const Document& document);

}  // namespace orbalis::host
