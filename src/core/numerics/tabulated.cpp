#include "core/numerics/tabulated.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/wide_loops.h"

namespace lumerad {

namespace {

constexpr int kValuesPerRow = 5;

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

std::string lineNo(int n) { return patternInt("%d", n); }

// A real number in the file: the whole token must be a finite decimal number.
bool readReal(const std::string& token, double& value) {
    const char* first = token.data();
    const char* last = token.data() + token.size();
    if (first != last && *first == '+') ++first;
    // from_chars would also take "inf", "nan" and hexadecimal; the file holds plain decimals.
    for (const char* p = first; p != last; ++p) {
        const char c = *p;
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' || c == 'e' ||
              c == 'E'))
            return false;
    }
    if (first != last && first != token.data() && (*first == '+' || *first == '-')) return false;
    const bool negative = first != last && *first == '-';
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range && ptr == last) {
        // the largest double as the data-file field writes it, rounded to 15 digits
        if (!readNearLargest(first + (negative ? 1 : 0), last, value)) return false;
        if (negative) value = -value;
        return true;
    }
    return ec == std::errc() && ptr == last && std::isfinite(value);
}

}  // namespace

void Tabulated::clear() {
    rows_ = 0;
    lastInterval_ = 1;
}

std::string Tabulated::setRows(int n, const double* x, const double* const f[4]) {
    FloatFlagsKept keep;  // the checks below go by the values; the caller's flags stay as they were
    clear();
    if (n > kCapacity)
        return "The table of tabulated functions holds more than " + lineNo(kCapacity) + " rows.";
    if (n < 2) return "The table of tabulated functions needs at least two rows.";
    for (int i = 0; i < n; ++i) {
        if (!std::isfinite(x[i])) return "An abscissa of the tabulated functions is not finite.";
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite(f[c][i])) return "A value of the tabulated functions is not finite.";
        if (i > 0 && !(x[i] > x[i - 1]))
            return "The abscissae of the tabulated functions do not increase strictly at row " +
                   lineNo(i + 1) + ".";
    }
    // The spline divides by the steps and by sums of two steps: a step that overflows
    // (-1e308 to 1e308), whose square does (the interpolation weighs the curvature by h^2,
    // so a step above about 1.3e154), or whose reciprocal does (a step among the subnormal doubles)
    // gives infinities and NaN later on; so do slopes or curvatures beyond the doubles,
    // caught on the finished second derivatives.
    for (int i = 1; i < n; ++i) {
        const double h = x[i] - x[i - 1];
        const double wide = i + 1 < n ? x[i + 1] - x[i - 1] : h;
        if (!std::isfinite(h) || !std::isfinite(wide) || !std::isfinite(1.0 / h) || !std::isfinite(h * h))
            return "The abscissae of the tabulated functions are too close together or too far apart for a "
                   "spline at row " +
                   lineNo(i + 1) + ".";
        for (int c = 0; c < 4; ++c)
            if (!std::isfinite((f[c][i] - f[c][i - 1]) / h))
                return "The tabulated functions change too steeply for a spline at row " + lineNo(i + 1) +
                       ".";
    }
    for (int i = 0; i < n; ++i) {
        x_[i + 1] = x[i];
        for (int c = 0; c < 4; ++c) f_[c + 1][i + 1] = f[c][i];
    }
    rows_ = n;
    buildSplines();
    for (int c = 1; c <= 4; ++c)
        for (int i = 1; i <= n; ++i)
            if (!std::isfinite(y2_[c][i])) {
                clear();
                return "The tabulated functions do not give a finite spline.";
            }
    return {};
}

