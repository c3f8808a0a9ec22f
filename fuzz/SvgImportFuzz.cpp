// Feeds arbitrary bytes to the SVG importer. Whatever it accepts must export,
// and the export must import again; whatever it refuses must say why.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/io/SvgDocument.h"

using orbalis::host::Document;
using orbalis::host::ReadSvgDocument;
using orbalis::host::WriteSvgDocument;

namespace {

// Asks the model for every object's bounds, which walks curves, text
// layout and symbol instances with whatever numbers the file gave.
void TouchBounds(const Document& document) {
    for (const auto* layer : document.allLayers()) {
        std::vector<orbalis::host::Art*> art;
        document.collectLayerArt(layer, art);
        HostRect r;
        for (const auto* a : art) document.bounds(a, &r);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    auto document = ReadSvgDocument(text, {}, &error);
    if (!document) {
        if (error.empty() || error.find('\n') != std::string::npos) {
            std::fprintf(stderr, "refused without a one-line reason: \"%s\"\n", error.c_str());
            std::abort();
        }
        return 0;
    }
    TouchBounds(*document);
    const std::string written = WriteSvgDocument(*document);
    auto again = ReadSvgDocument(written, {}, &error);
    if (!again) {
        std::fprintf(stderr, "the export does not import again: %s\n%s\n", error.c_str(), written.c_str());
        std::abort();
    }
    return 0;
}
