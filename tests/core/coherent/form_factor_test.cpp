// Form factors of the two bunch shapes against their definition (the squared Fourier transform
// of the normalised profile, by quadrature here), their integrals over frequency against the
// closed forms, and the wavenumber scan: the worked example, its ends and its refusals.
#include "core/coherent/form_factor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "../../support/thrown.h"
#include "../sr_reference.h"
#include "core/numerics/errors.h"

using namespace lumerad;

namespace {
using testref::kC;
using testref::kPi;
using testref::simpson;

// |integral of rho(z) exp(i k z) dz|^2 for a profile symmetric about 0, k = 2 pi / lambda.
double squaredTransform(const std::function<double(double)>& rho, double half, double lambda) {
    const double k = 2 * kPi / lambda;
    const double a = simpson([&](double z) { return rho(z) * std::cos(k * z); }, -half, half, 20000);
    return a * a;
}

double gaussianByDefinition(double L, double lambda) {
    // effective length L: profile exp(-pi z^2 / L^2) / L, whose integral is 1
    return squaredTransform([L](double z) { return std::exp(-kPi * z * z / (L * L)) / L; }, 6 * L, lambda);
}

double uniformByDefinition(double L, double lambda) {
    return squaredTransform([L](double) { return 1 / L; }, L / 2, lambda);
}
}  // namespace

TEST(FormFactor, BothShapesFollowTheirDefinition) {
    const double lambda = 1e-4;
    for (double ratio : {0.01, 0.1, 0.3, 0.5, 0.75, 1.0, 1.3}) {
        SCOPED_TRACE(ratio);
        const double L = ratio * lambda;
        EXPECT_NEAR(gaussianFormFactor(L, lambda), gaussianByDefinition(L, lambda), 1e-9);
        EXPECT_NEAR(formFactor(BunchShape::Gaussian, L, lambda), gaussianByDefinition(L, lambda), 1e-9);
        EXPECT_NEAR(uniformFormFactor(L, lambda), uniformByDefinition(L, lambda), 1e-9);
        EXPECT_NEAR(formFactor(BunchShape::Uniform, L, lambda), uniformByDefinition(L, lambda), 1e-9);
    }
}