std::string Tabulated::loadFile(const std::string& path) {
    clear();
    const std::string notLoaded = " The tabulated functions are not available.";
    std::ifstream in(path, std::ios::binary);
    if (!in) return "Cannot open " + quoted(path) + " for reading." + notLoaded;

    std::vector<double> xs;
    std::vector<double> cols[4];
    std::string line;
    int lineNumber = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (lineNumber == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // UTF-8 mark
        std::istringstream tokens(line);
        std::string token;
        std::vector<std::string> fields;
        while (tokens >> token) fields.push_back(token);
        if (fields.empty()) continue;  // blank lines, a trailing line break, CR of CR LF
        const std::string where = quoted(path) + ", line " + lineNo(lineNumber) + ": ";
        if (static_cast<int>(xs.size()) == kCapacity)
            return where + "more than " + lineNo(kCapacity) + " rows." + notLoaded;
        if (fields.size() != kValuesPerRow)
            return where + "five numbers expected, found " + lineNo(static_cast<int>(fields.size())) + "." +
                   notLoaded;
        double v[kValuesPerRow];
        for (int k = 0; k < kValuesPerRow; ++k)
            if (!readReal(fields[k], v[k]))
                return where + "'" + fields[k] + "' is not a valid floating point value." + notLoaded;
        if (!xs.empty() && !(v[0] > xs.back()))
            return where + "the abscissa " + general(v[0], 15) + " does not increase on the row before." +
                   notLoaded;
        xs.push_back(v[0]);
        for (int c = 0; c < 4; ++c) cols[c].push_back(v[c + 1]);
    }
    if (in.bad()) return "Reading " + quoted(path) + " failed." + notLoaded;
    if (xs.size() < 2) return quoted(path) + " holds fewer than two rows of numbers." + notLoaded;
    const double* f[4] = {cols[0].data(), cols[1].data(), cols[2].data(), cols[3].data()};
    const std::string err = setRows(static_cast<int>(xs.size()), xs.data(), f);
    return err.empty() ? err : quoted(path) + ": " + err + notLoaded;
}

// Cubic spline with the first derivatives at both ends prescribed as the slopes of the
// end intervals (so the spline is clamped to the chords there); an end slope above 9.9e29
// would switch that end to a natural spline. Built once per column when the table is set,
// by exactly the steps a per-lookup construction would take, so lookups give the same bits.
void Tabulated::buildSplines() {
    const int n = rows_;
    std::array<double, kCapacity + 1> u{};
    for (int c = 1; c <= 4; ++c) {
        const auto& x = x_;
        const auto& y = f_[c];
        auto& y2 = y2_[c];
        const double yp1 = (y[2] - y[1]) / (x[2] - x[1]);
        const double ypn = (y[n] - y[n - 1]) / (x[n] - x[n - 1]);
        if (yp1 > 9.9e29) {
            y2[1] = 0.0;
            u[1] = 0.0;
        } else {
            y2[1] = -0.5;
            u[1] = (3.0 / (x[2] - x[1])) * ((y[2] - y[1]) / (x[2] - x[1]) - yp1);
        }
        for (int i = 2; i <= n - 1; ++i) {
            const double sig = (x[i] - x[i - 1]) / (x[i + 1] - x[i - 1]);
            const double p = sig * y2[i - 1] + 2.0;
            y2[i] = (sig - 1.0) / p;
            u[i] = (y[i + 1] - y[i]) / (x[i + 1] - x[i]) - (y[i] - y[i - 1]) / (x[i] - x[i - 1]);
            u[i] = (6.0 * u[i] / (x[i + 1] - x[i - 1]) - sig * u[i - 1]) / p;
        }
        double qn, un;
        if (ypn > 9.9e29) {
            qn = 0.0;
            un = 0.0;
        } else {
            qn = 0.5;
            un = (3.0 / (x[n] - x[n - 1])) * (ypn - (y[n] - y[n - 1]) / (x[n] - x[n - 1]));
        }
        y2[n] = (un - qn * u[n - 1]) / (qn * y2[n - 1] + 1.0);
        for (int k = n - 1; k >= 1; --k) y2[k] = y2[k] * y2[k + 1] + u[k];
    }
}

