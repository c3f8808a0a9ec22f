// The host's native document format: JSON, lossless for everything the
// document model holds (see docs/document-format.md).
#pragma once

#include <memory>
#include <string>

#include "host/model/Document.h"

namespace orbalis::host {

// Parses a document. On failure returns null and sets `error` to one line
// naming what is wrong and where.
std::unique_ptr<Document> ReadJsonDocument(const std::string& text, std::string* error);

// Serialises a document; the same document always gives the same text.
std::string WriteJsonDocument(const Document& document);

}  // namespace orbalis::host
