#include "core/numerics/special_functions.h"

#include <algorithm>
#include <cmath>

#include "core/numerics/constants.h"
#include "core/numerics/tabulated.h"
#include "core/numerics/wide_loops.h"

namespace lumerad {

namespace {

// Columns of the tabulated functions.
constexpr int kColumnS = 1;
constexpr int kColumnK13 = 3;
constexpr int kColumnK23 = 4;

// Largest argument whose exponential is still a finite double.
constexpr double kExpMax = 709.78;

}  // namespace

double Power(double base, double exponent) {
    if (base == 0.0) return 0.0;
    return std::exp(exponent * std::log(base));
}

// J0 by rational approximation below 8 and the asymptotic form with rational
// corrections above.
double bessj0(double x) {
    const double a = std::fabs(x);
    if (a < 8.0) {
        const double y = x * x;
        const double p =
            57568490574.0 +
            y * (-13362590354.0 +
                 y * (651619640.7 + y * (-11214424.18 + y * (77392.33017 + y * (-184.9052456)))));
        const double q =
            57568490411.0 +
            y * (1029532985.0 + y * (9494680.718 + y * (59272.64853 + y * (267.8532712 + y * 1.0))));
        return p / q;
    }
    const double z = 8.0 / a;
    const double y = z * z;
    const double chi = a - 0.785398164;
    const double p1 =
        1.0 + y * (-0.1098628627e-2 + y * (0.2734510407e-4 + y * (-0.2073370639e-5 + y * 0.2093887211e-6)));
    const double q1 =
        -0.1562499995e-1 +
        y * (0.1430488765e-3 + y * (-0.6911147651e-5 + y * (0.7621095161e-6 - y * 0.934935152e-7)));
    return std::sqrt(0.636619772 / a) * (std::cos(chi) * p1 - z * std::sin(chi) * q1);
}

double bessj1(double x) {
    const double a = std::fabs(x);
    if (a < 8.0) {
        const double y = x * x;
        const double p =
            x * (72362614232.0 +
                 y * (-7895059235.0 +
                      y * (242396853.1 + y * (-2972611.439 + y * (15704.48260 + y * (-30.16036606))))));
        const double q =
            144725228442.0 +
            y * (2300535178.0 + y * (18583304.74 + y * (99447.43394 + y * (376.9991397 + y * 1.0))));
        return p / q;
    }
    const double z = 8.0 / a;
    const double y = z * z;
    const double chi = a - 2.356194491;
    const double p1 =
        1.0 + y * (0.183105e-2 + y * (-0.3516396496e-4 + y * (0.2457520174e-5 + y * (-0.240337019e-6))));
    const double q1 = 0.04687499995 + y * (-0.2002690873e-3 +
                                           y * (0.8449199096e-5 + y * (-0.88228987e-6 + y * 0.105787412e-6)));
    const double r = std::sqrt(0.636619772 / a) * (std::cos(chi) * p1 - z * std::sin(chi) * q1);
    return x < 0.0 ? -r : r;
}

namespace {

// Jn(a) for a > 0 small against the order, by the power series
// (a/2)^n/n! (1 - (a/2)^2/(n+1) + (a/2)^4/(2 (n+1)(n+2)) - ...). The leading term goes
// through logarithms so that it underflows to 0 instead of overflowing (a/2)^n or n!.
double besselSeries(int n, double a) {
    const double lead = n * std::log(a / 2.0) - std::lgamma(n + 1.0);
    if (lead < -745.0) return 0.0;
    const double q = (a / 2.0) * (a / 2.0);
    double term = 1.0, sum = 1.0;
    for (int k = 1; k <= 60; ++k) {
        term *= -q / (k * (static_cast<double>(n) + k));
        sum += term;
        if (std::fabs(term) < 1e-17 * std::fabs(sum)) break;
    }
    return std::exp(lead) * sum;
}

// Below this argument 2/a times an order is no longer safely a double.
constexpr double kTinyArgument = 1e-290;
// A recurrence value beyond this could overflow in the next step or in the normalising sum.
constexpr double kRecurrenceLimit = 1e290;
// Orders above this take the series where it converges fast rather than a long recurrence.
constexpr int kLongRecurrence = 100000;

// The even order, well above n, from which Miller's downward recurrence for Jn starts; in 64
// bits, as near the int limit n + sqrt(100 n) does not fit an int.
long long millerStartOrder(int n) {
    return 2 * static_cast<long long>(std::floor((n + std::sqrt(100.0 * n)) / 2.0));
}

// Whether bessj takes Miller's recurrence for Jn(a), a = |x| > 0.
bool millerCase(int n, double a) {
    return n != 0 && n != 1 && !(n < a) && !(a < kTinyArgument || (n > kLongRecurrence && a * a < n + 1.0));
}

}  // namespace

// Jn for integer n >= 0: upward recurrence where the order is below the argument,
// Miller's downward recurrence with normalisation otherwise. Where the downward
// recurrence would leave the doubles (tiny arguments: each step grows by 2k/a, far more
// than the renormalisation takes back), the small-argument series gives the value.
double bessj(int n, double x) {
    const double a = std::fabs(x);
    double result = 1.0;
    if (a == 0.0) return n == 0 ? 1.0 : 0.0;
    if (n == 0) {
        result = bessj0(a);
    } else if (n == 1) {
        result = bessj1(a);
    } else if (n < a) {
        const double t = 2.0 / a;
        double jm = bessj0(a);
        double j = bessj1(a);
        for (int k = 1; k <= n - 1; ++k) {
            const double jp = k * t * j - jm;
            jm = j;
            j = jp;
        }
        result = j;
    } else if (a < kTinyArgument || (n > kLongRecurrence && a * a < n + 1.0)) {
        // Tiny arguments, or so high an order that the recurrence would take millions of
        // steps where the series (a/2 below half the root of n + 1) converges in a few.
        result = besselSeries(n, a);
    } else {
        const double t = 2.0 / a;
        const long long m = millerStartOrder(n);
        // k t only falls as k falls, so the overflow limit over it only rises from its first
        // value: below that, no step needs the division of the test.
        const double safe = kRecurrenceLimit / (static_cast<double>(m) * t);
        double bnext = 0.0, b = 1.0, sum = 0.0;
        bool add = false;
        bool finite = true;
        for (long long k = m; k >= 1; --k) {
            const double kt = static_cast<double>(k) * t;
            if (std::fabs(b) > safe && std::fabs(b) > kRecurrenceLimit / kt) {
                finite = false;
                break;
            }
            const double bprev = kt * b - bnext;
            bnext = b;
            b = bprev;
            if (std::fabs(b) > 1e10) {
                b *= 1e-10;
                bnext *= 1e-10;
                result *= 1e-10;
                sum *= 1e-10;
            }
            if (add) sum += b;
            add = !add;
            if (k == n) result = bnext;
        }
        if (finite) {
            sum = 2.0 * sum - b;
            result /= sum;
        } else {
            result = besselSeries(n, a);
        }
    }
    return (x < 0.0 && (n & 1)) ? -result : result;
}

double ModBess(const Tabulated& tab, int nu, double x) {
    if (nu != 1 && nu != 2) return 0.0;
    if (std::isnan(x)) return x;
    if (x < 1e-20) return 0.0;
    if (x < 0.00012) {
        return nu == 1 ? Gamma13 / Power(4.0 * x, 1.0 / 3.0) : Gamma23 / Power(2.0 * x * x, 1.0 / 3.0);
    }
    if (x <= 30.0) return tab.splint(nu == 1 ? kColumnK13 : kColumnK23, x);
    if (x <= 35.0) return std::sqrt((Pi / 2.0) / std::exp(2.0 * x) / x);
    return 0.0;
}

double AiryFun(const Tabulated& tab, int k, double x) {
    if (k != 1 && k != 2) return 0.0;
    if (x < 0.00012) {
        return k == 1 ? Power(3.0, 1.0 / 3.0) * Gamma13 / std::sqrt(3.0) / Pi / 2.0
                      : -Power(3.0, 2.0 / 3.0) * Gamma23 / std::sqrt(3.0) / Pi / 2.0;
    }
    // Beyond x = 1000, e^-zeta (zeta above 21000) is far below the smallest double: the value
    // underflows to 0, and x^1.5 of a large x must not overflow on the way there.
    if (x > 1000.0) return 0.0;
    const double zeta = (2.0 / 3.0) * Power(x, 1.5);
    if (x <= 30.0) {
        return k == 1 ? std::sqrt(x / 3.0) / Pi * ModBess(tab, 1, zeta)
                      : -x / std::sqrt(3.0) / Pi * ModBess(tab, 2, zeta);
    }
    const double front = k == 1 ? Power(x, -0.25) : -Power(x, 0.25);
    // Beyond kExpMax e^zeta is not a double any more while the result is far below the
    // smallest one: multiplying by e^-zeta lets it underflow to 0 instead.
    if (zeta > kExpMax) return front / std::sqrt(Pi) / 2.0 * std::exp(-zeta);
    return front / std::sqrt(Pi) / 2.0 / std::exp(zeta);
}

double UnivrslF(const Tabulated& tab, double x) {
    if (x < 0.001) return 1.333 * Power(x, 1.0 / 3.0);
    if (x < 30.0) return tab.splint(kColumnS, x);
    // As for AiryFun: above kExpMax the value underflows to 0 rather than overflowing e^x.
    if (x > kExpMax) return std::isinf(x) ? 0.0 : 0.777 * std::sqrt(x) * std::exp(-x);
    return 0.777 * std::sqrt(x) / std::exp(x);
}

namespace {
// Four doubles, and the masks that comparing them gives (all bits set where true).
typedef double Lanes __attribute__((vector_size(32)));
typedef long long LaneMask __attribute__((vector_size(32)));
constexpr int kLanes = 4;

// Miller's recurrence for Jn at four arguments, one in each lane of the vectors: each lane
// takes the steps of bessj's recurrence, so gives its bits. The renormalisation needs no
// branch: it multiplies by exactly 1 where a lane stays below 1e10, which changes no bit. A
// lane whose values would leave the doubles is stopped (marked in `stopped`, its values held
// at 0 so that it raises no fault).
struct MillerLanes {
    int n;
    long long m;  // the order of the first step
    Lanes t, safe, b, bnext, sum, result;
    LaneMask stopped{};