TEST(FormFactor, WorkedExamples) {
    struct Case {
        BunchShape shape;
        double L, lambda, ff, tol;
    } cases[] = {
        {BunchShape::Gaussian, 1.0, 1.0, 0.001867, 1e-6},                 // exp(-2 pi)
        {BunchShape::Uniform, 1.0, 1.0, 0.0, 1e-30},                      // (sin pi / pi)^2
        {BunchShape::Gaussian, 2.99792458e-4, 1e-4, 2.99e-25, 0.01e-25},  // 1000 fs at 100 um
        {BunchShape::Uniform, 2.99792458e-4, 1e-4, 4.79e-7, 0.01e-7},
        {BunchShape::Uniform, 2.99792458e-4, 3e-3, 0.9676, 1e-4},
        {BunchShape::Uniform, 0.0, 1e-4, 1.0, 0.0},  // a point bunch radiates fully coherently
        {BunchShape::Gaussian, 0.0, 1e-4, 1.0, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(formFactor(c.shape, c.L, c.lambda), c.ff, c.tol) << c.L << " " << c.lambda;
}

TEST(FormFactor, ShapesByTheirLetter) {
    EXPECT_EQ(bunchShapeOf("g"), BunchShape::Gaussian);
    EXPECT_EQ(bunchShapeOf("r"), BunchShape::Uniform);
    for (const char* t : {"G", "R", "", "u", "gaussian"}) EXPECT_FALSE(bunchShapeOf(t).has_value()) << t;
}

TEST(FormFactor, IntegralsOverFrequencyMatchTheClosedForms) {
    for (double L : {3e-6, 2.99792458e-4, 1e-2}) {
        SCOPED_TRACE(L);
        // integral over omega of exp(-L^2 omega^2 / (2 pi c^2)) is sqrt(pi)/2 sqrt(2 pi) c / L
        EXPECT_NEAR(IntFFG(L) / (std::sqrt(kPi) / 2 * std::sqrt(2 * kPi) * kC / L), 1.0, 1e-6);
        // of (sin x / x)^2 with x = L omega / (2 c): pi c / L; the sum stops at x = 1000, which
        // leaves out about 1/2000 of pi/2
        EXPECT_NEAR(IntFFR(L) / (kPi * kC / L), 1.0 - 1.0 / (1000 * kPi), 2e-5);
    }
    for (double L : {0.0, -1e-4}) {
        EXPECT_THROW(IntFFG(L), InputError);
        EXPECT_THROW(IntFFR(L), InputError);
    }
}

TEST(FormFactorScan, WorkedExampleOf100fs) {
    const double L = 100 * kC * 1e-15;
    for (BunchShape shape : {BunchShape::Gaussian, BunchShape::Uniform}) {
        const FormFactorPoints p = formFactorScan(shape, L, 0, 100, 1.0);
        ASSERT_EQ(p.size(), 102);
        EXPECT_EQ(p.ff.front(), 1.0);
        EXPECT_NEAR(p.k.front(), 0.0, 1e-12);
        EXPECT_NEAR(p.k.back(), 101.0, 1e-9);
        for (int i = 0; i < p.size(); ++i) {
            EXPECT_NEAR(p.k[i], i, 1e-9);
            if (i > 0) {
                EXPECT_NEAR(p.ff[i], formFactor(shape, L, 0.01 / i), 1e-12);
            }
        }
        EXPECT_NEAR(p.ff.back(), shape == BunchShape::Gaussian ? 0.562 : 0.733, 0.0005);
    }
}

TEST(FormFactorScan, GaussianStopsBelowOneMillionthUniformHoldsIt) {
    const double L = 1000 * kC * 1e-15;  // 0.02998 cm: 1e-6 is passed near k = 49.4
    const FormFactorPoints g = formFactorScan(BunchShape::Gaussian, L, 0, 1000, 1.0);
    ASSERT_EQ(g.size(), 51);
    for (int i = 0; i + 1 < g.size(); ++i) EXPECT_GE(g.ff[i], 1e-6);
    EXPECT_LT(g.ff.back(), 1e-6);
    const FormFactorPoints u = formFactorScan(BunchShape::Uniform, L, 0, 1000, 1.0);
    ASSERT_EQ(u.size(), 1001);
    for (double ff : u.ff) EXPECT_GE(ff, 1e-6);
    // from a k_min above 0 the scan starts at k_min
    EXPECT_NEAR(formFactorScan(BunchShape::Uniform, L, 5, 10, 0.5).k.front(), 5.0, 1e-12);
}

TEST(FormFactorScan, RefusesWhatCannotEnd) {
    const double L = 100 * kC * 1e-15;
    struct Case {
        BunchShape shape;
        double L, kmin, kmax, dk;
        const char* text;
    } cases[] = {
        {BunchShape::Gaussian, L, 0, 100, 0, "the increment must be greater than 0!"},
        {BunchShape::Uniform, L, 0, 100, -1, "the increment must be greater than 0!"},
        {BunchShape::Gaussian, 0, 0, 100, 1, "the bunch length must be greater than 0!"},
        {BunchShape::Uniform, 0, 0, 100, 1, "the bunch length must be greater than 0!"},
        {BunchShape::Uniform, -L, 0, 100, 1, "the bunch length must be greater than 0!"},
        {BunchShape::Uniform, L, 1e9, 1e9, 1e-10, "the increment is too small to change the wavenumber!"},
        {BunchShape::Gaussian, L, 0, 0.01, 1e-200, "the increment is too small to change the wavenumber!"},
        {BunchShape::Uniform, L, 0, 1e7, 1,
         "the scan would have more than 100001 points: choose a larger "
         "increment or a smaller range!"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(thrown<InputError>([&] { formFactorScan(c.shape, c.L, c.kmin, c.kmax, c.dk); }), c.text)
            << c.kmin << " " << c.kmax << " " << c.dk;
    }
    // a Gaussian scan over a huge range still ends early at 1e-6, so it is accepted
    EXPECT_EQ(formFactorScan(BunchShape::Gaussian, 1000 * kC * 1e-15, 0, 1e9, 1).size(), 51);
}
