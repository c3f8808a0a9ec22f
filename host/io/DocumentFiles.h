// Reading and writing document files by their extension (.json or .svg).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/model/Document.h"

namespace orbalis::host {

struct DocumentReadOptions {
    std::string currentLayer;  // title of the layer to make current; empty for the topmost
    // When set, receives the warnings of reading the file, each naming the file.
    std::vector<std::string>* warnings = nullptr;
};

// Null and a one-line `error` (naming the file) when the file cannot be read
// or parsed, or has an unknown extension.
std::unique_ptr<Document> ReadDocumentFile(const std::string& path,
                                           const DocumentReadOptions& options, std::string* error);

// Writes atomically (a temporary file renamed over the target); false and a
// one-line `error` on failure, leaving any existing file untouched.
bool WriteDocumentFile(const Document& document, const std::string& path, std::string* error);

// Writes `text` to `path` the same way: all of it or, with a one-line
// `error` naming the file, nothing. A symbolic link at `path` stays a link
// and the file it names gets the text; an existing file keeps its
// permissions.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error);

// Whether the extension of `path` names a format this host reads and writes.
bool IsDocumentPath(const std::string& path);

}  // namespace orbalis::host
