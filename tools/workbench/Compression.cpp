#include "tools/workbench/Compression.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>

namespace orbalis::workbench {

std::string Gzip(const std::string& body, int level) {
    z_stream z{};
    // 15 window bits, plus 16 for the gzip wrapper.
    if (deflateInit2(&z, level, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::string out(deflateBound(&z, static_cast<uLong>(body.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(body.data()));
    z.avail_in = static_cast<uInt>(body.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return result == Z_STREAM_END ? out : std::string();
}

int GzipLevelFor(size_t size) {
    if (size < 1024) return 0;
    // Up to a megabyte the best ratio costs little; beyond, the fastest
    // level already gains most of what any would.
    return size <= (size_t(1) << 20) ? 6 : 1;
}

bool AcceptsGzip(const std::string& acceptEncoding) {
    // Comma-separated codings, each with an optional ";q=WEIGHT"; a weight
    // of 0 refuses the coding.
    size_t start = 0;
    while (start <= acceptEncoding.size()) {
        size_t end = acceptEncoding.find(',', start);
        if (end == std::string::npos) end = acceptEncoding.size();
        std::string item = acceptEncoding.substr(start, end - start);
        item.erase(std::remove(item.begin(), item.end(), ' '), item.end());
        const size_t semicolon = item.find(';');
        if (item.substr(0, semicolon) == "gzip") {
            if (semicolon == std::string::npos) return true;
            const std::string weight = item.substr(semicolon + 1);
            return !(weight.rfind("q=", 0) == 0 && std::strtod(weight.c_str() + 2, nullptr) <= 0);
        }
        start = end + 1;
    }
    return false;
}

}  // namespace orbalis::workbench
