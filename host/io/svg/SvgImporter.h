// Reading an SVG file into a document.
#pragma once

#include <memory>
#include <string>

#include "host/io/SvgDocument.h"

namespace orbalis::host::svg {

std::unique_ptr<Document> ImportSvg(const std::string& text, const SvgImportOptions& options, std::string* error);

}  // namespace orbalis::host::svg
