#include "core/numerics/number_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

#include "../../support/thrown.h"
#include "core/numerics/errors.h"
#include "core/numerics/text_to_number.h"

namespace lumerad {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(NumberText, GeneralChoosesPlainOrScientific) {
    EXPECT_EQ(general(0.00012, 7), "0.00012");
    EXPECT_EQ(general(123.4, 7), "123.4");
    EXPECT_EQ(general(1234567, 7), "1234567");
    EXPECT_EQ(general(2.345678e12, 7), "2.345678E12");
    EXPECT_EQ(general(1e20, 7), "1E20");
    EXPECT_EQ(general(0.0, 7), "0");
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
    // 1.005 is 1.00499999999999989... in binary: the 18-digit expansion decides.
    EXPECT_EQ(fixed(1.005, 18, 2), "1.00");
    // 0.15 is 0.1499999999999999944...: 18 digits give 0.149999999999999994, rounds down.
    EXPECT_EQ(fixed(0.15, 18, 1), "0.1");
}

TEST(NumberText, HalfwayCasesAndCarries) {
    // Exact halves go away from zero in every pattern.
    EXPECT_EQ(pattern("%8.2f", 0.125), "    0.13");
    EXPECT_EQ(pattern("%5.0f", 2.5), "    3");
    EXPECT_EQ(pattern("%5.0f", -0.5), "   -1");
    EXPECT_EQ(pattern("%5.2g", 99.5), "  1E2");  // 100 has e = 3 > 2: scientific
    // 9.9995 is 9.99949999999999939 to 18 digits: no carry at three decimals or four digits.
    EXPECT_EQ(fixed(9.9995, 18, 3), "9.999");
    EXPECT_EQ(general(9.9995, 4), "9.999");
    EXPECT_EQ(general(9.9995, 3), "10");
    EXPECT_EQ(fixed(9.9996, 18, 3), "10.000");
    // 99.995 is 99.9950000000000045: up, carrying through every digit.
    EXPECT_EQ(fixed(99.995, 18, 2), "100.00");
    EXPECT_EQ(FormatFixed3(999.9995), "1000.000");  // 999.999500000000012
    EXPECT_EQ(fixed(0.45, 18, 1), "0.5");           // 0.450000000000000011
    // 1234567890123.015625 is exact; its 18th digit is a half: away from zero there too.
    EXPECT_EQ(pattern("%10.5f", 1234567890123.015625), "1234567890123.01563");
    EXPECT_EQ(pattern("%10.5f", -1234567890123.015625), "-1234567890123.01563");
    EXPECT_EQ(general(976562500.0009765625, 18), "976562500.000976563");
}

TEST(NumberText, GeneralSwitchesToScientificOutsideTheExponentRange) {
    // 1e-4 is 0.1 x 10^-3, the smallest plain exponent; 1e-5 is scientific.
    EXPECT_EQ(general(1e-4, 7), "0.0001");
    EXPECT_EQ(general(1e-5, 7), "1E-5");
    EXPECT_EQ(general(0.000099999, 4), "0.0001");  // rounds up into the plain range
    EXPECT_EQ(general(-0.000099994, 4), "-9.999E-5");
    // Large values: plain while e (digits before the point) is at most p.
    struct Case {
        double v;
        int p;
        const char* text;
    } cases[] = {{1e15, 15, "1E15"},
                 {1e15, 16, "1000000000000000"},
                 {1e16, 16, "1E16"},
                 {1e16, 17, "10000000000000000"},
                 {1e18, 18, "1E18"},
                 {1e19, 18, "1E19"},
                 {123456789012345.0, 15, "123456789012345"},
                 {1234567890123456.0, 15, "1.23456789012346E15"}};
    for (const auto& c : cases) EXPECT_EQ(general(c.v, c.p), c.text) << c.v << " p " << c.p;
}

TEST(NumberText, SignedZeroDenormalsAndHugeValues) {
    // A zero, or a value that rounds to zero, carries no sign.
    EXPECT_EQ(general(-0.0, 7), "0");
    EXPECT_EQ(fixed(-0.0, 18, 2), "0.00");
    EXPECT_EQ(pattern("%5.0f", -0.0), "    0");
    EXPECT_EQ(FormatFixed3(-0.0004), "   0.000");
    EXPECT_EQ(dataField(-0.0), " 0.00000000000000E+0000");
    // Denormals: 4.94065645841246544e-324 is the smallest.
    EXPECT_EQ(general(5e-324, 7), "4.940656E-324");
    EXPECT_EQ(exponent(5e-324, 4, 3), "4.941E-324");
    EXPECT_EQ(FormatFixed3(5e-324), "   0.000");
    EXPECT_EQ(dataField(5e-324), " 4.94065645841247E-0324");
    EXPECT_EQ(general(2.2250738585072014e-308, 7), "2.225074E-308");
    // Beyond 18 digits before the point a fixed pattern writes general(18).
    EXPECT_EQ(pattern("%8.3f", 1e17), "100000000000000000.000");
    EXPECT_EQ(pattern("%8.3f", 1e18), "    1E18");
    EXPECT_EQ(FormatFixed3(1.7976931348623157e308), "1.79769313486231571E308");
    EXPECT_EQ(FormatFixed5(-1e300), "-1.00000000000000005E300");  // the binary value's digits
    EXPECT_EQ(fixed(1e15, 15, 2), "1E15");
    EXPECT_EQ(dataField(-1.7976931348623157e308), "-1.79769313486232E+0308");
}

TEST(NumberText, ExponentKeepsAllDigitsAndPadsTheExponent) {
    EXPECT_EQ(exponent(12345, 3, 2), "1.23E+04");
    EXPECT_EQ(exponent(0.00012, 4, 3), "1.200E-004");
    EXPECT_EQ(exponent(-1.5, 2, 0), "-1.5E+0");
    EXPECT_EQ(exponent(1e12, 2, 1), "1.0E+12");
    EXPECT_EQ(exponent(1.5, 3, 4), "1.50E+0");  // no leading zeros for d of 4 or more
    EXPECT_EQ(exponent(9.996, 3, 2), "1.00E+01");
}

TEST(NumberText, FixedRoundsToPrecisionAndDecimals) {
    EXPECT_EQ(fixed(3.14159, 4, 3), "3.142");
    EXPECT_EQ(fixed(0.04, 4, 1), "0.0");
    EXPECT_EQ(fixed(0.06, 4, 1), "0.1");
    EXPECT_EQ(fixed(12.5, 4, 0), "13");
    EXPECT_EQ(fixed(1234.56, 4, 2), "1235.00");  // 4 significant digits, then 2 decimals
    EXPECT_EQ(fixed(1234567, 4, 1), "1.235E6");  // e > p: general instead
    EXPECT_EQ(fixed(1e20, 18, 3), "1E20");
}

TEST(NumberText, NonFiniteValues) {
    EXPECT_EQ(general(kInf, 7), "INF");
    EXPECT_EQ(general(-kInf, 7), "-INF");
    EXPECT_EQ(general(kNan, 7), "NAN");
    EXPECT_EQ(fixed(kNan, 4, 2), "NAN");
    EXPECT_EQ(exponent(kInf, 4, 2), "INF");
}

TEST(NumberText, PatternsPadOnTheLeftAndNeverCut) {
    EXPECT_EQ(pattern("%8.3f", 7.65), "   7.650");
    EXPECT_EQ(pattern("%6.3f", -12345.6789), "-12345.679");
    EXPECT_EQ(pattern("%8.4g", 0.000015), "  1.5E-5");
    EXPECT_EQ(pattern("%8.0g", 123.0), "   1.2E2");  // precision held to 2
    EXPECT_EQ(pattern("%8.0g", 12.3), "      12");
    EXPECT_EQ(pattern("%5.2g", 0.5), "  0.5");
    EXPECT_EQ(pattern("%4.2f", 3.14159), "3.14");
    EXPECT_EQ(patternInt("%5d", 12), "   12");
    EXPECT_EQ(patternInt("%5d", -1234567), "-1234567");
}

TEST(NumberText, SharedFixedWidthRoutines) {
    EXPECT_EQ(FormatInt5(12), "   12");
    EXPECT_EQ(FormatFixed3(-1.5), "  -1.500");
    EXPECT_EQ(FormatGeneral4(0.000015), "  1.5E-5");
    EXPECT_EQ(FormatGeneral4(1234567), " 1.235E6");
    EXPECT_EQ(FormatFixed5(3.14159), "   3.14159");
}

TEST(NumberText, DisplayPictures) {
    EXPECT_EQ(picture("0.###", 1.5), "1.5");
    EXPECT_EQ(picture("0.###", 0.12345), "0.123");
    EXPECT_EQ(picture("0.###", 0.0005), "0.001");
    EXPECT_EQ(picture("0.###", -0.0004), "0");
    EXPECT_EQ(picture("0.00", -3.14159), "-3.14");
    EXPECT_EQ(picture("0.##", 2.5), "2.5");
    EXPECT_EQ(picture("###,###.0", 1234567.89), "1,234,567.9");
    EXPECT_EQ(picture("###,###.0", 0.5), ".5");
    EXPECT_EQ(picture("#,##0.###", 1234.5678), "1,234.568");
    EXPECT_EQ(picture("#,##0.###", -999.9999), "-1,000");
    EXPECT_EQ(picture("#,###", 1234567.0), "1,234,567");
    EXPECT_EQ(picture("#,###", 0.0), "0");  // never an empty cell
    EXPECT_EQ(picture("0.#E+00", 12345.0), "1.2E+04");
    EXPECT_EQ(picture("0.#E+00", 0.000456), "4.6E-04");
    EXPECT_EQ(picture("0.#E+00", 9.96e99), "1E+100");
    EXPECT_EQ(picture("0.#E+00", -2.0), "-2E+00");
}

TEST(NumberText, PicturesOnAwkwardValues) {
    // 1234567.8915 is 1234567.89149999991 in binary: three decimals round down.
    EXPECT_EQ(picture("#,##0.###", 1234567.8915), "1,234,567.891");
    EXPECT_EQ(picture("#,##0.###", 1234567.8925), "1,234,567.893");  // ...89250000000465
    EXPECT_EQ(picture("#,##0.###", 0.0), "0");
    EXPECT_EQ(picture("#,##0.###", 100000.0), "100,000");
    EXPECT_EQ(picture("0.#E+00", 0.000123), "1.2E-04");
    EXPECT_EQ(picture("0.#E+00", 0.00015), "1.5E-04");  // 0.000149999999999999987
    EXPECT_EQ(picture("0.#E+00", 0.0), "0E+00");
    EXPECT_EQ(picture("0.#E+00", 99999.0), "1E+05");
    EXPECT_EQ(picture("###,###.0", 1234.56), "1,234.6");
    EXPECT_EQ(picture("###,###.0", 0.0), ".0");  // '#' places show no zero
    EXPECT_EQ(picture("###,###.0", 999999.96), "1,000,000.0");
    EXPECT_EQ(picture("0.00", 0.125), "0.13");
    EXPECT_EQ(picture("0.00", -0.001), "0.00");
}

TEST(NumberText, DataFieldIs23Characters) {
    EXPECT_EQ(dataField(10), " 1.00000000000000E+0001");
    EXPECT_EQ(dataField(-0.5), "-5.00000000000000E-0001");
    EXPECT_EQ(dataField(24563.36), " 2.45633600000000E+0004");
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

TEST(TextToNumber, ReadsWhatUsersType) {
    const std::pair<const char*, double> reals[] = {
        {"  -2.5e3 ", -2500.0},
        {"+.5", 0.5},
        {"5.", 5.0},
        {"1E-3", 1e-3},
        {"-.5", -0.5},
        {"007", 7.0},
        {"+5", 5.0},
        {"\t3E+2\r\n", 300.0},
        {"1e-400", 0.0},
        {"0.1", 0.1},  // correctly rounded, like the compiler's literal
        {"2.2250738585072011e-308", 2.2250738585072011e-308},
        {"1.7976931348623157e308", 1.7976931348623157e308}};
    for (const auto& [text, value] : reals) EXPECT_EQ(parseReal(text), value) << text;
    EXPECT_TRUE(std::signbit(parseReal("-0")));
    EXPECT_EQ(parseInteger(" 42 "), 42);
    EXPECT_EQ(parseInteger("+3"), 3);
    EXPECT_EQ(parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(parseInteger("-2147483648"), -2147483647 - 1);
}

TEST(TextToNumber, RefusesEverythingElseWithTheFieldText) {
    // The message quotes the field exactly as typed, spaces included.
    for (const char* bad :
         {"",    "   ",  "abc", " 1,5 ", "1.5x",   "1e",  "e5",  ".",   "-",   "1.2.3", "inf",
          "nan", "0x10", "1 2", "1e400", "1e-3.5", "5 .", "+-5", "1e+", "1.e", ". 5"})
        EXPECT_EQ(thrown<InputError>([&] { parseReal(bad); }),
                  std::string("'") + bad + "' is not a valid floating point value");
    for (const char* bad :
         {"", "1.0", "1e3", "abc", "2147483648", "-2147483649", "99999999999999999999", "+", "1 2"})
        EXPECT_EQ(thrown<InputError>([&] { parseInteger(bad); }),
                  std::string("'") + bad + "' is not a valid integer value");
}

}  // namespace
}  // namespace lumerad
