#include "support/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace orbalis {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

std::string printfReal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.7g", value);
    return text;
}

TEST(NumberFormat, RealsShowSevenSignificantDigits) {
    EXPECT_EQ(formatReal(100.0), "100");
    EXPECT_EQ(formatReal(0.1), "0.1");
    EXPECT_EQ(formatReal(500.0 / 6.0), "83.33333");
    EXPECT_EQ(formatReal(12345678.0), "1.234568e+07");
    EXPECT_EQ(formatReal(0.0), "0");
    EXPECT_EQ(formatReal(1.0), "1");
    EXPECT_EQ(formatReal(1e-05), "1e-05");
    // The switches to exponent form, and rounding that crosses one.
    EXPECT_EQ(formatReal(0.0001), "0.0001");
    EXPECT_EQ(formatReal(1234567.0), "1234567");
    EXPECT_EQ(formatReal(9999999.6), "1e+07");
    EXPECT_EQ(formatReal(-2.5), "-2.5");
}

TEST(NumberFormat, RealsMatchPrintfInTheCLocale) {
    const double values[] = {0.5,        -0.0,
                             1.0 / 3.0,  2.0 / 3.0,
                             123.4565,   0.000123456789,
                             1e100,      -1e-300,
                             4.9e-324,   1.7976931348623157e308,
                             99999.995,  0.99999995,
                             25.4,       72.0 / 25.4,
                             -1234567.5, 1e21};
    for (double value : values) EXPECT_EQ(formatReal(value), printfReal(value)) << value;
    // A deterministic spread over many magnitudes.
    uint64_t state = 88172645463325252ULL;
    for (int i = 0; i < 2000; ++i) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        double mantissa = static_cast<double>(state % 100000000) / 1e7;
        double value = std::ldexp(mantissa, static_cast<int>(state >> 58) - 32);
        ASSERT_EQ(formatReal(value), printfReal(value)) << value;
    }
}

TEST(NumberFormat, IntegersAndFixedTextAroundTheNumber) {
    EXPECT_EQ(formatInteger(0), "0");
    EXPECT_EQ(formatInteger(-42), "-42");
    EXPECT_EQ(formatInteger(kMax), "2147483647");
    EXPECT_EQ(formatInteger(kMin), "-2147483648");
    EXPECT_EQ(formatInteger("No.%d", 7), "No.7");
    EXPECT_EQ(formatReal("%.7gkm", 12.5), "12.5km");
    EXPECT_EQ(formatReal("%.7gm", 500.0), "500m");
    EXPECT_EQ(formatReal(" %.7g cm", 3.0), " 3 cm");
    EXPECT_EQ(formatReal("(%.7g%%)", 50.0), "(50%)");
    EXPECT_EQ(formatReal("%%%.7g%%%%", 1.5), "%1.5%%");
    static_assert(RealPattern("(%.7g%%)").prefix() == "(");
    static_assert(RealPattern("(%.7g%%)").suffix() == "%%)");
}

TEST(NumberFormat, BuffersAreNeverOverrunAndAlwaysTerminated) {
    char buffer[kScaleBarFieldCapacity + 4];
    auto fill = [&] { std::memset(buffer, '#', sizeof buffer); };

    fill();
    EXPECT_EQ(formatReal("(%.7g%%)", 500.0 / 6.0, buffer, kScaleBarFieldCapacity), 11u);
    EXPECT_STREQ(buffer, "(83.33333%)");

    // Cut: capacity - 1 characters and the terminator, nothing beyond.
    fill();
    EXPECT_EQ(formatReal("(%.7g%%)", 500.0 / 6.0, buffer, 6), 11u);
    EXPECT_STREQ(buffer, "(83.3");
    EXPECT_EQ(buffer[6], '#');

    // Exactly fitting text is not cut.
    fill();
    EXPECT_EQ(formatInteger(kMin, buffer, 12), 11u);
    EXPECT_STREQ(buffer, "-2147483648");
    fill();
    EXPECT_EQ(formatInteger(kMin, buffer, 11), 11u);
    EXPECT_STREQ(buffer, "-214748364");

    fill();
    EXPECT_EQ(formatInteger(123, buffer, 1), 3u);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(buffer[1], '#');

    fill();
    EXPECT_EQ(formatReal(1.5, buffer, 0), 3u);
    EXPECT_EQ(buffer[0], '#');
    EXPECT_EQ(formatReal(1.5, nullptr, 0), 3u);

    char label[kMessageCapacity];
    EXPECT_EQ(formatReal(" %.7g cm", -1.234568e-300, label), 18u);
    EXPECT_STREQ(label, " -1.234568e-300 cm");
}

