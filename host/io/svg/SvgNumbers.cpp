#include "host/io/svg/SvgNumbers.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace orbalis::host::svg {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Length of the number token at `s` (SVG grammar: sign? digits? ('.' digits)?
// exponent?), 0 when there is none.
size_t NumberLength(std::string_view s) {
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1, fraction = 0;
        while (j < s.size() && IsDigit(s[j])) ++j, ++fraction;
        if (fraction > 0 || digits > 0) {
            i = j;
            digits += fraction;
        }
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && IsDigit(s[j])) {
            while (j < s.size() && IsDigit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

// Converts a token found by NumberLength. Underflow reads as zero.
bool ConvertNumber(std::string_view token, double* value) {
    std::string_view body = token;
    bool negative = false;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) {
        negative = body[0] == '-';
        body.remove_prefix(1);
    }
    double v = 0;
    auto [end, ec] = std::from_chars(body.data(), body.data() + body.size(), v);
    if (ec == std::errc::result_out_of_range) {
        const size_t e = body.find_first_of("eE");
        if (e == std::string_view::npos || e + 1 >= body.size() || body[e + 1] != '-') return false;
        v = 0;
    } else if (ec != std::errc() || end != body.data() + body.size() || !std::isfinite(v)) {
        return false;
    }
    *value = negative ? -v : v;
    return true;
}

}  // namespace

void NumberCursor::skipSpace() {
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
}

void NumberCursor::skipSeparator() {
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        skipSpace();
    }
}

bool NumberCursor::number(double* value, const char** error) {
    const size_t n = NumberLength(text_.substr(pos_));
    if (n == 0) {
        *error = "expected a number";
        return false;
    }
    if (!ConvertNumber(text_.substr(pos_, n), value)) {
        *error = "number out of range";
        return false;
    }
    pos_ += n;
    return true;
}

bool NumberCursor::flag(bool* value) {
    if (pos_ < text_.size() && (text_[pos_] == '0' || text_[pos_] == '1')) {
        *value = text_[pos_++] == '1';
        return true;
    }
    return false;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsSpace(text.back())) text.remove_suffix(1);
    return text;
}

std::vector<std::string_view> SplitList(std::string_view text, std::string_view separators) {
    std::vector<std::string_view> items;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(separators, start);
        if (end == std::string_view::npos) end = text.size();
        if (end > start) items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

bool ParseNumber(std::string_view text, double* value) {
    text = Trim(text);
    const size_t n = NumberLength(text);
    return n > 0 && n == text.size() && ConvertNumber(text, value);
}

double PointsPerUnit(std::string_view unit) {
    if (unit.empty() || unit == "px") return 0.75;
    if (unit == "pt") return 1;
    if (unit == "pc") return 12;
    if (unit == "in") return 72;
    if (unit == "mm") return 72 / 25.4;
    if (unit == "cm") return 72 / 2.54;
    if (unit == "q" || unit == "Q") return 72 / 25.4 / 4;
    return 0;
}

bool ParseLength(std::string_view text, Length* length) {
    text = Trim(text);
    const size_t n = NumberLength(text);
    double v = 0;
    if (n == 0 || !ConvertNumber(text.substr(0, n), &v)) return false;
    std::string unit(text.substr(n));
    if (unit.size() > 4) return false;
    for (char& c : unit)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    static const std::pair<const char*, Length::Unit> relative[] = {
        {"%", Length::Percent}, {"em", Length::Em}, {"ex", Length::Ex},     {"ch", Length::Ch},    {"rem", Length::Rem},
        {"vw", Length::Vw},     {"vh", Length::Vh}, {"vmin", Length::Vmin}, {"vmax", Length::Vmax}};
    for (const auto& [name, kind] : relative)
        if (unit == name) {
            *length = {v, kind};
            return true;
        }
    {
        const double points = PointsPerUnit(unit);
        if (points == 0) return false;
        const double user = v * (points / 0.75);
        if (!std::isfinite(user)) return false;
        *length = {user, Length::User};
    }
    return true;
}

std::string FormatExact(double value) {
    if (value == 0) return "0";
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return "0";
    return std::string(buffer, end);
}

std::string FormatCoordinate(double value) {
    if (std::fabs(value) < 1e9) value = std::round(value * 1e6) / 1e6;
    return FormatExact(value);
}

}  // namespace orbalis::host::svg
