#include "core/numerics/special_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "../../support/thrown.h"
#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/tabulated.h"

namespace lumerad {
namespace {

const std::string kDataFile = std::string(LUMERAD_SOURCE_DATA_DIR) + "/DATA.TXT";

class WithTable : public ::testing::Test {
protected:
    static Tabulated tab;
    static void SetUpTestSuite() { ASSERT_EQ(tab.loadFile(kDataFile), ""); }
};
Tabulated WithTable::tab;

// Independent reference for S(x). With K_nu(t) = integral over s from 0 to infinity of
// exp(-t cosh s) cosh(nu s), the integral of K5/3 from x to infinity is the integral over s
// of exp(-x cosh s) cosh(5s/3) / cosh s. That integrand is analytic and falls off double
// exponentially, so the trapezoidal rule converges geometrically.
double referenceS(double x) {
    const double h = 0.01;
    double sum = 0.5;  // s = 0: exp(-x) * 1 / 1, weighted 1/2 and scaled by exp(-x) below
    for (int k = 1;; ++k) {
        const double s = k * h;
        const double c = std::cosh(s);
        const double term = std::exp(-x * (c - 1.0)) * std::cosh(5.0 * s / 3.0) / c;
        sum += term;
        if (x * (c - 1.0) > 60.0 && term < 1e-18 * sum) break;
    }
    return 9.0 * std::sqrt(3.0) / (8.0 * Pi) * x * std::exp(-x) * sum * h;
}

// K_nu(x) from the same integral representation, as a check of the library's Bessel
// functions that the accuracy tests below compare against.
double referenceK(double nu, double x) {
    const double h = 0.01;
    double sum = 0.5;  // s = 0, scaled by exp(-x) below
    for (int k = 1;; ++k) {
        const double s = k * h;
        const double c = std::cosh(s);
        const double term = std::exp(-x * (c - 1.0)) * std::cosh(nu * s);
        sum += term;
        if (x * (c - 1.0) > 60.0 && term < 1e-18 * sum) break;
    }
    return std::exp(-x) * sum * h;
}

// Within half a unit of the last digit given.
void expectDigits(double value, double given, double lastDigitUnit, const char* what) {
    EXPECT_LE(std::fabs(value - given), 0.5 * lastDigitUnit * (1 + 1e-9)) << what << " = " << value;
}

TEST(SpecialFunctions, PowerIsZeroForBaseZeroAndInvalidForNegativeBase) {
    EXPECT_EQ(Power(0, -2), 0.0);
    EXPECT_EQ(Power(0, 0), 0.0);
    EXPECT_NEAR(Power(8, 1.0 / 3.0), 2.0, 5e-7);
    EXPECT_NEAR(Power(2, 10), 1024.0, 1e-9);
    clearFloatFaults();
    const volatile double v = Power(-8, 1.0 / 3.0);
    EXPECT_TRUE(std::isnan(v));
    EXPECT_EQ(thrown<FloatError>([] { checkFloatFaults(); }), "Invalid floating point operation");
}

TEST(SpecialFunctions, BesselJByItsRationalApproximationsAndRecurrences) {
    EXPECT_NEAR(bessj0(1), 0.76519768375, 1e-11);
    EXPECT_NEAR(bessj1(1), 0.44005058568, 1e-11);
    EXPECT_NEAR(bessj0(10), -0.24593576438, 1e-11);
    EXPECT_NEAR(bessj1(-1), -0.44005058568, 1e-11);
    EXPECT_EQ(bessj(0, 0), 1.0);
    EXPECT_EQ(bessj(3, 0), 0.0);
    EXPECT_NEAR(bessj(2, 1), 0.11490348493, 1e-11);  // downward, m = 16
    EXPECT_NEAR(bessj(2, 5), 0.04656511869, 1e-11);  // upward
    EXPECT_NEAR(bessj(5, 10), -0.23406152807, 1e-11);
    EXPECT_NEAR(bessj(3, 2.5), 0.2166004, 5e-8);
    EXPECT_NEAR(bessj(3, -2.5), -0.2166004, 5e-8);  // odd order, negative argument
}

// Jn against the standard library over orders and arguments from tiny (where the downward
// recurrence used to overflow) to beyond the order (upward recurrence).
TEST(SpecialFunctions, BesselJAgainstTheStandardLibrary) {
    struct Case {
        int n;
        double x;
        double relTol;
    };
    const Case cases[] = {
        {2, 1e-3, 1e-8},    {2, 1e-20, 1e-12},  {2, 1e-28, 1e-12}, {2, 1e-29, 1e-12},  {2, 1e-100, 1e-12},
        {2, -1e-30, 1e-12}, {3, -1e-30, 1e-12}, {5, 1e-40, 1e-12}, {10, 1e-12, 1e-12}, {10, 1e-16, 1e-12},
        {10, 1e-17, 1e-12}, {10, 1e-30, 1e-12}, {10, 0.5, 1e-8},   {10, 3, 1e-7},      {10, 20, 1e-7},
        {20, 1e-8, 1e-12},  {40, 1e-5, 1e-12},  {60, 1e-3, 1e-12}, {7, 7.5, 1e-7},     {4, 0.01, 1e-8},
        {100, 50, 1e-7},    {30, 1e-6, 1e-12},
    };
    for (const Case& c : cases) {
        clearFloatFaults();
        const double got = bessj(c.n, c.x);
        const double want = std::cyl_bessel_j(static_cast<double>(c.n), std::fabs(c.x)) *
                            ((c.x < 0 && (c.n & 1)) ? -1.0 : 1.0);
        EXPECT_NO_THROW(checkFloatFaults()) << c.n << ", " << c.x;
        ASSERT_TRUE(std::isfinite(got)) << c.n << ", " << c.x;
        EXPECT_NEAR(got / want, 1.0, c.relTol) << "J" << c.n << "(" << c.x << ") = " << got;
    }
}

// Where even the leading term (a/2)^n/n! is below the doubles the result is 0, not an
// overflow; near the int limit the order arithmetic stays in range and returns at once.
TEST(SpecialFunctions, BesselJUnderflowsToZeroForTinyArgumentsAndHugeOrders) {
    struct Case {
        int n;
        double x;
    };
    const Case cases[] = {
        {10, 1e-300},         {2, 1e-310},       {300, 1e-5},   {2147483647, 1.0},
        {2147483647, 1e-300}, {2147483646, 3e4}, {200000, 300},
    };
    for (const Case& c : cases) {
        clearFloatFaults();
        const double got = bessj(c.n, c.x);
        EXPECT_NO_THROW(checkFloatFaults()) << c.n << ", " << c.x;
        EXPECT_EQ(got, 0.0) << c.n << ", " << c.x;
    }
}

TEST(SpecialFunctions, UndulatorCouplingFactor) {
    EXPECT_DOUBLE_EQ(JJFun(1, 0), 1.0);
    for (double K : {0.0, 0.5, 1.0, 3.0}) EXPECT_EQ(JJFun(0, K), 0.0) << K;
    EXPECT_NEAR(JJFun(1, 1), 0.82814238628, 1e-10);
    EXPECT_NEAR(JJFun(3, 2), 0.10572063712, 1e-10);
    EXPECT_NEAR(JJFun(2, 1), 0.65294801338, 1e-10);
    const double b0 = bessj0(1.0 / 3.0), b1 = bessj1(1.0 / 3.0);
    EXPECT_DOUBLE_EQ(JJFun(2, 1), (b0 - b1) * (b0 - b1));
}

TEST_F(WithTable, ModifiedBesselBranches) {
    EXPECT_EQ(ModBess(tab, 1, 36), 0.0);
    EXPECT_EQ(ModBess(tab, 2, 1e-21), 0.0);
    EXPECT_EQ(ModBess(tab, 1, -1.0), 0.0);
    EXPECT_EQ(ModBess(tab, 1, 0.0), 0.0);
    EXPECT_EQ(ModBess(tab, 3, 1.0), 0.0);
    EXPECT_EQ(ModBess(tab, 0, 1.0), 0.0);
    EXPECT_NEAR(ModBess(tab, 1, 0.0001), 36.358789, 5e-6);
    EXPECT_NEAR(ModBess(tab, 1, 0.0001), Gamma13 / std::cbrt(0.0004), 1e-12);
    EXPECT_NEAR(ModBess(tab, 2, 0.0001), Gamma23 / std::cbrt(2e-8), 1e-9);
    // Past 30 the asymptotic form, up to 35.
    EXPECT_DOUBLE_EQ(ModBess(tab, 1, 30.5), std::sqrt((Pi / 2) / std::exp(61.0) / 30.5));
    EXPECT_DOUBLE_EQ(ModBess(tab, 2, 30.5), ModBess(tab, 1, 30.5));
    EXPECT_GT(ModBess(tab, 2, 35), 0.0);
    EXPECT_EQ(ModBess(tab, 2, 35.0001), 0.0);
}

TEST_F(WithTable, AiryFunctionBranches) {
    EXPECT_NEAR(AiryFun(tab, 1, 0.0001), 0.35502805, 5e-9);
    EXPECT_NEAR(AiryFun(tab, 2, 0.0001), -0.25881940, 5e-9);
    EXPECT_EQ(AiryFun(tab, 1, 20), 0.0);
    EXPECT_EQ(AiryFun(tab, 2, 20), 0.0);
    EXPECT_EQ(AiryFun(tab, 3, 1), 0.0);
    // In the table range, against published values Ai(1) = 0.1352924163, Ai'(1) = -0.1591474413.
    EXPECT_NEAR(AiryFun(tab, 1, 1) / 0.1352924163, 1.0, 3e-6);
    EXPECT_NEAR(AiryFun(tab, 2, 1) / -0.1591474413, 1.0, 3e-6);
    // Beyond 30 the asymptotic form; far beyond, the value underflows to 0 without a fault.
    const double z = 2.0 / 3.0 * std::pow(40.0, 1.5);
    EXPECT_NEAR(AiryFun(tab, 1, 40) / (std::pow(40.0, -0.25) / std::sqrt(Pi) / 2 / std::exp(z)), 1.0, 1e-12);
    clearFloatFaults();
    EXPECT_EQ(AiryFun(tab, 1, 200), 0.0);
    EXPECT_EQ(AiryFun(tab, 2, 1e6), -0.0);
    EXPECT_NO_THROW(checkFloatFaults());
}

TEST_F(WithTable, UniversalFunctionBranches) {
    EXPECT_EQ(UnivrslF(tab, 0), 0.0);
    EXPECT_NEAR(UnivrslF(tab, 0.0005), 0.10580028, 5e-9);
    EXPECT_NEAR(UnivrslF(tab, 30) / 3.9824212e-13, 1.0, 1e-7);
    clearFloatFaults();
    EXPECT_EQ(UnivrslF(tab, 800), 0.0);  // e^800 is no double: the value underflows to 0
    EXPECT_EQ(UnivrslF(tab, 1e300), 0.0);
    EXPECT_NO_THROW(checkFloatFaults());
    EXPECT_NEAR(UnivrslF(tab, 700) / (0.777 * std::sqrt(700.0) / std::exp(700.0)), 1.0, 1e-12);
    clearFloatFaults();
    (void)UnivrslF(tab, -1.0);
    EXPECT_THROW(checkFloatFaults(), FloatError);
}

TEST_F(WithTable, ValuesForCheckingATable) {
    struct Row {
        double x, s, sUnit, k13, k13Unit, k23, k23Unit;
    } rows[] = {
        {0.001, 0.132198, 1e-6, 16.715, 1e-3, 107.464, 1e-3},
        {0.01, 0.275992, 1e-6, 7.48622, 1e-5, 23.0981, 1e-4},
        {0.1, 0.507475, 1e-6, 2.89983, 1e-5, 4.75296, 1e-5},
        {1, 0.404042, 1e-6, 0.438431, 1e-6, 0.494475, 1e-6},
        {10, 1.19235e-4, 1e-9, 1.78746e-5, 1e-10, 1.81612e-5, 1e-10},
        {30, 4.0817e-13, 1e-17, 2.13637e-14, 1e-19, 2.14808e-14, 1e-19},
    };
    for (const auto& r : rows) {
        char what[64];
        std::snprintf(what, sizeof what, "x = %g", r.x);
        // S at 30 belongs to the asymptotic branch of UnivrslF: read the table itself there.
        expectDigits(r.x < 30 ? UnivrslF(tab, r.x) : tab.splint(1, r.x), r.s, r.sUnit, what);
        expectDigits(ModBess(tab, 1, r.x), r.k13, r.k13Unit, what);
        expectDigits(ModBess(tab, 2, r.x), r.k23, r.k23Unit, what);
    }
}

TEST_F(WithTable, AccuracyOverTheTabulatedRanges) {
    // Dense logarithmic grids against std::cyl_bessel_k and the reference quadrature.
    double e13 = 0, e23 = 0, eS = 0, x13 = 0, x23 = 0, xS = 0;
    const int m = 6000;
    for (int j = 0; j <= m; ++j) {
        const double x = 0.00012 * std::pow(30.0 / 0.00012, double(j) / m);
        const double r13 = std::fabs(ModBess(tab, 1, x) / std::cyl_bessel_k(1.0 / 3.0, x) - 1);
        const double r23 = std::fabs(ModBess(tab, 2, x) / std::cyl_bessel_k(2.0 / 3.0, x) - 1);
        if (r13 > e13) e13 = r13, x13 = x;
        if (r23 > e23) e23 = r23, x23 = x;
    }
    const int ms = 2000;
    for (int j = 0; j < ms; ++j) {
        const double x = 0.001 * std::pow(30.0 / 0.001, double(j) / ms);
        const double rS = std::fabs(UnivrslF(tab, x) / referenceS(x) - 1);
        if (rS > eS) eS = rS, xS = x;
    }
    std::printf("largest relative errors: K1/3 %.3g at x = %.5g, K2/3 %.3g at x = %.5g, S %.3g at x = %.5g\n",
                e13, x13, e23, x23, eS, xS);
    EXPECT_LE(e13, 3e-6);
    EXPECT_LE(e23, 3e-6);
    EXPECT_LE(eS, 3e-6);
}

TEST_F(WithTable, RowsHoldTheFunctionsToFullPrecision) {
    for (int i = 1; i <= tab.rows(); ++i) {
        const double x = tab.x(i);
        EXPECT_NEAR(tab.f(1, i) / referenceS(x), 1.0, 1e-11) << x;
        EXPECT_NEAR(tab.f(3, i) / std::cyl_bessel_k(1.0 / 3.0, x), 1.0, 1e-14) << x;
        EXPECT_NEAR(tab.f(4, i) / std::cyl_bessel_k(2.0 / 3.0, x), 1.0, 1e-14) << x;
    }
}

TEST(SpecialFunctions, ReferenceQuadratureIsNormalised) {
    // The integral of S over all x is 1; with x = e^u the trapezoidal rule in u.
    const double u0 = std::log(1e-9), u1 = std::log(60.0);
    const int n = 3000;
    const double h = (u1 - u0) / n;
    double sum = 0;
    for (int k = 0; k <= n; ++k) {
        const double x = std::exp(u0 + k * h);
        sum += (k == 0 || k == n ? 0.5 : 1.0) * referenceS(x) * x;
    }
    EXPECT_NEAR(sum * h, 1.0, 1e-6);
}

TEST(SpecialFunctions, ReferenceQuadratureMatchesPublishedValuesAndBesselRelations) {
    // G1(x) = x * integral of K5/3 from x on, so that S = 9 sqrt(3) / (8 pi) * G1.
    const double toG1 = 8.0 * Pi / (9.0 * std::sqrt(3.0));
    EXPECT_NEAR(referenceS(1.0) * toG1, 0.65142, 5e-6);  // published G1(1) = 0.65142
    EXPECT_NEAR(referenceS(0.1) * toG1, 0.8182, 5e-5);   // published G1(0.1) = 0.8182
    // G1 peaks at 0.9180 near x = 0.2858.
    const double peak = referenceS(0.2858) * toG1;
    EXPECT_NEAR(peak, 0.9180, 5e-5);
    EXPECT_GT(peak, referenceS(0.27) * toG1);
    EXPECT_GT(peak, referenceS(0.30) * toG1);
    // Limits: S -> (9/2) 2^(-1/3) / Gamma(1/3) x^(1/3) for small x and
    // 9 sqrt(3) / (8 pi) sqrt(pi / 2) sqrt(x) e^-x (1 + 55 / (72 x)) for large x.
    const double small = 4.5 * std::cbrt(0.5) / std::tgamma(1.0 / 3.0);
    EXPECT_NEAR(referenceS(1e-6) / (small * std::cbrt(1e-6)), 1.0, 2e-4);
    const double large = 9.0 * std::sqrt(3.0) / (8.0 * Pi) * std::sqrt(Pi / 2.0);
    EXPECT_NEAR(referenceS(100.0) / (large * 10.0 * std::exp(-100.0) * (1.0 + 55.0 / 7200.0)), 1.0, 2e-4);
    // From K5/3 = -2 K2/3' - K1/3: the integral of K5/3 from x on is
    // 2 K2/3(x) - integral of K1/3 from x on, the latter by Simpson's rule over ln t.
    for (double x : {0.01, 0.3, 1.0, 5.0, 20.0}) {
        const double v1 = std::log((x + 60.0) / x);
        const int n = 20000;
        const double h = v1 / n;
        double sum = 0;
        for (int k = 0; k <= n; ++k) {
            const double t = x * std::exp(k * h);
            const double w = (k == 0 || k == n) ? 1.0 : (k % 2 ? 4.0 : 2.0);
            sum += w * std::cyl_bessel_k(1.0 / 3.0, t) * t;
        }
        const double intK13 = sum * h / 3.0;
        const double expected =
            9.0 * std::sqrt(3.0) / (8.0 * Pi) * x * (2.0 * std::cyl_bessel_k(2.0 / 3.0, x) - intK13);
        EXPECT_NEAR(referenceS(x) / expected, 1.0, 1e-10) << x;
    }
}

TEST(SpecialFunctions, LibraryBesselKAgreesWithItsIntegralRepresentation) {
    for (double x : {1e-4, 0.00012, 0.01, 0.5, 1.0, 10.0, 30.0}) {
        EXPECT_NEAR(std::cyl_bessel_k(1.0 / 3.0, x) / referenceK(1.0 / 3.0, x), 1.0, 1e-12) << x;
        EXPECT_NEAR(std::cyl_bessel_k(2.0 / 3.0, x) / referenceK(2.0 / 3.0, x), 1.0, 1e-12) << x;
    }
}

TEST_F(WithTable, NoFloatingPointFaultsInAFullSpectrumPass) {
    clearFloatFaults();
    double sum = 0;
    for (int j = 0; j <= 1000; ++j) {
        const double x = 1e-3 * std::pow(20.0 / 1e-3, j / 1000.0);
        sum += UnivrslF(tab, x) + ModBess(tab, 1, x) + ModBess(tab, 2, x);
        sum += AiryFun(tab, 1, x) + AiryFun(tab, 2, x);
        // Arguments past every branch boundary as well.
        sum += UnivrslF(tab, 50 * x) + ModBess(tab, 1, 2 * x) + ModBess(tab, 2, 1e-6 * x);
        sum += AiryFun(tab, 1, 10 * x) + bessj(j % 20, x) + JJFun(j % 9, x);
    }
    EXPECT_TRUE(std::isfinite(sum));
    EXPECT_NO_THROW(checkFloatFaults());
}

}  // namespace
}  // namespace lumerad
