#include "tools/workbench/PlacedImages.h"

#include <fstream>
#include <map>
#include <sstream>

namespace orbalis::workbench {
namespace {

constexpr uintmax_t kLargestImage = uintmax_t(32) << 20;

std::string Base64(const std::string& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const uint32_t v =
            uint32_t(uint8_t(bytes[i])) << 16 | uint32_t(uint8_t(bytes[i + 1])) << 8 | uint8_t(bytes[i + 2]);
        for (int k = 18; k >= 0; k -= 6) out += digits[(v >> k) & 63];
    }
    if (i < bytes.size()) {
        const bool two = i + 1 < bytes.size();
        const uint32_t v = uint32_t(uint8_t(bytes[i])) << 16 | (two ? uint32_t(uint8_t(bytes[i + 1])) << 8 : 0);
        out += digits[(v >> 18) & 63];
        out += digits[(v >> 12) & 63];
        out += two ? digits[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

const char* PictureType(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (name.ends_with(".png")) return "image/png";
    if (name.ends_with(".jpg") || name.ends_with(".jpeg")) return "image/jpeg";
    if (name.ends_with(".gif")) return "image/gif";
    if (name.ends_with(".webp")) return "image/webp";
    if (name.ends_with(".svg")) return "image/svg+xml";
    return nullptr;
}

// The attribute's text as written: the exporter escapes & < > " only.
std::string Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            out += text[i];
            continue;
        }
        static const std::pair<const char*, char> kEntities[] = {
            {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
        bool known = false;
        for (const auto& [entity, c] : kEntities)
            if (text.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
                out += c;
                i += std::char_traits<char>::length(entity) - 1;
                known = true;
                break;
            }
        if (!known) out += '&';
    }
    return out;
}

std::string DataAddress(const std::string& href, const RootFolder& root, const std::string& folder) {
    if (href.empty() || href.find(':') != std::string::npos || href[0] == '#' || href[0] == '/') return {};
    const char* type = PictureType(href);
    if (!type) return {};
    std::filesystem::path full;
    Refusal why;
    if (!root.Existing(folder.empty() ? href : folder + "/" + href, &full, &why)) return {};
    std::error_code ec;
    if (!std::filesystem::is_regular_file(full, ec) || std::filesystem::file_size(full, ec) > kLargestImage) return {};
    std::ifstream in(full, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!in && !in.eof()) return {};
    return std::string("data:") + type + ";base64," + Base64(bytes.str());
}

}  // namespace

std::string InlinePlacedImages(const std::string& svg, const RootFolder& root, const std::string& folder) {
    static const std::string kOpen = "<image ", kHref = " xlink:href=\"";
    std::map<std::string, std::string> done;  // a file placed many times is read once
    std::string out;
    size_t from = 0;
    for (size_t at = svg.find(kOpen); at != std::string::npos; at = svg.find(kOpen, at + kOpen.size())) {
        const size_t end = svg.find('>', at);
        const size_t href = svg.find(kHref, at);
        if (end == std::string::npos || href == std::string::npos || href > end) continue;
        const size_t value = href + kHref.size();
        const size_t close = svg.find('"', value);
        if (close == std::string::npos || close > end) continue;
        const std::string written = Unescaped(svg.substr(value, close - value));
        auto [it, fresh] = done.try_emplace(written);
        if (fresh) it->second = DataAddress(written, root, folder);
        if (it->second.empty()) continue;
        out.append(svg, from, value - from);
        out += it->second;
        from = close;
    }
    if (from == 0) return svg;
    out.append(svg, from, std::string::npos);
    return out;
}

}  // namespace orbalis::workbench
