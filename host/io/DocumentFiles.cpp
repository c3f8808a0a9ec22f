#include "host/io/DocumentFiles.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "host/io/JsonDocument.h"
#include "host/io/ReplaceFile.h"
#include "host/io/SvgDocument.h"

namespace orbalis::host {
namespace {

namespace fs = std::filesystem;

// Documents larger than this are refused before they are read.
constexpr std::uintmax_t kMaxDocumentBytes = 512ull << 20;

std::string Extension(const std::string& path) {
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext;
}

bool ReadFile(const std::string& path, std::string* text, std::string* error) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!ec && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status)) {
        *error = path + ": cannot read: not a regular file";
        return false;
    }
    const auto size = fs::file_size(path, ec);
    if (ec) {
        *error = path + ": cannot read: " + ec.message();
        return false;
    }
    if (size > kMaxDocumentBytes) {
        *error = path + ": file is too large (" + std::to_string(size >> 20) + " MiB; at most " +
                 std::to_string(kMaxDocumentBytes >> 20) + " MiB)";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream buffer;
    if (!in || !(buffer << in.rdbuf())) {
        // An empty file reads nothing, which is not an error here.
        if (size != 0) {
            *error = path + ": cannot read";
            return false;
        }
    }
    *text = std::move(buffer).str();
    return true;
}

// Whether JSON text is a GeoJSON or TopoJSON object: its "type" is one of
// theirs.
bool LooksLikeGeoJson(const std::string& text) {
    for (const char* type : {"\"Topology\"", "\"FeatureCollection\"", "\"Feature\""}) {
        for (size_t at = text.find(type); at != std::string::npos; at = text.find(type, at + 1)) {
            if (at == 0) continue;
            size_t before = text.find_last_not_of(" \t\r\n", at - 1);
            if (before != std::string::npos && text[before] == ':') {
                before = text.find_last_not_of(" \t\r\n", before - 1);
                if (before != std::string::npos && before >= 5 && text.compare(before - 5, 6, "\"type\"") == 0)
                    return true;
            }
        }
    }
    return false;
}

// Makes the layer titled `currentLayer` current and records where the
// document came from.
std::unique_ptr<Document> Finish(std::unique_ptr<Document> document, const std::string& path,
                                 const std::string& currentLayer, std::string* error) {
    if (!document) return nullptr;
    if (!currentLayer.empty()) {
        Layer* chosen = nullptr;
        for (Layer* layer : document->allLayers())
            if (layer->title == currentLayer) {
                chosen = layer;
                break;
            }
        if (!chosen) {
            *error = path + ": no layer titled \"" + currentLayer + "\"";
            return nullptr;
        }
        document->setCurrentLayer(chosen);
    }
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    document->filePath = ec ? path : absolute.lexically_normal().string();
    return document;
}

}  // namespace

bool IsDocumentPath(const std::string& path) {
    const std::string ext = Extension(path);
    return ext == ".json" || ext == ".svg" || IsGisOutputPath(path);
}

bool IsReadableDocumentPath(const std::string& path) {
    const std::string ext = Extension(path);
    return ext == ".json" || ext == ".svg" || IsGisInputPath(path);
}

std::string UnknownDocumentType(const std::string& path) {
    return path + ": unknown document type (expected .json, .svg or a GIS format such as .geojson, .shp or .gpkg)";
}

std::unique_ptr<Document> ReadDocumentFile(const std::string& path, const DocumentReadOptions& options,
                                           std::string* error) {
    const std::string ext = Extension(path);
    if (IsGisInputPath(path))
        return Finish(ReadGisDocument(path, options.gis, options.warnings, options.notes, error), path,
                      options.currentLayer, error);
    if (ext != ".json" && ext != ".svg") {
        *error = UnknownDocumentType(path);
        return nullptr;
    }
    std::string text;
    if (!ReadFile(path, &text, error)) return nullptr;
    std::string detail;
    std::unique_ptr<Document> document;
    if (ext == ".svg") {
        SvgImportOptions svg;
        svg.currentLayer = options.currentLayer;
        std::vector<std::string> warnings;
        svg.warnings = &warnings;
        document = ReadSvgDocument(text, svg, &detail);
        if (options.warnings)
            for (const std::string& w : warnings) options.warnings->push_back(path + ": " + w);
    } else {
        document = ReadJsonDocument(text, &detail);
    }
    if (!document && ext == ".json" && detail.find("not an Orbalis document") != std::string::npos &&
        LooksLikeGeoJson(text)) {
        // GeoJSON and TopoJSON are often named .json.
        text.clear();
        return Finish(ReadGisDocument(path, options.gis, options.warnings, options.notes, error), path,
                      options.currentLayer, error);
    }
    if (!document) {
        *error = path + ": " + detail;
        return nullptr;
    }
    // The SVG importer chooses the current layer itself.
    return Finish(std::move(document), path, ext == ".svg" ? std::string() : options.currentLayer, error);
}

bool WriteDocumentFile(const Document& document, const std::string& path, std::string* error,
                       std::vector<std::string>* warnings) {
    const std::string ext = Extension(path);
    if (IsGisOutputPath(path)) return WriteGisDocument(document, path, warnings, error);
    std::string text;
    if (ext == ".svg")
        text = WriteSvgDocument(document);
    else if (ext == ".json")
        text = WriteJsonDocument(document);
    else {
        *error = UnknownDocumentType(path);
        return false;
    }
    return WriteFileAtomically(path, text, error);
}

bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error) {
    std::string target;
    int failure = FollowLinks(path, &target);
    if (failure == 0) failure = ReplaceFile(target, text, 0666);
    if (failure != 0) {
        *error = path + ": cannot write: " + std::strerror(failure);
        return false;
    }
    return true;
}

}  // namespace orbalis::host
