#pragma once
// Independent reference values of the core tests: the constants of the worked examples,
// Simpson's rule, the modified Bessel functions from the standard library, the universal
// function S(x) by quadrature; and the program's own table, which the code under test reads.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "core/numerics/tabulated.h"

namespace lumerad::testref {

constexpr double kPi = 3.14159265358979323846, kC = 299792458.0;
// The fine-structure constant, electron charge and Planck's constants of the worked examples.
constexpr double kAlpha = 0.0072973504, kE = 1.602189e-19, kH = 6.626176e-34, kHbar = 1.054588e-34;

// The tabulated functions of the program's DATA.TXT, loaded once.
inline const Tabulated& table() {
    static const Tabulated tab = [] {
        Tabulated t;
        EXPECT_EQ(t.loadFile(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT"), "");
        return t;
    }();
    return tab;
}

// Simpson's rule with n (even) intervals.
inline double simpson(const std::function<double(double)>& f, double a, double b, int n) {
    const double h = (b - a) / n;
    double sum = f(a) + f(b);
    for (int i = 1; i < n; ++i) sum += f(a + i * h) * (i % 2 ? 4 : 2);
    return sum * h / 3;
}

inline double K13(double x) { return std::cyl_bessel_k(1.0 / 3.0, x); }
inline double K23(double x) { return std::cyl_bessel_k(2.0 / 3.0, x); }

// S(x) = 9 sqrt(3) / (8 pi) x int_x^inf K5/3(t) dt. With K_nu(t) = int_0^inf exp(-t cosh s)
// cosh(nu s) ds, the integral of K5/3 from x on is the integral over s of exp(-x cosh s)
// cosh(5s/3) / cosh s: analytic and falling off double exponentially, so the trapezoidal
// rule converges geometrically.
inline double S(double x) {
    const double h = 0.01;
    double sum = 0.5;  // s = 0, weighted 1/2; every term is scaled by exp(-x) below
    for (int k = 1;; ++k) {
        const double c = std::cosh(k * h), term = std::exp(-x * (c - 1.0)) * std::cosh(5.0 * k * h / 3.0) / c;
        sum += term;
        if (x * (c - 1.0) > 60.0 && term < 1e-18 * sum) break;
    }
    return 9.0 * std::sqrt(3.0) / (8.0 * kPi) * x * std::exp(-x) * sum * h;
}

// The text of the result field of that name, "<absent>" when there is none.
template <class Fields>
std::string fieldText(const Fields& fields, const std::string& name) {
    for (const auto& f : fields)
        if (f.name == name) return f.text;
    return "<absent>";
}

}  // namespace lumerad::testref
