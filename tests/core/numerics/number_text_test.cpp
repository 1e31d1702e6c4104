#include "core/numerics/number_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <fstream>
#include <limits>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "../../support/thrown.h"
#include "core/numerics/errors.h"
#include "core/numerics/tabulated.h"
#include "core/numerics/text_to_number.h"

namespace lumerad {
namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNan = std::numeric_limits<double>::quiet_NaN();

// Each case pairs a text the code wrote with the text it must be; the index names a failure.
void expectTexts(std::initializer_list<std::pair<std::string, const char*>> cases) {
    int i = 0;
    for (const auto& [got, want] : cases) EXPECT_EQ(got, want) << "case " << i++;
}

TEST(NumberText, GeneralChoosesPlainOrScientificAndHoldsThePrecisionTo2To18) {
    expectTexts({{general(0.00012, 7), "0.00012"},
                 {general(123.4, 7), "123.4"},
                 {general(1234567, 7), "1234567"},
                 {general(2.345678e12, 7), "2.345678E12"},
                 {general(1e20, 7), "1E20"},
                 {general(0.0, 7), "0"},
                 {general(1.234, 0), "1.2"},
                 {general(0.5, 30), "0.5"},
                 {general(0.1, 18), "0.100000000000000006"}});
    // trailing zeros and point dropped after rounding; a carry makes a new digit
    expectTexts({{general(0.7651976837, 7), "0.7651977"},
                 {general(9.9999999, 7), "10"},
                 {general(99999.5, 5), "1E5"}});
    // 1e-4 is 0.1 x 10^-3, the smallest plain exponent
    expectTexts({{general(1e-4, 7), "0.0001"},
                 {general(1e-5, 7), "1E-5"},
                 {general(0.000099999, 4), "0.0001"},
                 {general(-0.000099994, 4), "-9.999E-5"}});
    // large values: plain while the digits before the point are at most p
    expectTexts({{general(1e15, 15), "1E15"},
                 {general(1e15, 16), "1000000000000000"},
                 {general(1e18, 18), "1E18"},
                 {general(123456789012345.0, 15), "123456789012345"},
                 {general(1234567890123456.0, 15), "1.23456789012346E15"}});
    expectTexts({{general(kInf, 7), "INF"},
                 {general(-kInf, 7), "-INF"},
                 {general(kNan, 7), "NAN"},
                 {fixed(kNan, 4, 2), "NAN"},
                 {exponent(kInf, 4, 2), "INF"}});
}

// Halves go away from zero, decided on the 18-digit expansion of the binary value: 1.005 is
// 1.00499999999999989, 0.15 is 0.149999999999999994, 9.9995 is 9.99949999999999939, 99.995 is
// 99.9950000000000045 (a carry through every digit), 999.9995 is 999.999500000000012, 0.45 is
// 0.450000000000000011; the last three are exact and their 18th digit is a half.
TEST(NumberText, HalvesRoundAwayFromZeroOnThe18DigitExpansion) {
    expectTexts({{general(2.5, 2), "2.5"},
                 {general(0.125, 2), "0.13"},
                 {general(-0.125, 2), "-0.13"},
                 {pattern("%8.2f", 0.125), "    0.13"},
                 {pattern("%5.0f", 2.5), "    3"},
                 {pattern("%5.0f", -0.5), "   -1"},
                 {pattern("%5.2g", 99.5), "  1E2"},
                 {fixed(1.005, 18, 2), "1.00"},
                 {fixed(0.15, 18, 1), "0.1"},
                 {fixed(9.9995, 18, 3), "9.999"},
                 {general(9.9995, 4), "9.999"},
                 {general(9.9995, 3), "10"},
                 {fixed(9.9996, 18, 3), "10.000"},
                 {fixed(99.995, 18, 2), "100.00"},
                 {FormatFixed3(999.9995), "1000.000"},
                 {fixed(0.45, 18, 1), "0.5"},
                 {pattern("%10.5f", 1234567890123.015625), "1234567890123.01563"},
                 {pattern("%10.5f", -1234567890123.015625), "-1234567890123.01563"},
                 {general(976562500.0009765625, 18), "976562500.000976563"}});
}

// A zero, or a value that rounds to zero, carries no sign; 4.94065645841246544e-324 is the
// smallest denormal; beyond 18 digits before the point a fixed pattern writes general(18),
// with the binary value's digits.
TEST(NumberText, SignedZeroDenormalsAndHugeValues) {
    expectTexts({{general(-0.0, 7), "0"},
                 {fixed(-0.0, 18, 2), "0.00"},
                 {pattern("%5.0f", -0.0), "    0"},
                 {FormatFixed3(-0.0004), "   0.000"},
                 {dataField(-0.0), " 0.00000000000000E+0000"},
                 {general(5e-324, 7), "4.940656E-324"},
                 {exponent(5e-324, 4, 3), "4.941E-324"},
                 {dataField(5e-324), " 4.94065645841247E-0324"},
                 {general(2.2250738585072014e-308, 7), "2.225074E-308"},
                 {pattern("%8.3f", 1e17), "100000000000000000.000"},
                 {pattern("%8.3f", 1e18), "    1E18"},
                 {FormatFixed3(DBL_MAX), "1.79769313486231571E308"},
                 {FormatFixed5(-1e300), "-1.00000000000000005E300"},
                 {fixed(1e15, 15, 2), "1E15"},
                 {dataField(-DBL_MAX), "-1.79769313486232E+0308"}});
}

// Exponent: no leading zeros for d of 4 or more. Fixed: p significant digits, then the
// decimals; general when e > p. Patterns pad on the left and never cut.
TEST(NumberText, ExponentFixedAndPatterns) {
    expectTexts({{exponent(12345, 3, 2), "1.23E+04"},
                 {exponent(0.00012, 4, 3), "1.200E-004"},
                 {exponent(-1.5, 2, 0), "-1.5E+0"},
                 {exponent(1e12, 2, 1), "1.0E+12"},
                 {exponent(1.5, 3, 4), "1.50E+0"},
                 {exponent(9.996, 3, 2), "1.00E+01"},
                 {fixed(3.14159, 4, 3), "3.142"},
                 {fixed(0.04, 4, 1), "0.0"},
                 {fixed(0.06, 4, 1), "0.1"},
                 {fixed(12.5, 4, 0), "13"},
                 {fixed(1234.56, 4, 2), "1235.00"},
                 {fixed(1234567, 4, 1), "1.235E6"},
                 {fixed(1e20, 18, 3), "1E20"}});
    expectTexts({{pattern("%8.3f", 7.65), "   7.650"},
                 {pattern("%6.3f", -12345.6789), "-12345.679"},
                 {pattern("%8.4g", 0.000015), "  1.5E-5"},
                 {pattern("%8.0g", 123.0), "   1.2E2"},
                 {pattern("%8.0g", 12.3), "      12"},
                 {pattern("%5.2g", 0.5), "  0.5"},
                 {pattern("%4.2f", 3.14159), "3.14"},
                 {patternInt("%5d", -1234567), "-1234567"},
                 {FormatInt5(12), "   12"},
                 {FormatFixed3(-1.5), "  -1.500"},
                 {FormatGeneral4(0.000015), "  1.5E-5"},
                 {FormatGeneral4(1234567), " 1.235E6"},
                 {FormatFixed5(3.14159), "   3.14159"}});
}

// '#' places show no zero, yet a cell is never empty; 1234567.8915 is ...89149999991 and
// 1234567.8925 ...89250000000465 in binary, 0.00015 is 0.000149999999999999987.
TEST(NumberText, DisplayPictures) {
    expectTexts({{picture("0.###", 1.5), "1.5"},
                 {picture("0.###", 0.12345), "0.123"},
                 {picture("0.###", 0.0005), "0.001"},
                 {picture("0.###", -0.0004), "0"},
                 {picture("0.00", -3.14159), "-3.14"},
                 {picture("0.##", 2.5), "2.5"},
                 {picture("0.00", 0.125), "0.13"},
                 {picture("0.00", -0.001), "0.00"},
                 {picture("###,###.0", 1234567.89), "1,234,567.9"},
                 {picture("###,###.0", 0.5), ".5"},
                 {picture("###,###.0", 0.0), ".0"},
                 {picture("###,###.0", 999999.96), "1,000,000.0"},
                 {picture("#,##0.###", 1234.5678), "1,234.568"},
                 {picture("#,##0.###", -999.9999), "-1,000"},
                 {picture("#,##0.###", 1234567.8915), "1,234,567.891"},
                 {picture("#,##0.###", 1234567.8925), "1,234,567.893"},
                 {picture("#,##0.###", 100000.0), "100,000"},
                 {picture("#,###", 1234567.0), "1,234,567"},
                 {picture("#,###", 0.0), "0"},
                 {picture("0.#E+00", 12345.0), "1.2E+04"},
                 {picture("0.#E+00", 0.000456), "4.6E-04"},
                 {picture("0.#E+00", 9.96e99), "1E+100"},
                 {picture("0.#E+00", -2.0), "-2E+00"},
                 {picture("0.#E+00", 0.00015), "1.5E-04"},
                 {picture("0.#E+00", 0.0), "0E+00"},
                 {picture("0.#E+00", 99999.0), "1E+05"}});
}

// 15 significant digits round the largest double up (the digits of every other value: below).
TEST(NumberText, DataFieldIs23CharactersAndTheLargestDoubleRoundTrips) {
    EXPECT_EQ(dataField(DBL_MAX), " 1.79769313486232E+0308");
    for (double v : {DBL_MAX, -DBL_MAX}) {
        EXPECT_EQ(parseReal(dataField(v)), v);
        // the data file separates its numbers by white space
        const std::string row =
            " " + dataField(v) + " " + dataField(0) + " " + dataField(0) + " " + dataField(0);
        const std::string path = ::testing::TempDir() + "lumerad_largest.txt";
        std::ofstream(path, std::ios::binary) << dataField(0) + row + "\r\n" + dataField(1) + row + "\r\n";
        Tabulated tab;
        ASSERT_EQ(tab.loadFile(path), "");
        EXPECT_EQ(tab.f(1, 1), v);
    }
    // only the rounding of its own text is taken back, nothing larger
    EXPECT_EQ(parseReal("1.797693134862316E308"), DBL_MAX);
    for (const char* beyond : {"1.79769313486233E308", "1.8E308"})
        EXPECT_THROW(parseReal(beyond), InputError);
}

// The 18-digit expansion against one made independently: the exact decimal value from
// to_chars with 770 digits (every double's expansion is shorter), cut after 19 digits, rounded
// to 18 and then to 15 digits with halves away from zero, over random bit patterns of every
// exponent and the values at and next to powers of ten.
TEST(NumberText, ExpansionMatchesTheExactDecimalValue) {
    auto reference = [](double v, int keep) {  // keep: 18 (exponent(v, 18, 3)) or 15 (dataField)
        char buf[800];
        const char* end =
            std::to_chars(buf, buf + sizeof buf, std::fabs(v), std::chars_format::scientific, 770).ptr;
        std::string digits = std::string(1, buf[0]) + std::string(buf + 2, 18);
        int e = 0;
        const char* at = std::find(static_cast<const char*>(buf), end, 'e') + 1;
        std::from_chars(at + (*at == '+'), end, e);
        for (int k : {18, keep}) {
            if (static_cast<int>(digits.size()) <= k) continue;
            const bool up = digits[k] >= '5';
            digits.resize(k);
            int i = k - 1;
            for (; up && i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
            if (up && i >= 0) ++digits[i];
            if (up && i < 0) digits.insert(0, "1"), ++e;
        }
        const std::size_t width = keep == 15 ? 4 : 3;
        std::string exp = std::to_string(std::abs(e));
        if (exp.size() < width) exp = std::string(width - exp.size(), '0') + exp;
        return std::string(v < 0 ? "-" : (keep == 15 ? " " : "")) + digits[0] + "." +
               digits.substr(1, keep - 1) + "E" + (e < 0 ? "-" : "+") + exp;
    };
    std::mt19937_64 gen(18);
    std::vector<double> values;
    for (int i = 0; i < 50000; ++i) {
        const double v = std::bit_cast<double>(gen());
        if (std::isfinite(v) && v != 0) values.push_back(v);
        // and as many from 1e-50 to 1e70, where the numbers of physics lie
        values.push_back(std::ldexp(static_cast<double>(gen() >> 11), static_cast<int>(gen() % 400) - 220));
    }
    for (int p = -320; p <= 308; ++p) {
        const double t = std::pow(10.0, p);
        for (double v : {t, std::nextafter(t, 0.0), std::nextafter(t, INFINITY)})
            if (std::isfinite(v) && v != 0) values.push_back(v);
    }
    for (double v : values) {
        ASSERT_EQ(dataField(v), reference(v, 15)) << v;
        ASSERT_EQ(exponent(v, 18, 3), reference(v, 18)) << v;
    }
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
    const std::pair<const char*, int> ints[] = {
        {" 42 ", 42}, {"+3", 3}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1}};
    for (const auto& [text, value] : ints) EXPECT_EQ(parseInteger(text), value) << text;
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
