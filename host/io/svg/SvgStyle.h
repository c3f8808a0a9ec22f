// The style properties the importer understands, read from presentation
// attributes and `style` declarations and inherited down the tree.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/io/svg/SvgColor.h"
#include "host/io/svg/SvgNumbers.h"

namespace orbalis::host::svg {

enum class Property {
    Fill,
    FillOpacity,
    FillRule,
    Stroke,
    StrokeWidth,
    StrokeOpacity,
    StrokeLinecap,
    StrokeLinejoin,
    StrokeMiterlimit,
    StrokeDasharray,
    StrokeDashoffset,
    Opacity,
    Color,
    Display,
    Visibility,
    FontSize,
    FontFamily,
    TextAnchor,
    WritingMode,
    LetterSpacing,
    BaselineShift,
    TextDecoration,
    PaintOrder,
};
inline constexpr size_t kPropertyCount = size_t(Property::PaintOrder) + 1;

const char* PropertyName(Property property);
std::optional<Property> FindProperty(std::string_view name);

// Values given on one element (a `style` declaration wins over the
// attribute of the same name).
using Declarations = std::array<std::optional<std::string>, kPropertyCount>;

// A declaration list's items, split at semicolons outside quotes and
// parentheses (url(...)); items are not trimmed and may be empty.
std::vector<std::string_view> SplitDeclarations(std::string_view text);
// Splits a `style` attribute into its declarations, in order.
std::vector<std::pair<std::string, std::string>> SplitStyle(std::string_view style);
// Joins declarations back into a `style` value.
std::string JoinStyle(const std::vector<std::pair<std::string, std::string>>& declarations);

// The computed values of an element, as SVG's defaults and inheritance
// give them. Lengths are in the element's user units.
struct ComputedStyle {
    Paint fill{Paint::Color, {0, 0, 0, 1}, false, {}};
    Paint stroke{};
    Rgba color{0, 0, 0, 1};
    double fillOpacity = 1;
    double strokeOpacity = 1;
    bool evenOdd = false;
    double strokeWidth = 1;
    int cap = 0;   // butt, round, square
    int join = 0;  // miter, round, bevel
    double miterLimit = 4;
    std::vector<double> dashes;
    double dashOffset = 0;
    double fontSize = 16;
    std::string fontFamily;
    int textAnchor = 0;  // start, middle, end
    bool vertical = false;
    bool invisible = false;  // visibility hidden or collapse
    double letterSpacing = 0;
    int decoration = 0;        // TextDecoration bits, passed on to what is inside
    bool strokeUnder = false;  // paint-order puts the stroke before the fill
    // Not inherited: set from the element's own declarations only.
    bool displayNone = false;
    double baselineShift = 0;  // up, from the parent's baseline
};

// What relative lengths are measured against.
struct LengthBasis {
    double viewportWidth = 0;
    double viewportHeight = 0;
    double rootFontSize = 16;
};

// What a percentage is of: the viewport's width, its height, or its
// normalised diagonal (radii, stroke widths).
enum class Axis { X, Y, Diagonal };

// A length in user units, for an element of the given font size.
double ResolveLength(const Length& length, const LengthBasis& basis, double fontSize, Axis axis);

// Applies an element's declarations on top of its parent's computed style.
// A value that cannot be read counts as not given, as in CSS: the property
// keeps what it inherits. Returns the properties so passed over, in order.
std::vector<Property> ApplyDeclarations(const Declarations& declarations, const LengthBasis& basis,
                                        ComputedStyle* style);

// The colour the model keeps for a paint: `currentColor` resolved, a paint
// server's fallback (black without one). False for none.
bool ResolvePaint(const Paint& paint, const Rgba& current, Rgba* color);

}  // namespace orbalis::host::svg
