#include "core/numerics/special_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "../../support/thrown.h"
#include "../sr_reference.h"
#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/tabulated.h"

namespace lumerad {
namespace {

using testref::K13;
using testref::K23;

const Tabulated& tab = testref::table();

double refJ(int n, double x) {
    return std::cyl_bessel_j(static_cast<double>(n), std::fabs(x)) * ((x < 0 && (n & 1)) ? -1.0 : 1.0);
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

// J0 and J1 by their rational approximations (good to about 1e-8), Jn by the recurrences:
// against the standard library over orders and arguments from tiny (where the downward
// recurrence used to overflow) to beyond the order (upward recurrence), negative arguments
// of odd order included.
TEST(SpecialFunctions, BesselJAgainstTheStandardLibrary) {
    for (double x : {1.0, 10.0, -1.0, 0.3}) {
        EXPECT_NEAR(bessj0(x), refJ(0, x), 5e-9) << x;
        EXPECT_NEAR(bessj1(x), refJ(1, x), 5e-9) << x;
    }
    EXPECT_EQ(bessj(0, 0), 1.0);
    EXPECT_EQ(bessj(3, 0), 0.0);
    struct Case {
        int n;
        double x;
        double relTol;
    };
    const Case cases[] = {{2, 1, 1e-7},       {2, 5, 1e-7},       {5, 10, 1e-7},      {3, 2.5, 1e-6},
                          {3, -2.5, 1e-6},    {2, 1e-3, 1e-8},    {2, 1e-20, 1e-12},  {2, 1e-28, 1e-12},
                          {2, 1e-29, 1e-12},  {2, 1e-100, 1e-12}, {2, -1e-30, 1e-12}, {3, -1e-30, 1e-12},
                          {5, 1e-40, 1e-12},  {10, 1e-12, 1e-12}, {10, 1e-16, 1e-12}, {10, 1e-17, 1e-12},
                          {10, 1e-30, 1e-12}, {10, 0.5, 1e-8},    {10, 3, 1e-7},      {10, 20, 1e-7},
                          {20, 1e-8, 1e-12},  {40, 1e-5, 1e-12},  {60, 1e-3, 1e-12},  {7, 7.5, 1e-7},
                          {4, 0.01, 1e-8},    {100, 50, 1e-7},    {30, 1e-6, 1e-12}};
    for (const Case& c : cases) {
        clearFloatFaults();
        const double got = bessj(c.n, c.x);
        EXPECT_NO_THROW(checkFloatFaults()) << c.n << ", " << c.x;
        EXPECT_NEAR(got / refJ(c.n, c.x), 1.0, c.relTol) << "J" << c.n << "(" << c.x << ") = " << got;
    }
    // Where even the leading term (x/2)^n/n! is below the doubles the result is 0, not an
    // overflow; near the int limit the order arithmetic stays in range and returns at once.
    const std::pair<int, double> underflows[] = {{10, 1e-300},      {2, 1e-310},          {300, 1e-5},
                                                 {2147483647, 1.0}, {2147483647, 1e-300}, {2147483646, 3e4},
                                                 {200000, 300}};
    for (const auto& [n, x] : underflows) {
        clearFloatFaults();
        EXPECT_EQ(bessj(n, x), 0.0) << n << ", " << x;
        EXPECT_NO_THROW(checkFloatFaults()) << n << ", " << x;
    }
}

// [J_(h-1)/2(xi) - J_(h+1)/2(xi)]^2, xi = h K^2 / (4 + 2 K^2), even h included; 0 for h = 0.
TEST(SpecialFunctions, UndulatorCouplingFactor) {
    for (auto [h, K] : {std::pair{1, 0.0}, {1, 1.0}, {3, 2.0}, {2, 1.0}, {4, 0.7}, {9, 1.5}}) {
        const double xi = h * K * K / (4 + 2 * K * K), d = refJ((h - 1) / 2, xi) - refJ((h + 1) / 2, xi);
        EXPECT_NEAR(JJFun(h, K), d * d, 1e-8) << h << " " << K;
    }
    for (double K : {0.0, 0.5, 1.0, 3.0}) EXPECT_EQ(JJFun(0, K), 0.0) << K;
    // Many K at once, several side by side, give the bits of the two Bessel functions alone;
    // among them K where an order falls below the argument, where a recurrence would leave the
    // doubles, tiny and huge K.
    std::vector<double> Ks = {0.0, 1e-200, 1e-15, 3e-9, -0.3, 1e3, 1e200, 7.0, 1e-3};
    for (int j = 0; j < 40; ++j) Ks.push_back(0.05 + 0.1 * j);
    for (int h = 0; h <= 60; ++h) {
        std::vector<double> jj(Ks.size());
        JJFun(h, Ks.data(), jj.data(), static_cast<long>(Ks.size()));
        for (std::size_t i = 0; i < Ks.size(); ++i) {
            const double xi = Ks[i] * Ks[i] * h / (2.0 * Ks[i] * Ks[i] + 4.0);
            const double d =
                bessj(static_cast<int>((h - 1) / 2.0), xi) - bessj(static_cast<int>((h + 1) / 2.0), xi);
            const double want = d * d;
            ASSERT_EQ(std::memcmp(&jj[i], &want, sizeof want), 0) << h << ", " << Ks[i];
        }
    }
}

// Below the table the small-argument forms, past 30 the asymptotic ones, and 0 outside.
TEST(SpecialFunctions, ModifiedBesselBranches) {
    for (auto [nu, x] :
         {std::pair{1, 36.0}, {2, 1e-21}, {1, -1.0}, {1, 0.0}, {3, 1.0}, {0, 1.0}, {2, 35.0001}})
        EXPECT_EQ(ModBess(tab, nu, x), 0.0) << nu << " " << x;
    EXPECT_NEAR(ModBess(tab, 1, 0.0001), 36.358789, 5e-6);
    // Gamma(nu) / 2 (2 / x)^nu, which leaves out Gamma(1 - nu) / (nu Gamma(nu)) (x / 2)^(2 nu)
    EXPECT_NEAR(ModBess(tab, 1, 0.0001) / K13(0.0001), 1.0, 2.1e-3);
    EXPECT_NEAR(ModBess(tab, 2, 0.0001) / K23(0.0001), 1.0, 6e-6);
    // sqrt(pi / 2x) e^-x, which leaves out (4 nu^2 - 1) / 8x of the value
    EXPECT_NEAR(ModBess(tab, 1, 30.5) / K13(30.5), 1.0, 2.3e-3);
    EXPECT_NEAR(ModBess(tab, 2, 30.5) / K23(30.5), 1.0, 3.2e-3);
    EXPECT_DOUBLE_EQ(ModBess(tab, 2, 30.5), ModBess(tab, 1, 30.5));
    EXPECT_GT(ModBess(tab, 2, 35), 0.0);
}

TEST(SpecialFunctions, AiryFunctionBranches) {
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

TEST(SpecialFunctions, UniversalFunctionBranches) {
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

// Published values for checking a table, each within half a unit of its last digit.
TEST(SpecialFunctions, ValuesForCheckingATable) {
    struct Row {
        double x, s, sUnit, k13, k13Unit, k23, k23Unit;
    } rows[] = {{0.001, 0.132198, 1e-6, 16.715, 1e-3, 107.464, 1e-3},
                {0.01, 0.275992, 1e-6, 7.48622, 1e-5, 23.0981, 1e-4},
                {0.1, 0.507475, 1e-6, 2.89983, 1e-5, 4.75296, 1e-5},
                {1, 0.404042, 1e-6, 0.438431, 1e-6, 0.494475, 1e-6},
                {10, 1.19235e-4, 1e-9, 1.78746e-5, 1e-10, 1.81612e-5, 1e-10},
                {30, 4.0817e-13, 1e-17, 2.13637e-14, 1e-19, 2.14808e-14, 1e-19}};
    const double half = 0.5 + 1e-9;
    for (const auto& r : rows) {
        // S at 30 belongs to the asymptotic branch of UnivrslF: read the table itself there.
        EXPECT_NEAR(r.x < 30 ? UnivrslF(tab, r.x) : tab.splint(1, r.x), r.s, half * r.sUnit) << r.x;
        EXPECT_NEAR(ModBess(tab, 1, r.x), r.k13, half * r.k13Unit) << r.x;
        EXPECT_NEAR(ModBess(tab, 2, r.x), r.k23, half * r.k23Unit) << r.x;
    }
    // and the reference quadrature against published values of G1(x) = x int_x^inf K5/3:
    // G1(1) = 0.65142, G1(0.1) = 0.8182 and the peak 0.9180 near x = 0.2858
    const double toG1 = 8.0 * Pi / (9.0 * std::sqrt(3.0));
    EXPECT_NEAR(testref::S(1.0) * toG1, 0.65142, 5e-6);
    EXPECT_NEAR(testref::S(0.1) * toG1, 0.8182, 5e-5);
    EXPECT_NEAR(testref::S(0.2858) * toG1, 0.9180, 5e-5);
    EXPECT_GT(testref::S(0.2858), std::max(testref::S(0.27), testref::S(0.30)));
}

// Dense logarithmic grids against std::cyl_bessel_k and the reference quadrature; the two
// columns of K alternate, so a spline left over from the other column would show.
TEST(SpecialFunctions, AccuracyOverTheTabulatedRanges) {
    double e13 = 0, e23 = 0, eS = 0;
    for (int j = 0; j <= 6000; ++j) {
        const double x = 0.00012 * std::pow(30.0 / 0.00012, j / 6000.0);
        e13 = std::max(e13, std::fabs(ModBess(tab, 1, x) / K13(x) - 1));
        e23 = std::max(e23, std::fabs(ModBess(tab, 2, x) / K23(x) - 1));
    }
    for (int j = 0; j < 2000; ++j) {
        const double x = 0.001 * std::pow(30.0 / 0.001, j / 2000.0);
        eS = std::max(eS, std::fabs(UnivrslF(tab, x) / testref::S(x) - 1));
    }
    EXPECT_LE(e13, 3e-6);
    EXPECT_LE(e23, 3e-6);
    EXPECT_LE(eS, 3e-6);
    // the rows themselves hold the functions to full precision
    for (int i = 1; i <= tab.rows(); ++i) {
        const double x = tab.x(i);
        EXPECT_NEAR(tab.f(1, i) / testref::S(x), 1.0, 1e-11) << x;
        EXPECT_NEAR(tab.f(3, i) / K13(x), 1.0, 1e-14) << x;
        EXPECT_NEAR(tab.f(4, i) / K23(x), 1.0, 1e-14) << x;
    }
}

TEST(SpecialFunctions, NoFloatingPointFaultsInAFullSpectrumPass) {
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
