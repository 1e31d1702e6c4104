#include "numerics/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numerics/errors.h"
#include "numerics/text_to_number.h"

namespace lumerad {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(NumberText, GeneralChoosesPlainOrScientific) {
    EXPECT_EQ(general(0.00012, 7), "0.00012");
    EXPECT_EQ(general(123.4, 7), "123.4");
    EXPECT_EQ(general(1234567, 7), "1234567");
    EXPECT_EQ(general(1.5e-5, 7), "1.5E-5");
    EXPECT_EQ(general(2.345678e12, 7), "2.345678E12");
    EXPECT_EQ(general(1e20, 7), "1E20");
    EXPECT_EQ(general(0.0, 7), "0");
    EXPECT_EQ(general(-0.0, 7), "0");
    EXPECT_EQ(general(-2.5, 7), "-2.5");
    // Trailing zeros and point dropped after rounding; rounding can carry into a new digit.
    EXPECT_EQ(general(0.7651976837, 7), "0.7651977");
    EXPECT_EQ(general(9.9999999, 7), "10");
    EXPECT_EQ(general(99999.5, 5), "1E5");
    // Precision held to 2..18.
    EXPECT_EQ(general(1.234, 0), "1.2");
    EXPECT_EQ(general(0.5, 30), "0.5");
    EXPECT_EQ(general(0.1, 18), "0.100000000000000006");
}

TEST(NumberText, HalvesRoundAwayFromZeroOnThe18DigitExpansion) {
    // 2.5 and 0.125 are exact: halves go away from zero, also for negative values.
    EXPECT_EQ(general(2.5, 2), "2.5");
    EXPECT_EQ(general(0.125, 2), "0.13");
    EXPECT_EQ(general(-0.125, 2), "-0.13");
    EXPECT_EQ(fixed(2.5, 18, 0), "3");
    EXPECT_EQ(fixed(-2.5, 18, 0), "-3");
    // 1.005 is 1.00499999999999989... in binary: the 18-digit expansion decides.
    EXPECT_EQ(fixed(1.005, 18, 2), "1.00");
    // 0.15 is 0.1499999999999999944...: 18 digits give 0.149999999999999994, rounds down.
    EXPECT_EQ(fixed(0.15, 18, 1), "0.1");
}

TEST(NumberText, ExponentKeepsAllDigitsAndPadsTheExponent) {
    EXPECT_EQ(exponent(12345, 3, 2), "1.23E+04");
    EXPECT_EQ(exponent(12355, 3, 2), "1.24E+04");
    EXPECT_EQ(exponent(0.00012, 4, 3), "1.200E-004");
    EXPECT_EQ(exponent(-1.5, 2, 0), "-1.5E+0");
    EXPECT_EQ(exponent(1e12, 2, 1), "1.0E+12");
    EXPECT_EQ(exponent(1.5, 3, 4), "1.50E+0");  // no leading zeros for d of 4 or more
    EXPECT_EQ(exponent(0.0, 3, 2), "0.00E+00");
    EXPECT_EQ(exponent(9.996, 3, 2), "1.00E+01");
}

TEST(NumberText, FixedRoundsToPrecisionAndDecimals) {
    EXPECT_EQ(fixed(3.14159, 4, 3), "3.142");
    EXPECT_EQ(fixed(0.04, 4, 1), "0.0");
    EXPECT_EQ(fixed(0.06, 4, 1), "0.1");
    EXPECT_EQ(fixed(-0.04, 4, 1), "0.0");
    EXPECT_EQ(fixed(12.5, 4, 0), "13");
    EXPECT_EQ(fixed(1234.56, 4, 2), "1235.00");  // 4 significant digits, then 2 decimals
    EXPECT_EQ(fixed(0.5, 18, 3), "0.500");
    EXPECT_EQ(fixed(1234567, 4, 1), "1.235E6");  // e > p: general instead
    EXPECT_EQ(fixed(1e20, 18, 3), "1E20");
}

TEST(NumberText, NonFiniteValues) {
    EXPECT_EQ(general(kInf, 7), "INF");
    EXPECT_EQ(general(-kInf, 7), "-INF");
    EXPECT_EQ(general(kNan, 7), "NAN");
    EXPECT_EQ(fixed(kNan, 4, 2), "NAN");
    EXPECT_EQ(exponent(kInf, 4, 2), "INF");
    EXPECT_EQ(FormatFixed3(kInf), "     INF");
}

TEST(NumberText, PatternsPadOnTheLeftAndNeverCut) {
    EXPECT_EQ(pattern("%8.3f", 7.65), "   7.650");
    EXPECT_EQ(pattern("%6.3f", -12345.6789), "-12345.679");
    EXPECT_EQ(pattern("%8.4g", 0.000015), "  1.5E-5");
    EXPECT_EQ(pattern("%8.0g", 123.0), "   1.2E2");  // precision held to 2
    EXPECT_EQ(pattern("%8.0g", 12.3), "      12");
    EXPECT_EQ(pattern("%5.2g", 0.5), "  0.5");
    EXPECT_EQ(pattern("%8.2g", 1234.0), "   1.2E3");
    EXPECT_EQ(pattern("%4.2f", 3.14159), "3.14");
    EXPECT_EQ(patternInt("%5d", 12), "   12");
    EXPECT_EQ(patternInt("%5d", -1234567), "-1234567");
}

TEST(NumberText, SharedFixedWidthRoutines) {
    EXPECT_EQ(FormatInt5(12), "   12");
    EXPECT_EQ(FormatFixed3(7.65), "   7.650");
    EXPECT_EQ(FormatFixed3(-1.5), "  -1.500");
    EXPECT_EQ(FormatGeneral4(0.000015), "  1.5E-5");
    EXPECT_EQ(FormatGeneral4(1234567), " 1.235E6");
    EXPECT_EQ(FormatFixed5(3.14159), "   3.14159");
}

TEST(NumberText, DisplayPictures) {
    EXPECT_EQ(picture("0.###", 1.5), "1.5");
    EXPECT_EQ(picture("0.###", 2.0), "2");
    EXPECT_EQ(picture("0.###", 0.12345), "0.123");
    EXPECT_EQ(picture("0.###", 0.0005), "0.001");
    EXPECT_EQ(picture("0.###", -0.0004), "0");
    EXPECT_EQ(picture("0.00", 2.0), "2.00");
    EXPECT_EQ(picture("0.00", -3.14159), "-3.14");
    EXPECT_EQ(picture("0.##", 2.5), "2.5");
    EXPECT_EQ(picture("###,###.0", 1234567.89), "1,234,567.9");
    EXPECT_EQ(picture("###,###.0", 0.5), ".5");
    EXPECT_EQ(picture("#,##0.###", 1234.5678), "1,234.568");
    EXPECT_EQ(picture("#,##0.###", 0.25), "0.25");
    EXPECT_EQ(picture("#,##0.###", -999.9999), "-1,000");
    EXPECT_EQ(picture("#,###", 1234567.0), "1,234,567");
    EXPECT_EQ(picture("#,###", 999.0), "999");
    EXPECT_EQ(picture("#,###", 0.0), "0");  // never an empty cell
    EXPECT_EQ(picture("0.#E+00", 12345.0), "1.2E+04");
    EXPECT_EQ(picture("0.#E+00", 10000.0), "1E+04");
    EXPECT_EQ(picture("0.#E+00", 0.000456), "4.6E-04");
    EXPECT_EQ(picture("0.#E+00", 9.96e99), "1E+100");
    EXPECT_EQ(picture("0.#E+00", -2.0), "-2E+00");
}

TEST(NumberText, DataFieldIs23Characters) {
    EXPECT_EQ(dataField(10), " 1.00000000000000E+0001");
    EXPECT_EQ(dataField(-0.5), "-5.00000000000000E-0001");
    EXPECT_EQ(dataField(0), " 0.00000000000000E+0000");
    EXPECT_EQ(dataField(24563.36), " 2.45633600000000E+0004");
    EXPECT_EQ(dataField(1.0 / 3.0), " 3.33333333333333E-0001");
    EXPECT_EQ(dataField(2.0 / 3.0), " 6.66666666666667E-0001");
    EXPECT_EQ(dataField(1.5e-300), " 1.50000000000000E-0300");
    EXPECT_EQ(dataField(9.999999999999999e9), " 1.00000000000000E+0010");
    EXPECT_EQ(dataField(-2.5e123).size(), 23u);
}

TEST(NumberText, ScaleToPrefixUsesStrictThresholds) {
    struct Case {
        double in, out;
        const char* prefix;
    } cases[] = {{1000, 1000, ""},  {1000.5, 1.0005, "k"}, {2.5e9, 2.5, "G"},  {1e12, 1000, "G"},
                 {3e15, 3000, "T"}, {-4500, -4.5, "k"},    {0.002, 0.002, ""}, {0, 0, ""},
                 {1.5e6, 1.5, "M"}};
    for (const auto& c : cases) {
        double scaled = -1;
        std::string prefix = "x";
        ScaleToPrefix(c.in, scaled, prefix);
        EXPECT_DOUBLE_EQ(scaled, c.out) << c.in;
        EXPECT_EQ(prefix, c.prefix) << c.in;
    }
}

TEST(TextToNumber, AcceptsNumbersWithSurroundingSpaces) {
    EXPECT_DOUBLE_EQ(parseReal("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(parseReal("  -2.5e3 "), -2500.0);
    EXPECT_DOUBLE_EQ(parseReal("+.5"), 0.5);
    EXPECT_DOUBLE_EQ(parseReal("5."), 5.0);
    EXPECT_DOUBLE_EQ(parseReal("1E-3"), 1e-3);
    EXPECT_DOUBLE_EQ(parseReal("0.1"), 0.1);
    EXPECT_EQ(parseReal("1e-400"), 0.0);  // underflow gives 0
    EXPECT_EQ(parseInteger(" 42 "), 42);
    EXPECT_EQ(parseInteger("-7"), -7);
    EXPECT_EQ(parseInteger("+3"), 3);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), -2147483647 - 1);
}

TEST(TextToNumber, RefusesEverythingElseWithTheFieldText) {
    for (const char* bad : {"", "   ", "abc", "1,5", "1.5x", "1e", "e5", ".", "-", "1.2.3", "inf", "nan",
                            "0x10", "1 2", "1e400"}) {
        try {
            parseReal(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("'") + bad + "' is not a valid floating point value");
        }
    }
    for (const char* bad :
         {"", "1.0", "1e3", "abc", "2147483648", "-2147483649", "99999999999999999999", "+", "1 2"}) {
        try {
            parseInteger(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const InputError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

}  // namespace
}  // namespace lumerad