TEST(NumberFormat, ParsesIntegersLikeADialogField) {
    const std::pair<std::string_view, int32_t> cases[] = {{"", 0},
                                                          {"abc", 0},
                                                          {" 7", 7},
                                                          {"\t\r\n 42", 42},
                                                          {"3.9", 3},
                                                          {"12abc", 12},
                                                          {"-15", -15},
                                                          {"+8", 8},
                                                          {"- 5", 0},
                                                          {"-", 0},
                                                          {"007", 7},
                                                          {std::string_view("12\0"
                                                                            "34",
                                                                            5),
                                                           12},
                                                          // Beyond 32 bits: the nearest limit.
                                                          {"2147483647", kMax},
                                                          {"2147483648", kMax},
                                                          {"99999999999999999999999999", kMax},
                                                          {"-2147483648", kMin},
                                                          {"-2147483649", kMin},
                                                          {"-99999999999999999999999999x", kMin},
                                                          {"00000000000000002147483646", kMax - 1}};
    for (const auto& [text, value] : cases) EXPECT_EQ(parseInteger(text), value) << text;
}

TEST(NumberFormat, ParsingReadsNoMoreThanTheFieldHolds) {
    EXPECT_EQ(parseInteger("1234567", 4), 123);
    EXPECT_EQ(parseInteger("9", 1), 0);
    EXPECT_EQ(parseInteger("9", 0), 0);
    std::string padded(kMapScalingFieldCapacity - 2, ' ');
    EXPECT_EQ(parseInteger(padded + "5", kMapScalingFieldCapacity), 5);
    EXPECT_EQ(parseInteger(padded + " 5", kMapScalingFieldCapacity), 0);
    EXPECT_EQ(parseInteger("2147483648", kScaleBarFieldCapacity), kMax);

    EXPECT_EQ(parseReal("3.14159", 5), 3.14);
    EXPECT_EQ(parseReal("1e10", 3), 1.0);
    EXPECT_EQ(parseReal("-2.5", 0), 0.0);
}

TEST(NumberFormat, ParsesRealsWithADotWhateverTheText) {
    EXPECT_EQ(parseReal("1e3"), 1000.0);
    EXPECT_EQ(parseReal("-2.5"), -2.5);
    EXPECT_EQ(parseReal("  +.5"), 0.5);
    EXPECT_EQ(parseReal("5."), 5.0);
    EXPECT_EQ(parseReal("1.5E-2x"), 0.015);
    EXPECT_EQ(parseReal("\t3.25cm"), 3.25);
    EXPECT_EQ(parseReal("2e"), 2.0);
    EXPECT_EQ(parseReal("2e+"), 2.0);
    EXPECT_EQ(parseReal("3,5"), 3.0);

    for (const char* none : {"", "abc", "-...", ".", "-", "e5", "inf", "nan", "- 1"}) {
        double value = parseReal(none);
        EXPECT_EQ(value, 0.0) << none;
        EXPECT_FALSE(std::signbit(value)) << none;
    }
    // Hexadecimal is not read as such: the digits stop at the 'x'.
    EXPECT_EQ(parseReal("0x1A"), 0.0);
}

TEST(NumberFormat, RealsBeyondTheDoubleRangeMatchStrtod) {
    const char* texts[] = {"1e400",
                           "-1e400",
                           "1e-400",
                           "-1e-400",
                           "0.0001e-320",
                           "123456789012345678901234567890e-400",
                           "0.00001e310",
                           "4.9e-324",
                           "1.7976931348623157e308",
                           "1.8e308",
                           "0e999999",
                           "0.000000000000000000000000000001",
                           "12345678901234567890123456789012345678901234567890",
                           "1e99999999999999999999",
                           "1e-99999999999999999999"};
    for (const char* text : texts) {
        double expected = std::strtod(text, nullptr);
        double value = parseReal(text);
        EXPECT_EQ(value, expected) << text;
        EXPECT_EQ(std::signbit(value), std::signbit(expected)) << text;
    }
}

TEST(NumberFormat, UnitConversionsKeepTheirOrderOfOperations) {
    EXPECT_EQ(inchesToPoints(2.0), 144.0);
    EXPECT_EQ(inchesToMillimetres(2.0), 50.8);
    EXPECT_EQ(kilometresToMillimetres(1.5), 1500000.0);
    EXPECT_EQ(metresToMillimetres(0.25), 250.0);
    EXPECT_EQ(kilometresToCentimetres(2.5), 250000.0);
    EXPECT_EQ(metresToCentimetres(3.0), 300.0);
    EXPECT_EQ(percentToFactor(50.0), 0.5);
    EXPECT_EQ(millimetresToPoints(25.4), 72.0);

    // Values for which other orders of the same operations give other bits.
    EXPECT_EQ(millimetresToPoints(0.1), 0.28346456692913385);
    EXPECT_EQ(millimetresToPoints(123.456), 349.9540157480315);
    EXPECT_EQ(millimetresToPoints(1.0), 2.834645669291339);
    EXPECT_EQ(paperPoints(100000.0, 17.0), 16674.38628994905);
    EXPECT_EQ(paperPoints(100000.0, 3.0), 94488.18897637796);
    // One kilometre at 1/25000 is four centimetres on paper.
    EXPECT_EQ(paperPoints(kilometresToMillimetres(1.0), 25000.0), millimetresToPoints(40.0));
}

}  // namespace
}  // namespace orbalis
