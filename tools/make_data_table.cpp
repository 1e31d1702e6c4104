// Computes DATA.TXT, the table of tabulated functions, from first principles:
//   column 1  x
//   column 2  S(x) = 9 sqrt(3) / (8 pi) * x * integral from x to infinity of K5/3(t) dt
//   column 3  K5/3(x)   (not interpolated by the program; kept for reference)
//   column 4  K1/3(x)
//   column 5  K2/3(x)
// K_nu from std::cyl_bessel_k, the integral by adaptive Gauss-Kronrod quadrature.
//
// The abscissae are graded to the local scale of the functions. A cubic spline through
// points h apart is off by about h^4 |f''''| / 384 in the middle of an interval. The
// three functions behave like powers of x (x^-1/3, x^-2/3, x^1/3) for small x, where
// |f''''/f| ~ 1/x^4 asks for a spacing proportional to x, and like e^-x for large x, where
// |f''''/f| ~ 1 asks for a constant spacing; in between the step follows |f''''/f| computed
// exactly from the Bessel recurrences, so that every interval has about the same error.
// The spline is clamped to the chord slopes at both ends, which is wrong by about
// h f''/2 there; that error dies away by a factor of about 0.27 per interval. The grid
// therefore starts a little below the first argument the program interpolates (0.00012)
// and ends a little above the last (30), with steps shrinking to 15 % towards both
// ends, so the end error is small to begin with and has faded where the range in use begins.
//
// Usage: make_data_table [output file]   (standard output without an argument)
// The largest relative spline errors over the range in use are printed to stderr.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <vector>

#include "core/numerics/tabulated.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

double K(double nu, double x) { return std::cyl_bessel_k(nu, x); }

// Gauss-Kronrod 7/15 on [a, b]: returns the Kronrod value, err the difference to Gauss.
double gk15(const std::function<double(double)>& f, double a, double b, double& err) {
    static const double xk[8] = {0.991455371120812639206854697526329, 0.949107912342758524526189684047851,
                                 0.864864423359769072789712788640926, 0.741531185599394439863864773280788,
                                 0.586087235467691130294144845693013, 0.405845151377397166906606412076961,
                                 0.207784955007898467600689403773245, 0.000000000000000000000000000000000};
    static const double wk[8] = {0.022935322010529224963732008058970, 0.063092092629978553290700663189204,
                                 0.104790010322250183839876322541518, 0.140653259715525918745189590510238,
                                 0.169004726639267902826583426598550, 0.190350578064785409913256402421014,
                                 0.204432940075298892414161999234649, 0.209482141084727828012999174891714};
    static const double wg[4] = {0.129484966168869693270611432679082, 0.279705391489276667901467771423780,
                                 0.381830050505118944950369775488975, 0.417959183673469387755102040816327};
    const double c = 0.5 * (a + b), h = 0.5 * (b - a);
    const double fc = f(c);
    double k = fc * wk[7], g = fc * wg[3];
    for (int j = 0; j < 7; ++j) {
        const double f1 = f(c - h * xk[j]), f2 = f(c + h * xk[j]);
        k += wk[j] * (f1 + f2);
        if (j % 2 == 1) g += wg[j / 2] * (f1 + f2);
    }
    err = std::fabs((k - g) * h);
    return k * h;
}

double adaptive(const std::function<double(double)>& f, double a, double b, double tol, int depth = 0) {
    double err;
    const double v = gk15(f, a, b, err);
    if (err <= tol * std::fabs(v) || depth > 40) return v;
    const double m = 0.5 * (a + b);
    return adaptive(f, a, m, tol, depth + 1) + adaptive(f, m, b, tol, depth + 1);
}

// Integral of K5/3 from x to infinity: panels doubling in length from x up to 1, then unit
// panels until the integrand is negligible against the sum.
double intK53(double x) {
    const auto f = [](double t) { return K(5.0 / 3.0, t); };
    double sum = 0.0;
    double a = x;
    while (a < 1.0) {
        const double b = std::min(2.0 * a, 1.0);
        sum += adaptive(f, a, b, 1e-15);
        a = b;
    }
    for (;;) {
        const double part = adaptive(f, a, a + 1.0, 1e-15);
        sum += part;
        a += 1.0;
        if (part < 1e-19 * sum) break;
    }
    return sum;
}

double S(double x) { return 9.0 * std::sqrt(3.0) / (8.0 * kPi) * x * intK53(x); }

// K_nu for any real order (K_-nu = K_nu).
double Kany(double nu, double x) { return K(std::fabs(nu), x); }

// Derivatives from the recurrence K_nu' = -(K_nu-1 + K_nu+1) / 2.
double K2(double nu, double x) { return (Kany(nu - 2, x) + 2 * Kany(nu, x) + Kany(nu + 2, x)) / 4; }
double K3(double nu, double x) {
    return -(Kany(nu - 3, x) + 3 * Kany(nu - 1, x) + 3 * Kany(nu + 1, x) + Kany(nu + 3, x)) / 8;
}
double K4(double nu, double x) {
    return (Kany(nu - 4, x) + 4 * Kany(nu - 2, x) + 6 * Kany(nu, x) + 4 * Kany(nu + 2, x) + Kany(nu + 4, x)) /
           16;
}

// The largest |f''''/f| of the three interpolated functions at x. With I(x) the integral
// of K5/3 from x on, S = c x I and S'''' = c (4 I''' + x I'''') = -c (4 K5/3'' + x K5/3''').
double curvature4(double x) {
    const double r13 = std::fabs(K4(1.0 / 3, x) / K(1.0 / 3, x));
    const double r23 = std::fabs(K4(2.0 / 3, x) / K(2.0 / 3, x));
    const double rS = std::fabs((4 * K2(5.0 / 3, x) + x * K3(5.0 / 3, x)) / (x * intK53(x)));
    return std::max({r13, r23, rS});
}

