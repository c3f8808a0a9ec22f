// Colours in the notations of SVG and CSS, and their text on export.
#pragma once

#include <string>
#include <string_view>

namespace orbalis::host::svg {

struct Rgba {
    double r = 0, g = 0, b = 0;  // 0 to 1
    double alpha = 1;
    bool operator==(const Rgba&) const = default;
};

// A paint value: none, a colour, the current colour, or a paint server
// (url(#id), with an optional fallback colour; or the paint of the element
// that uses this one, context-fill or context-stroke).
struct Paint {
    enum Kind { None, Color, CurrentColor, Url } kind = None;
    Rgba color;  // Color, and the fallback of Url
    bool hasFallback = false;
    std::string url;               // the whole value, for Url
    bool fallbackCurrent = false;  // the fallback is currentColor
};

// "#rgb", "#rgba", "#rrggbb", "#rrggbbaa", "rgb()"/"rgba()" with numbers or
// percentages, "hsl()"/"hsla()", the named colours and "transparent".
bool ParseColor(std::string_view text, Rgba* color);

// A fill or stroke value; false when it is not one.
bool ParsePaint(std::string_view text, Paint* paint);

// "#rrggbb" when every channel is a whole 8-bit step, otherwise
// "rgb(r%, g%, b%)" with exact percentages. Alpha is not written.
std::string FormatColor(const Rgba& color);

}  // namespace orbalis::host::svg
