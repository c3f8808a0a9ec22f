// Reading and writing the numbers of SVG attributes: the number grammar of
// path data and attribute lists, lengths with units, and compact output.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace orbalis::host::svg {

// Walks a list of numbers, flags and command letters with SVG's separators.
class NumberCursor {
public:
    explicit NumberCursor(std::string_view text) : text_(text) {}

    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance() { ++pos_; }
    size_t offset() const { return pos_; }

    void skipSpace();
    // Skips white space with at most one comma in it.
    void skipSeparator();
    // Reads a number at the cursor. Without one, returns false, leaves the
    // cursor where it was and sets `error` ("expected a number" or "number
    // out of range").
    bool number(double* value, const char** error);
    // Reads an arc flag: a single '0' or '1'.
    bool flag(bool* value);

private:
    std::string_view text_;
    size_t pos_ = 0;
};

// Parses a whole string as one number (surrounding white space allowed).
bool ParseNumber(std::string_view text, double* value);

// A length of SVG or CSS. Absolute units (px, pt, pc, in, cm, mm, Q) are
// converted to user units (1px) at once; the others depend on the font or
// the viewport and are resolved where those are known.
struct Length {
    double value = 0;
    enum Unit { User, Percent, Em, Ex, Ch, Rem, Vw, Vh, Vmin, Vmax } unit = User;  // User: in user units
};
// Parses "12", "12px", "3mm", "50%", "1.2em", "2rem", "10vw"; units in any
// case, as CSS reads them; false for anything else.
bool ParseLength(std::string_view text, Length* length);

// Points per unit for the size of the root element; 0 for an unknown unit.
double PointsPerUnit(std::string_view unit);

// Shortest text that reads back as exactly `value` ("-0" written as "0").
std::string FormatExact(double value);
// `value` rounded to a millionth, written without needless digits: for
// coordinates and lengths, where a micro-point is far below any use.
std::string FormatCoordinate(double value);

std::string_view Trim(std::string_view text);

// The items of a list, split at any of `separators`; empty items left out.
std::vector<std::string_view> SplitList(std::string_view text, std::string_view separators = " \t\r\n");

}  // namespace orbalis::host::svg