// The abscissae. The step equidistributes the interpolation error: it follows
// h(x) = (384 eps / |f''''/f|)^(1/4), that is the number of steps up to x is
// phi(x) = integral of dx / h(x), and the rows sit where phi takes evenly spaced values.
// Towards both ends of the table, beyond the range in use, the step shrinks linearly to
// endShrink times its size at the very ends (there the chord clamp acts). The arguments
// 0.00012, 0.001, 0.01, ..., 30 are rows themselves, so lookups there give the exact
// values: phi is spread evenly between each two of them.
std::vector<double> grid() {
    const double eps = 1.3e-6;                   // interpolation error aimed at
    const double x0 = 9.5e-5, lowEnd = 1.17e-4;  // table start, end of the shrinking steps
    const double x1 = 30.6, highEnd = 29.8;      // table end, start of the shrinking steps
    const double endShrink = 0.15;
    const auto stepsPerUnit = [&](double x) {
        double density = std::pow(curvature4(x) / (384 * eps), 0.25);
        if (x < lowEnd) density /= endShrink + (1 - endShrink) * std::log(x / x0) / std::log(lowEnd / x0);
        if (x > highEnd) density /= endShrink + (1 - endShrink) * (x1 - x) / (x1 - highEnd);
        return density;
    };
    // phi on a fine logarithmic grid (x = e^u, dphi/du = x / h).
    const int m = 6000;
    const double u0 = std::log(x0), du = (std::log(x1) - u0) / m;
    std::vector<double> u(m + 1), phi(m + 1, 0.0);
    double prev = 0;
    for (int k = 0; k <= m; ++k) {
        u[k] = u0 + k * du;
        const double x = std::exp(u[k]);
        const double rate = stepsPerUnit(x) * x;
        if (k > 0) phi[k] = phi[k - 1] + 0.5 * (prev + rate) * du;
        prev = rate;
    }
    const auto phiAt = [&](double x) {
        const double t = (std::log(x) - u0) / du;
        const int k = std::clamp(static_cast<int>(t), 0, m - 1);
        return phi[k] + (t - k) * (phi[k + 1] - phi[k]);
    };
    const auto xAt = [&](double p) {
        const int k = std::clamp(
            static_cast<int>(std::upper_bound(phi.begin(), phi.end(), p) - phi.begin()) - 1, 0, m - 1);
        const double t = (p - phi[k]) / (phi[k + 1] - phi[k]);
        return std::exp(u[k] + t * du);
    };
    const std::vector<double> breaks = {x0, 0.00012, 0.001, 0.01, 0.1, 1.0, 10.0, 30.0, x1};
    std::vector<double> xs;
    for (std::size_t b = 0; b + 1 < breaks.size(); ++b) {
        const double pa = phiAt(breaks[b]), pb = phiAt(breaks[b + 1]);
        const int n = std::max(1, static_cast<int>(std::ceil(pb - pa)));
        xs.push_back(breaks[b]);
        for (int k = 1; k < n; ++k) xs.push_back(xAt(pa + (pb - pa) * k / n));
    }
    xs.push_back(x1);
    return xs;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<double> xs = grid();
    const int n = static_cast<int>(xs.size());
    std::vector<double> s(n), k53(n), k13(n), k23(n);
    for (int i = 0; i < n; ++i) {
        s[i] = S(xs[i]);
        k53[i] = K(5.0 / 3.0, xs[i]);
        k13[i] = K(1.0 / 3.0, xs[i]);
        k23[i] = K(2.0 / 3.0, xs[i]);
    }

    FILE* out = argc > 1 ? std::fopen(argv[1], "w") : stdout;
    if (!out) {
        std::perror(argv[1]);
        return 1;
    }
    for (int i = 0; i < n; ++i)
        std::fprintf(out, "%.17g %.17g %.17g %.17g %.17g\n", xs[i], s[i], k53[i], k13[i], k23[i]);
    if (out != stdout) std::fclose(out);

    // Check: spline errors over the ranges the program interpolates, on a dense log grid.
    lumerad::Tabulated tab;
    const double* cols[4] = {s.data(), k53.data(), k13.data(), k23.data()};
    const std::string err = tab.setRows(n, xs.data(), cols);
    if (!err.empty()) {
        std::fprintf(stderr, "%s\n", err.c_str());
        return 1;
    }
    double eS = 0, e13 = 0, e23 = 0, wS = 0, w13 = 0, w23 = 0;
    const int m = 20000;
    for (int j = 0; j <= m; ++j) {
        const double x = 0.00012 * std::pow(30.0 / 0.00012, double(j) / m);
        const double r13 = std::fabs(tab.splint(3, x) / K(1.0 / 3.0, x) - 1);
        const double r23 = std::fabs(tab.splint(4, x) / K(2.0 / 3.0, x) - 1);
        if (r13 > e13) e13 = r13, w13 = x;
        if (r23 > e23) e23 = r23, w23 = x;
        if (x >= 0.001 && x < 30.0 && j % 4 == 0) {
            const double rS = std::fabs(tab.splint(1, x) / S(x) - 1);
            if (rS > eS) eS = rS, wS = x;
        }
    }
    std::fprintf(stderr,
                 "%d rows; max relative error S %.3g (x=%.4g), K1/3 %.3g (x=%.4g), K2/3 %.3g (x=%.4g)\n", n,
                 eS, wS, e13, w13, e23, w23);
    return 0;
}
