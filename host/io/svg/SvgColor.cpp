#include "host/io/svg/SvgColor.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <vector>

#include "host/io/svg/SvgNumbers.h"

namespace orbalis::host::svg {
namespace {

struct NamedColor {
    const char* name;
    uint32_t rgb;
};

constexpr NamedColor kNamedColors[] = {
#include "host/io/svg/SvgNamedColors.inc"
};

std::string Lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHex(std::string_view hex, Rgba* color) {
    if (hex.size() != 3 && hex.size() != 4 && hex.size() != 6 && hex.size() != 8) return false;
    int v[8];
    for (size_t i = 0; i < hex.size(); ++i)
        if ((v[i] = HexDigit(hex[i])) < 0) return false;
    double channels[4] = {0, 0, 0, 1};
    if (hex.size() == 3 || hex.size() == 4) {
        for (size_t i = 0; i < hex.size(); ++i) channels[i] = (v[i] * 17) / 255.0;
    } else if (hex.size() == 6 || hex.size() == 8) {
        for (size_t i = 0; i < hex.size() / 2; ++i) channels[i] = (v[2 * i] * 16 + v[2 * i + 1]) / 255.0;
    } else {
        return false;
    }
    *color = {channels[0], channels[1], channels[2], channels[3]};
    return true;
}

// The arguments of a colour function, separated by commas or by spaces
// with an optional "/ alpha"; each a number with an optional unit.
struct Argument {
    double value;
    std::string unit;
};

bool SplitArguments(std::string_view body, std::vector<Argument>* out) {
    NumberCursor cursor(body);
    cursor.skipSpace();
    while (!cursor.atEnd()) {
        double v;
        const char* error;
        if (!cursor.number(&v, &error)) return false;
        std::string unit;
        while (!cursor.atEnd() && (std::isalpha(static_cast<unsigned char>(cursor.peek())) || cursor.peek() == '%')) {
            unit.push_back(cursor.peek());
            cursor.advance();
        }
        out->push_back({v, Lower(unit)});
        cursor.skipSpace();
        if (cursor.peek() == ',' || cursor.peek() == '/') {
            cursor.advance();
            cursor.skipSpace();
            if (cursor.atEnd()) return false;
        }
        if (out->size() > 4) return false;
    }
    return true;
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

bool AlphaOf(const std::vector<Argument>& args, double* alpha) {
    *alpha = 1;
    if (args.size() < 4) return true;
    const Argument& a = args[3];
    if (a.unit == "%")
        *alpha = Clamp01(a.value / 100);
    else if (a.unit.empty())
        *alpha = Clamp01(a.value);
    else
        return false;
    return true;
}

bool ParseRgbFunction(std::string_view body, Rgba* color) {
    std::vector<Argument> args;
    if (!SplitArguments(body, &args) || args.size() < 3) return false;
    // The three channels are all numbers or all percentages, never mixed.
    if ((args[0].unit == "%") != (args[1].unit == "%") || (args[0].unit == "%") != (args[2].unit == "%")) return false;
    double channels[3];
    for (int i = 0; i < 3; ++i) {
        if (args[i].unit == "%")
            channels[i] = Clamp01(args[i].value / 100);
        else if (args[i].unit.empty())
            channels[i] = Clamp01(args[i].value / 255);
        else
            return false;
    }
    double alpha;
    if (!AlphaOf(args, &alpha)) return false;
    *color = {channels[0], channels[1], channels[2], alpha};
    return true;
}

bool ParseHslFunction(std::string_view body, Rgba* color) {
    std::vector<Argument> args;
    if (!SplitArguments(body, &args) || args.size() < 3) return false;
    double hue = args[0].value;
    if (args[0].unit == "rad")
        hue *= 180 / 3.14159265358979323846;
    else if (args[0].unit == "turn")
        hue *= 360;
    else if (args[0].unit == "grad")
        hue *= 0.9;
    else if (!args[0].unit.empty() && args[0].unit != "deg")
        return false;
    if (args[1].unit != "%" || args[2].unit != "%") return false;
    const double s = Clamp01(args[1].value / 100), l = Clamp01(args[2].value / 100);
    hue = std::fmod(hue, 360);
    if (hue < 0) hue += 360;
    auto channel = [&](double n) {
        const double k = std::fmod(n + hue / 30, 12);
        const double a = s * std::min(l, 1 - l);
        return l - a * std::max(-1.0, std::min({k - 3, 9 - k, 1.0}));
    };
    double alpha;
    if (!AlphaOf(args, &alpha)) return false;
    *color = {channel(0), channel(8), channel(4), alpha};
    return true;
}

}  // namespace

bool ParseColor(std::string_view text, Rgba* color) {
    text = Trim(text);
    if (text.empty()) return false;
    if (text[0] == '#') return ParseHex(text.substr(1), color);
    const std::string lower = Lower(text);
    const size_t open = lower.find('(');
    if (open != std::string::npos) {
        if (lower.back() != ')') return false;
        const std::string_view name = Trim(std::string_view(lower).substr(0, open));
        const std::string_view body = std::string_view(lower).substr(open + 1, lower.size() - open - 2);
        if (name == "rgb" || name == "rgba") return ParseRgbFunction(body, color);
        if (name == "hsl" || name == "hsla") return ParseHslFunction(body, color);
        return false;
    }
    if (lower == "transparent") {
        *color = {0, 0, 0, 0};
        return true;
    }
    auto it = std::lower_bound(std::begin(kNamedColors), std::end(kNamedColors), lower,
                               [](const NamedColor& c, const std::string& n) { return n.compare(c.name) > 0; });
    if (it == std::end(kNamedColors) || lower != it->name) return false;
    *color = {((it->rgb >> 16) & 0xFF) / 255.0, ((it->rgb >> 8) & 0xFF) / 255.0, (it->rgb & 0xFF) / 255.0, 1};
    return true;
}

bool ParsePaint(std::string_view text, Paint* paint) {
    text = Trim(text);
    const std::string lower = Lower(text);
    if (lower == "none") {
        *paint = Paint{};
        return true;
    }
    if (lower == "currentcolor") {
        *paint = Paint{Paint::CurrentColor, {}, false, {}};
        return true;
    }
    if (lower == "context-fill" || lower == "context-stroke") {
        // The paint of the element that uses this one: kept like a paint
        // server, and written back as it was.
        *paint = Paint{Paint::Url, {}, false, std::string(text)};
        return true;
    }
    if (lower.rfind("url(", 0) == 0) {
        const size_t close = text.find(')');
        if (close == std::string_view::npos) return false;
        Paint p{Paint::Url, {}, false, std::string(text)};
        const std::string_view rest = Trim(text.substr(close + 1));
        if (!rest.empty()) {
            const std::string restLower = Lower(rest);
            if (restLower == "none") {
                // No fallback paint: nothing is drawn when the server is missing.
            } else if (restLower == "currentcolor") {
                p.hasFallback = true;
                p.fallbackCurrent = true;
            } else if (ParseColor(rest, &p.color)) {
                p.hasFallback = true;
            } else {
                return false;
            }
        }
        *paint = p;
        return true;
    }
    Rgba color;
    if (!ParseColor(text, &color)) return false;
    *paint = Paint{Paint::Color, color, false, {}};
    return true;
}

std::string FormatColor(const Rgba& color) {
    const double channels[3] = {color.r, color.g, color.b};
    bool whole = true;
    int bytes[3];
    for (int i = 0; i < 3; ++i) {
        const double scaled = Clamp01(channels[i]) * 255;
        bytes[i] = int(std::lround(scaled));
        // Whole steps only when reading "#rrggbb" back gives the same value.
        if (bytes[i] / 255.0 != Clamp01(channels[i])) whole = false;
    }
    if (whole) {
        static const char digits[] = "0123456789abcdef";
        std::string out = "#";
        for (int b : bytes) {
            out.push_back(digits[b >> 4]);
            out.push_back(digits[b & 15]);
        }
        return out;
    }
    // Percentages to a hundred-millionth: far finer than any display, without
    // the noise digits of products like 0.9 * 0.8.
    auto percent = [](double v) { return FormatExact(std::round(Clamp01(v) * 1e10) / 1e8); };
    return "rgb(" + percent(color.r) + "%, " + percent(color.g) + "%, " + percent(color.b) + "%)";
}

}  // namespace orbalis::host::svg
