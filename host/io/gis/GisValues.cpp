#include "host/io/gis/GisValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "host/io/svg/SvgMarkup.h"

namespace orbalis::host::gis {
namespace {

std::string Percent(double fraction) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::clamp(fraction, 0.0, 1.0) * 100);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

}  // namespace

std::string FieldText(const OGRFeature& feature, int field) {
    const OGRFieldDefn* definition = feature.GetFieldDefnRef(field);
    if (definition->GetType() == OFTReal) {
        char text[32];
        const auto [end, ec] = std::to_chars(text, text + sizeof text, feature.GetFieldAsDouble(field));
        if (ec == std::errc()) return std::string(text, end);
    }
    return feature.GetFieldAsString(field);
}

bool EqualFolded(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

int FieldIndex(const std::vector<FieldRecord>& fields, const char* name) {
    for (size_t i = 0; i < fields.size(); ++i)
        if (EqualFolded(fields[i].name, name)) return static_cast<int>(i);
    return -1;
}

std::string HexText(const HostColor& color) {
    if (color.kind != kHostGrayColor && color.kind != kHostFourColor && color.kind != kHostThreeColor) return "";
    const svg::Rgba rgb = svg::ShownColor(color);
    char text[8];
    const auto byte = [](double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
    std::snprintf(text, sizeof text, "#%02x%02x%02x", byte(rgb.r), byte(rgb.g), byte(rgb.b));
    return text;
}

std::string CmykText(const HostColor& color) {
    double c = 0, m = 0, y = 0, k = 0;
    switch (color.kind) {
    case kHostFourColor:
        c = color.c.four.cyan, m = color.c.four.magenta, y = color.c.four.yellow, k = color.c.four.black;
        break;
    case kHostGrayColor: k = color.c.gray.gray; break;
    case kHostThreeColor: {
        const double r = color.c.three.red, g = color.c.three.green, b = color.c.three.blue;
        k = 1 - std::max({r, g, b});
        if (k < 1) c = (1 - r - k) / (1 - k), m = (1 - g - k) / (1 - k), y = (1 - b - k) / (1 - k);
        break;
    }
    default: return "";
    }
    return Percent(c) + "," + Percent(m) + "," + Percent(y) + "," + Percent(k);
}

bool ParseHexColor(const std::string& text, HostColor* color) {
    if (text.size() != 7 || text[0] != '#') return false;
    int channels[3] = {};
    for (int i = 0; i < 3; ++i) {
        const char* begin = text.data() + 1 + 2 * i;
        const auto [end, ec] = std::from_chars(begin, begin + 2, channels[i], 16);
        if (ec != std::errc() || end != begin + 2) return false;
    }
    *color = HostColor{};
    color->kind = kHostThreeColor;
    color->c.three.red = channels[0] / 255.0;
    color->c.three.green = channels[1] / 255.0;
    color->c.three.blue = channels[2] / 255.0;
    return true;
}

bool ParseCmykText(const std::string& text, HostColor* color) {
    double values[4] = {};
    const char* p = text.c_str();
    for (int i = 0; i < 4; ++i) {
        char* end = nullptr;
        values[i] = std::strtod(p, &end);
        if (end == p || !(values[i] >= 0 && values[i] <= 100)) return false;
        p = end;
        if (i < 3 && *p++ != ',') return false;
    }
    if (*p) return false;
    *color = HostColor{};
    color->kind = kHostFourColor;
    color->c.four = {values[0] / 100, values[1] / 100, values[2] / 100, values[3] / 100};
    return true;
}

void SetFill(Art& art, const HostColor& color) {
    if (PathData* path = art.path()) {
        path->style.fillPaint = 1;
        path->style.fill.color = color;
        return;
    }
    if (art.type() == kHostCompoundPathArt)
        for (Art* child = art.firstChild(); child; child = child->next()) SetFill(*child, color);
}

bool FindStyle(const Art& art, HostPathStyle* style) {
    if (const PathData* path = art.path()) {
        *style = path->style;
        return true;
    }
    if (art.type() == kHostCompoundPathArt || art.type() == kHostGroupArt)
        for (const Art* child = art.firstChild(); child; child = child->next())
            if (!child->ownerLayer() && FindStyle(*child, style)) return true;
    return false;
}

}  // namespace orbalis::host::gis
