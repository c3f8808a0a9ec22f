// Numbers as the user sees them: the text of dialog edit fields and of labels
// placed into art, and the fixed conversions between ground distances, paper
// distances and points.
//
// Text is written into fixed-capacity char buffers (the capacity counts the
// terminating zero) and never depends on the C locale: the decimal separator
// is always '.'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orbalis {

// Buffer capacities, terminating zero included.
inline constexpr std::size_t kScaleBarFieldCapacity = 24;
inline constexpr std::size_t kMapScalingFieldCapacity = 48;
inline constexpr std::size_t kMessageCapacity = 256;

namespace number_format_detail {

// Checks a pattern at compile time: literal text around exactly one
// `directive`, with "%%" standing for a literal percent sign. Any other use
// of '%' makes the pattern ill-formed.
consteval std::size_t findDirective(const char* pattern, std::string_view directive) {
    std::size_t found = std::string_view::npos;
    std::string_view text(pattern);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (text.substr(i, 2) == "%%") {
            ++i;
            continue;
        }
        if (text.substr(i, directive.size()) != directive || found != std::string_view::npos) {
            throw "a number pattern holds exactly one number directive and '%%' for '%'";
        }
        found = i;
        i += directive.size() - 1;
    }
    if (found == std::string_view::npos) throw "a number pattern needs its number directive";
    return found;
}

}  // namespace number_format_detail

// A printf-style pattern with one number in it, checked when compiled:
// "%d", "No.%d". Built from a string literal.
class IntegerPattern {
public:
    consteval IntegerPattern(const char* pattern)  // NOLINT: implicit by design
        : pattern_(pattern), at_(number_format_detail::findDirective(pattern, "%d")) {}
    constexpr std::string_view prefix() const { return std::string_view(pattern_).substr(0, at_); }
    constexpr std::string_view suffix() const { return std::string_view(pattern_).substr(at_ + 2); }

private:
    const char* pattern_;
    std::size_t at_;
};

// A printf-style pattern with one "%.7g" in it: "%.7g", "%.7gkm",
// " %.7g cm", "(%.7g%%)". Built from a string literal.
class RealPattern {
public:
    consteval RealPattern(const char* pattern)  // NOLINT: implicit by design
        : pattern_(pattern), at_(number_format_detail::findDirective(pattern, "%.7g")) {}
    constexpr std::string_view prefix() const { return std::string_view(pattern_).substr(0, at_); }
    constexpr std::string_view suffix() const { return std::string_view(pattern_).substr(at_ + 4); }

private:
    const char* pattern_;
    std::size_t at_;
};

// Formatting writes at most capacity - 1 characters and a terminating zero
// (nothing at all when capacity is 0) and returns the length of the whole
// text, so a result >= capacity means the text was cut.
//
// Integers: decimal, a leading '-' for negatives, no grouping.
// Reals: at most seven significant digits, rounded to nearest; trailing
// zeros and a bare decimal point dropped; exponent form ("1e-05",
// "1.234568e+07") when the decimal exponent is below -4 or at least 7.
std::size_t formatInteger(IntegerPattern pattern, int32_t value, char* buffer, std::size_t capacity);
std::size_t formatReal(RealPattern pattern, double value, char* buffer, std::size_t capacity);

inline std::size_t formatInteger(int32_t value, char* buffer, std::size_t capacity) {
    return formatInteger("%d", value, buffer, capacity);
}
inline std::size_t formatReal(double value, char* buffer, std::size_t capacity) {
    return formatReal("%.7g", value, buffer, capacity);
}

template <std::size_t Capacity>
std::size_t formatInteger(IntegerPattern pattern, int32_t value, char (&buffer)[Capacity]) {
    return formatInteger(pattern, value, buffer, Capacity);
}
template <std::size_t Capacity>
std::size_t formatInteger(int32_t value, char (&buffer)[Capacity]) {
    return formatInteger("%d", value, buffer, Capacity);
}
template <std::size_t Capacity>
std::size_t formatReal(RealPattern pattern, double value, char (&buffer)[Capacity]) {
    return formatReal(pattern, value, buffer, Capacity);
}
template <std::size_t Capacity>
std::size_t formatReal(double value, char (&buffer)[Capacity]) {
    return formatReal("%.7g", value, buffer, Capacity);
}

// The same as a std::string, never cut.
std::string formatInteger(IntegerPattern pattern, int32_t value);
std::string formatReal(RealPattern pattern, double value);
inline std::string formatInteger(int32_t value) { return formatInteger("%d", value); }
inline std::string formatReal(double value) { return formatReal("%.7g", value); }

// Parsing reads the text the way a field of the given capacity holds it:
// at most capacity - 1 characters; the rest is ignored.
//
// Integers: leading white space skipped, an optional sign, then decimal
// digits up to the first other character ("12abc" is 12). No digits give 0;
// a value beyond the 32-bit range gives the nearest 32-bit limit.
int32_t parseInteger(std::string_view text);
int32_t parseInteger(std::string_view text, std::size_t capacity);

// Reals: leading white space, an optional sign, digits with an optional '.'
// and an optional exponent ("e", optional sign, digits). No number gives
// 0.0. Only decimal text is read: "inf", "nan" and hexadecimal forms are not
// numbers here. Magnitudes beyond the double range give an infinity, those
// below it a zero, both with the text's sign.
double parseReal(std::string_view text);
double parseReal(std::string_view text, std::size_t capacity);

// ---- Fixed conversions between units. The document unit is the point,
// 72 to the inch.
inline constexpr double kPointsPerInch = 72.0;
inline constexpr double kMillimetresPerInch = 25.4;

constexpr double inchesToPoints(double inches) { return inches * kPointsPerInch; }
constexpr double inchesToMillimetres(double inches) { return inches * kMillimetresPerInch; }
// Multiplied first, then divided, so that results match to the last bit.
constexpr double millimetresToPoints(double millimetres) { return millimetres * kPointsPerInch / kMillimetresPerInch; }
constexpr double kilometresToMillimetres(double kilometres) { return kilometres * 1000000.0; }
constexpr double metresToMillimetres(double metres) { return metres * 1000.0; }
constexpr double kilometresToCentimetres(double kilometres) { return kilometres * 100000.0; }
constexpr double metresToCentimetres(double metres) { return metres * 100.0; }
constexpr double percentToFactor(double percent) { return percent / 100.0; }

// Length in points on paper of a ground distance at map scale 1/N,
// evaluated as ground / N * 72 / 25.4, left to right.
constexpr double paperPoints(double groundMillimetres, double scaleDenominator) {
    return groundMillimetres / scaleDenominator * kPointsPerInch / kMillimetresPerInch;
}

}  // namespace orbalis
