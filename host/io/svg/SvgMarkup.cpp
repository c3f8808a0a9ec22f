#include "host/io/svg/SvgMarkup.h"

#include <cctype>

#include "host/model/TextLayout.h"

namespace orbalis::host::svg {

std::string CleanText(const std::string& text) {
    bool plain = true;
    for (unsigned char c : text) plain = plain && c >= 0x20 && c < 0x80;
    if (plain) return text;
    std::string out;
    for (char32_t c : DecodeUtf8(text)) {
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') continue;
        if (c == 0xFFFE || c == 0xFFFF) continue;
        if (c < 0x80) {
            out.push_back(char(c));
        } else if (c < 0x800) {
            out.push_back(char(0xC0 | (c >> 6)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(char(0xE0 | (c >> 12)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        } else {
            out.push_back(char(0xF0 | (c >> 18)));
            out.push_back(char(0x80 | ((c >> 12) & 0x3F)));
            out.push_back(char(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

void AppendEscaped(std::string& out, const std::string& raw, bool attribute) {
    for (char c : CleanText(raw)) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += attribute ? "&quot;" : "\""; break;
        case '\n': out += attribute ? "&#10;" : "\n"; break;
        case '\r': out += "&#13;"; break;
        case '\t': out += attribute ? "&#9;" : "\t"; break;
        default: out.push_back(c);
        }
    }
}

bool IsXmlName(const std::string& name) {
    if (name.empty()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        const bool start = std::isalpha(c) || c == '_' || c == ':' || c >= 0x80;
        if (!(start || (i > 0 && (std::isdigit(c) || c == '-' || c == '.')))) return false;
    }
    return true;
}

Rgba ShownColor(const HostColor& color) {
    switch (color.kind) {
    case kHostThreeColor: return {color.c.three.red, color.c.three.green, color.c.three.blue, 1};
    case kHostFourColor: {
        const HostFourColor& f = color.c.four;
        return {(1 - f.cyan) * (1 - f.black), (1 - f.magenta) * (1 - f.black), (1 - f.yellow) * (1 - f.black), 1};
    }
    case kHostGrayColor: {
        const double v = 1 - color.c.gray.gray;
        return {v, v, v, 1};
    }
    case kHostCustomColor: {
        const double v = 1 - color.c.custom.tint;
        return {v, v, v, 1};
    }
    default: return {0, 0, 0, 1};
    }
}

}  // namespace orbalis::host::svg
