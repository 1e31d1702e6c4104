#pragma once
// Independent reference values for the synchrotron-radiation tests: the modified Bessel
// functions from the standard library and the universal function S(x) by quadrature; and
// the program's own table, which the code under test reads.
#include <gtest/gtest.h>

#include <cmath>

#include "core/numerics/tabulated.h"

namespace lumerad::testref {

// The tabulated functions of the program's DATA.TXT, loaded once.
inline const Tabulated& table() {
    static const Tabulated tab = [] {
        Tabulated t;
        EXPECT_EQ(t.loadFile(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT"), "");
        return t;
    }();
    return tab;
}

inline double K13(double x) { return std::cyl_bessel_k(1.0 / 3.0, x); }
inline double K23(double x) { return std::cyl_bessel_k(2.0 / 3.0, x); }

// Integral of K5/3 from x to infinity: Simpson's rule in s = ln t from ln x to ln(x + 60),
// where the integrand K5/3(e^s) e^s is smooth; the tail beyond is below e^-60 of it.
inline double intK53(double x) {
    const int n = 4000;
    const double a = std::log(x), b = std::log(x + 60.0), h = (b - a) / n;
    auto f = [](double s) {
        const double t = std::exp(s);
        return std::cyl_bessel_k(5.0 / 3.0, t) * t;
    };
    double sum = f(a) + f(b);
    for (int i = 1; i < n; ++i) sum += f(a + i * h) * (i % 2 ? 4.0 : 2.0);
    return sum * h / 3.0;
}

// S(x) = 9 sqrt(3) / (8 pi) x int_x^inf K5/3(t) dt
inline double S(double x) { return 9.0 * std::sqrt(3.0) / (8.0 * M_PI) * x * intK53(x); }

}  // namespace lumerad::testref