    MillerLanes(int order, const double (&a)[kLanes]) : n(order), m(millerStartOrder(order)) {
        for (int l = 0; l < kLanes; ++l) {
            t[l] = 2.0 / a[l];
            safe[l] = kRecurrenceLimit / (static_cast<double>(m) * t[l]);
            b[l] = 1.0;
            bnext[l] = 0.0;
            sum[l] = 0.0;
            result[l] = 1.0;
        }
    }
    // The step of order k (k <= m); add: whether this step's value joins the sum.
    void step(long long k, bool add) {
        const long long bits = 0x7fffffffffffffffLL;  // all but the sign
        const LaneMask kAbs = {bits, bits, bits, bits};
        const Lanes kt = static_cast<double>(k) * t;
        const LaneMask nearLimit = (Lanes)((LaneMask)b & kAbs) > safe;
        if (nearLimit[0] | nearLimit[1] | nearLimit[2] | nearLimit[3]) stopNearLimit(kt);
        const Lanes bprev = kt * b - bnext;
        bnext = b;
        b = bprev;
        const LaneMask big = (Lanes)((LaneMask)b & kAbs) > 1e10;
        const Lanes one = {1.0, 1.0, 1.0, 1.0}, small = {1e-10, 1e-10, 1e-10, 1e-10};
        const Lanes scale = (Lanes)((big & (LaneMask)small) | (~big & (LaneMask)one));
        b *= scale;
        bnext *= scale;
        result *= scale;
        sum *= scale;
        if (add) sum += b;
        if (k == n) result = bnext;
    }
    void stopNearLimit(const Lanes& kt) {
        for (int l = 0; l < kLanes; ++l)
            if (!stopped[l] && std::fabs(b[l]) > safe[l] && std::fabs(b[l]) > kRecurrenceLimit / kt[l]) {
                stopped[l] = -1;
                b[l] = bnext[l] = result[l] = 0.0;
                sum[l] = 1.0;
            }
    }
};

// JJFun for up to four points whose two orders both take Miller's recurrence; xi are their
// arguments (unused lanes repeat one of them).
void jjLanes(int h, const double (&xi)[kLanes], double (&out)[kLanes]) {
    const int n1 = static_cast<int>((h - 1) / 2.0), n2 = static_cast<int>((h + 1) / 2.0);
    double a[kLanes];
    for (int l = 0; l < kLanes; ++l) a[l] = std::fabs(xi[l]);
    Lanes j1, j2;
    LaneMask stopped1, stopped2;
    wide::run([&] {
        MillerLanes p(n1, a), q(n2, a);
        // the two recurrences side by side, each from its own first order
        const long long top = std::max(p.m, q.m);
        for (long long k = top; k >= 1; --k) {
            if (k <= p.m) p.step(k, (p.m - k) % 2 == 1);
            if (k <= q.m) q.step(k, (q.m - k) % 2 == 1);
        }
        j1 = p.result / (2.0 * p.sum - p.b);
        j2 = q.result / (2.0 * q.sum - q.b);
        stopped1 = p.stopped;
        stopped2 = q.stopped;
    });
    for (int l = 0; l < kLanes; ++l) {
        // a stopped lane takes the series, as bessj does
        double v1 = stopped1[l] ? bessj(n1, xi[l]) : j1[l];
        double v2 = stopped2[l] ? bessj(n2, xi[l]) : j2[l];
        if (!stopped1[l] && xi[l] < 0.0 && (n1 & 1)) v1 = -v1;
        if (!stopped2[l] && xi[l] < 0.0 && (n2 & 1)) v2 = -v2;
        const double d = v1 - v2;
        out[l] = d * d;
    }
}
}  // namespace

double JJFun(int h, double K) {
    const int j1 = static_cast<int>((h - 1) / 2.0);
    const int j2 = static_cast<int>((h + 1) / 2.0);
    const double xi = K * K * h / (2.0 * K * K + 4.0);
    const double d = bessj(j1, xi) - bessj(j2, xi);
    return d * d;
}

void JJFun(int h, const double* K, double* out, long count) {
    const int n1 = static_cast<int>((h - 1) / 2.0), n2 = static_cast<int>((h + 1) / 2.0);
    double xi[kLanes], lane[kLanes];
    long at[kLanes];
    int used = 0;
    // the points gathered for the lanes, computed; a single one goes alone
    const auto flush = [&] {
        if (used == 1) {
            out[at[0]] = JJFun(h, K[at[0]]);
        } else if (used > 1) {
            for (int l = used; l < kLanes; ++l) xi[l] = xi[0];
            jjLanes(h, xi, lane);
            for (int l = 0; l < used; ++l) out[at[l]] = lane[l];
        }
        used = 0;
    };
    for (long i = 0; i < count; ++i) {
        const double x = K[i] * K[i] * h / (2.0 * K[i] * K[i] + 4.0);
        const double a = std::fabs(x);
        if (!(a > 0) || !millerCase(n1, a) || !millerCase(n2, a)) {
            out[i] = JJFun(h, K[i]);
            continue;
        }
        xi[used] = x;
        at[used++] = i;
        if (used == kLanes) flush();
    }
    flush();
}

namespace {
// A function of one argument at n arguments: the runs of arguments inside the table go to
// the table in one piece, the others one by one.
template <class InTable, class Single>
void tableRuns(const Tabulated& tab, int column, const double* x, double* out, long n, InTable inTable,
               Single single) {
    long i = 0;
    while (i < n) {
        if (!inTable(x[i])) {
            out[i] = single(x[i]);
            ++i;
            continue;
        }
        long j = i + 1;
        while (j < n && inTable(x[j])) ++j;
        tab.splintMany(column, x + i, out + i, j - i);
        i = j;
    }
}
}  // namespace

void ModBess(const Tabulated& tab, int nu, const double* x, double* out, long n) {
    // The table serves 0.00012 to 30, as in ModBess of one argument (false for a NaN).
    tableRuns(
        tab, nu == 1 ? kColumnK13 : kColumnK23, x, out, n,
        [nu](double v) { return (nu == 1 || nu == 2) && !(v < 0.00012) && v <= 30.0; },
        [&](double v) { return ModBess(tab, nu, v); });
}

void UnivrslF(const Tabulated& tab, const double* x, double* out, long n) {
    tableRuns(
        tab, kColumnS, x, out, n, [](double v) { return !(v < 0.001) && v < 30.0; },
        [&](double v) { return UnivrslF(tab, v); });
}

}  // namespace lumerad
