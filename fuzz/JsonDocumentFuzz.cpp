// Feeds arbitrary bytes to the native JSON document reader. Whatever it
// accepts must write, the writing must read again and write the same text;
// whatever it refuses must say why in one line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/io/JsonDocument.h"

using orbalis::host::Document;
using orbalis::host::ReadJsonDocument;
using orbalis::host::WriteJsonDocument;

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
    std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
    std::abort();
}

// Walks every object's bounds with whatever numbers the file gave.
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
    auto document = ReadJsonDocument(text, &error);
    if (!document) {
        if (error.empty() || error.find('\n') != std::string::npos) Fail("refused without a one-line reason", error);
        return 0;
    }
    TouchBounds(*document);
    const std::string written = WriteJsonDocument(*document);
    auto again = ReadJsonDocument(written, &error);
    if (!again) Fail("the writing does not read again", error + "\n" + written);
    if (WriteJsonDocument(*again) != written) Fail("the writing does not read back the same", written);
    return 0;
}
