// How the server compresses what it sends. Brotli at its highest quality
// takes seconds over a drawing of megabytes; gzip at a level chosen by the
// body's size costs a few milliseconds per megabyte, and a drawing is
// compressed once, however often it is fetched.
#pragma once

#include <string>

namespace orbalis::workbench {

// gzip's bytes for `body` (an empty string if zlib fails).
std::string Gzip(const std::string& body, int level);

// The gzip level worth spending on a body of `size` bytes; 0 for bodies
// too small to gain from any.
int GzipLevelFor(size_t size);

// Whether an Accept-Encoding header lists gzip.
bool AcceptsGzip(const std::string& acceptEncoding);

}  // namespace orbalis::workbench
