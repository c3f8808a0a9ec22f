// What the SVG importer and exporter agree on.
//
// Coordinates: SVG's y axis points down, the host's up. A point of the
// root's user space maps to the page as
//     x_page = x * s + ax,    y_page = -(y * s + ay)
// where s is the scale from user units to points that width, height and
// viewBox give (1 px = 0.75 pt) and (ax, ay) the shift that
// preserveAspectRatio adds. The artboard is the root's viewport under the
// same map. The exporter writes points (width/height in "pt", viewBox of
// the same size), so that s = 1, ax = ay = 0 and the map is a plain
// negation of y, which reading the file back undoes exactly.
//
// Symbol definitions keep their content in the page's orientation (y up):
// a symbol's own user space maps into it by negating y.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "host/model/Art.h"
#include "host/model/Geometry.h"

namespace orbalis::host::svg {

inline constexpr const char* kSvgNamespace = "http://www.w3.org/2000/svg";
inline constexpr const char* kXlinkNamespace = "http://www.w3.org/1999/xlink";
inline constexpr const char* kInkscapeNamespace = "http://www.inkscape.org/namespaces/inkscape";
inline constexpr const char* kSodipodiNamespace = "http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd";

// Data attributes that carry what SVG has no notation for.
inline constexpr const char* kCmykFillAttribute = "data-cmyk-fill";
inline constexpr const char* kCmykStrokeAttribute = "data-cmyk-stroke";
inline constexpr const char* kGrayFillAttribute = "data-gray-fill";
inline constexpr const char* kGrayStrokeAttribute = "data-gray-stroke";
inline constexpr const char* kTagsAttribute = "data-tags";
inline constexpr const char* kGuideAttribute = "data-guide";
// A pattern paint: the pattern's number and its matrix in the page's y-up
// space, "n a b c d tx ty".
inline constexpr const char* kPatternFillAttribute = "data-pattern-fill";
inline constexpr const char* kPatternStrokeAttribute = "data-pattern-stroke";
// Area text's frame path, as path data in the text's user space.
inline constexpr const char* kTextFrameAttribute = "data-text-frame";
// A run's character scales, "horizontal vertical" (1 is 100 %).
inline constexpr const char* kCharScaleAttribute = "data-char-scale";

// The foreign attribute holding the XML children of an element the model
// keeps as one object (e.g. a <title> inside a <path>); not an XML name,
// so it cannot clash with a real attribute.
inline constexpr const char* kChildrenAttribute = "#children";
// The foreign attribute holding the map from an element's own SVG user
// space (y down) to the page, "a b c d tx ty", kept for elements whose look
// depends on that space through references (clip paths, masks, filters,
// markers, paint servers): written back in it, so that what they refer to
// still fits.
inline constexpr const char* kSpaceAttribute = "#space";
// The foreign attribute of an object the file hid by `visibility` rather than
// `display`, holding that value: written back the same way, since an object
// hidden by visibility still counts in its group's bounding box.
inline constexpr const char* kHiddenByVisibilityAttribute = "#visibility";

// Limits on what an imported file may ask of the host.
inline constexpr size_t kMaxFileBytes = size_t(512) << 20;
inline constexpr int kMaxNesting = 256;
inline constexpr size_t kMaxSegments = 50'000'000;
inline constexpr double kMaxCoordinate = 1e12;  // points, after every transform

// y -> -y: between SVG's orientation and the host's at scale 1.
inline constexpr HostMatrix kFlip{1, 0, 0, -1, 0, 0};

// Raster art's pixel space has y up; an SVG image's own space, y down. The
// map from the second to the first for an image `height` high.
inline HostMatrix ImageToPixels(double height) { return {1, 0, 0, -1, 0, height}; }

// A value from the file made fit for a one-line message: control
// characters escaped, long values cut short.
inline std::string Printable(std::string_view value) {
    constexpr size_t kLongest = 60;
    std::string out;
    size_t shown = 0;
    for (char c : value) {
        if (shown++ == kLongest) {
            out += "...";
            break;
        }
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            static const char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[(c >> 4) & 15];
            out += hex[c & 15];
        } else {
            out += c;
        }
    }
    return out;
}

inline std::string Quote(std::string_view value) {
    std::string out(1, '"');
    out += Printable(value);
    out += '"';
    return out;
}

}  // namespace orbalis::host::svg