// The interval [lo, lo + 1] of x: the last row lo of 1..rows-1 whose abscissa is not above x
// (for a NaN every row counts as not above), or 1 when x lies below the table. The search
// starts at the previous interval and widens its step each time the bracket moves (1, 2,
// 4, ... rows), then bisects the bracket; so a scan pays a comparison or two per point and
// a jump across the table about twice a bisection.
int Tabulated::interval(double x) const {
    const auto& xa = x_;
    const int n = rows_;
    int lo = lastInterval_ >= 1 && lastInterval_ < n ? lastInterval_ : 1;
    int hi;
    if (lo > 1 && xa[lo] > x) {
        // x lies below the previous interval: hunt downwards; xa[hi] > x holds throughout.
        hi = lo;
        int step = 1;
        lo = hi - 1;
        while (lo > 1 && xa[lo] > x) {
            hi = lo;
            lo = std::max(1, lo - step);
            step *= 2;
        }
    } else {
        // At or above the previous interval's lower row (or below the table): hunt upwards;
        // lo is 1 or xa[lo] is not above x throughout.
        hi = lo + 1;
        int step = 1;
        while (hi < n && !(xa[hi] > x)) {
            lo = hi;
            hi = std::min(n, hi + step);
            step *= 2;
        }
    }
    // Bisection of the bracket; written with selects rather than branches, which the
    // processor could not predict for arguments that wander over the table.
    while (hi - lo > 1) {
        const int k = (hi + lo) / 2;
        const bool above = xa[k] > x;
        hi = above ? k : hi;
        lo = above ? lo : k;
    }
    lastInterval_ = lo;
    return lo;
}

// A column outside 1..4 keeps the column of the previous lookup; before any lookup that is
// an all-zero column (0 here).
int Tabulated::column(int c) const {
    if (rows_ < 2) throw FloatError(kDivByZeroText);
    if (c >= 1 && c <= 4)
        lastColumn_ = c;
    else
        c = lastColumn_;
    return c;
}

double Tabulated::splint(int c, double x) const {
    c = column(c);
    if (c == 0) return 0.0;
    const auto& xa = x_;
    const auto& y = f_[c];
    const auto& y2 = y2_[c];
    const int lo = interval(x), hi = lo + 1;
    const double h = xa[hi] - xa[lo];
    const double a = (xa[hi] - x) / h;
    const double b = (x - xa[lo]) / h;
    return a * y[lo] + b * y[hi] + ((a * a * a - a) * y2[lo] + (b * b * b - b) * y2[hi]) * (h * h) / 6.0;
}

void Tabulated::splintMany(int c, const double* x, double* out, long n) const {
    if (n <= 0) return;
    c = column(c);
    if (c == 0) {
        std::fill(out, out + n, 0.0);
        return;
    }
    const auto& xa = x_;
    const auto& y = f_[c];
    const auto& y2 = y2_[c];
    // The rows of each argument's interval are copied side by side, so that the arithmetic
    // below runs over plain arrays; the same expression as in splint, lane by lane.
    constexpr long kChunk = 256;
    double xl[kChunk], xh[kChunk], yl[kChunk], yh[kChunk], dl[kChunk], dh[kChunk], xs[kChunk];
    for (long start = 0; start < n; start += kChunk) {
        const long m = std::min(kChunk, n - start);
        for (long i = 0; i < m; ++i) {
            const double v = x[start + i];
            const int lo = interval(v);
            xs[i] = v;
            xl[i] = xa[lo];
            xh[i] = xa[lo + 1];
            yl[i] = y[lo];
            yh[i] = y[lo + 1];
            dl[i] = y2[lo];
            dh[i] = y2[lo + 1];
        }
        double* o = out + start;
        wide::run([&] {
            for (long i = 0; i < m; ++i) {
                const double h = xh[i] - xl[i];
                const double a = (xh[i] - xs[i]) / h;
                const double b = (xs[i] - xl[i]) / h;
                o[i] = a * yl[i] + b * yh[i] +
                       ((a * a * a - a) * dl[i] + (b * b * b - b) * dh[i]) * (h * h) / 6.0;
            }
        });
    }
}

}  // namespace lumerad
