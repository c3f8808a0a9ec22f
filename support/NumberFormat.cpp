#include "support/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>
#include <system_error>

namespace orbalis {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view fieldText(std::string_view text, std::size_t capacity) {
    return text.substr(0, capacity == 0 ? 0 : capacity - 1);
}

// Appends pattern text, turning "%%" into '%'.
void appendLiteral(std::string& out, std::string_view literal) {
    for (std::size_t i = 0; i < literal.size(); ++i) {
        out += literal[i];
        if (literal[i] == '%' && i + 1 < literal.size() && literal[i + 1] == '%') ++i;
    }
}

std::string withPattern(std::string_view prefix, std::string_view number, std::string_view suffix) {
    std::string out;
    out.reserve(prefix.size() + number.size() + suffix.size());
    appendLiteral(out, prefix);
    out += number;
    appendLiteral(out, suffix);
    return out;
}

std::size_t copyCut(const std::string& text, char* buffer, std::size_t capacity) {
    if (capacity > 0 && buffer != nullptr) {
        std::size_t length = std::min(text.size(), capacity - 1);
        std::memcpy(buffer, text.data(), length);
        buffer[length] = '\0';
    }
    return text.size();
}

std::string integerText(int32_t value) {
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    return std::string(digits, result.ptr);
}

// "%.7g" as printf writes it in the C locale.
std::string realText(double value) {
    char digits[64];
    auto result = std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 7);
    return std::string(digits, result.ptr);
}

// Decimal exponent of the leading significant digit of a mantissa with
// `integerDigits` digits before the point, plus `exponent`. Only its sign
// matters: it tells an overflow from an underflow.
long long leadingExponent(std::string_view mantissa, std::size_t integerDigits, long long exponent) {
    std::size_t position = 0;
    for (char c : mantissa) {
        if (c == '.') continue;
        if (c != '0') break;
        ++position;
    }
    return static_cast<long long>(integerDigits) - static_cast<long long>(position) - 1 + exponent;
}

}  // namespace

std::size_t formatInteger(IntegerPattern pattern, int32_t value, char* buffer, std::size_t capacity) {
    return copyCut(formatInteger(pattern, value), buffer, capacity);
}

std::size_t formatReal(RealPattern pattern, double value, char* buffer, std::size_t capacity) {
    return copyCut(formatReal(pattern, value), buffer, capacity);
}

std::string formatInteger(IntegerPattern pattern, int32_t value) {
    return withPattern(pattern.prefix(), integerText(value), pattern.suffix());
}

std::string formatReal(RealPattern pattern, double value) {
    return withPattern(pattern.prefix(), realText(value), pattern.suffix());
}

int32_t parseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // The magnitude stops growing at the limit; further digits are still read.
    const int64_t limit =
        negative ? -int64_t{std::numeric_limits<int32_t>::min()} : int64_t{std::numeric_limits<int32_t>::max()};
    int64_t magnitude = 0;
    for (; i < text.size() && isDigit(text[i]); ++i) {
        magnitude = std::min(limit, magnitude * 10 + (text[i] - '0'));
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int32_t parseInteger(std::string_view text, std::size_t capacity) { return parseInteger(fieldText(text, capacity)); }

double parseReal(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    const std::size_t start = i;
    std::size_t integerDigits = 0;
    while (i < text.size() && isDigit(text[i])) ++i, ++integerDigits;
    std::size_t fractionDigits = 0;
    if (i < text.size() && text[i] == '.') {
        std::size_t j = i + 1;
        while (j < text.size() && isDigit(text[j])) ++j, ++fractionDigits;
        if (integerDigits + fractionDigits > 0) i = j;
    }
    if (integerDigits + fractionDigits == 0) return 0.0;
    const std::size_t mantissaEnd = i;

    // An exponent counts only with at least one digit: "2e" and "2e+" are 2.
    long long exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        bool negativeExponent = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) negativeExponent = text[j++] == '-';
        if (j < text.size() && isDigit(text[j])) {
            for (; j < text.size() && isDigit(text[j]); ++j) {
                exponent = std::min(exponent * 10 + (text[j] - '0'), 1000000000LL);
            }
            if (negativeExponent) exponent = -exponent;
            i = j;
        }
    }

    std::string_view number = text.substr(start, i - start);
    double value = 0.0;
    auto result = std::from_chars(number.data(), number.data() + number.size(), value, std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        std::string_view mantissa = text.substr(start, mantissaEnd - start);
        bool overflow = leadingExponent(mantissa, integerDigits, exponent) >= 0;
        value = overflow ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

double parseReal(std::string_view text, std::size_t capacity) { return parseReal(fieldText(text, capacity)); }

}  // namespace orbalis
