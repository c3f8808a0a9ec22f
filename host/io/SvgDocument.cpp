#include "host/io/SvgDocument.h"

#include "host/io/svg/SvgExporter.h"
#include "host/io/svg/SvgImporter.h"

namespace orbalis::host {

std::unique_ptr<Document> ReadSvgDocument(const std::string& text, const SvgImportOptions& options,
                                          std::string* error) {
    return svg::ImportSvg(text, options, error);
}

std::string WriteSvgDocument(const Document& document) { return svg::ExportSvg(document); }

}  // namespace orbalis::host
