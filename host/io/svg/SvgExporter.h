// Writing a document as SVG.
#pragma once

#include <string>

#include "host/model/Document.h"

namespace orbalis::host::svg {

std::string ExportSvg(const Document& document);

}  // namespace orbalis::host::svg
