#pragma once
// The table of tabulated functions read from DATA.TXT (abscissa and four columns, at most
// 350 rows) and its cubic-spline interpolation, clamped to the chord slopes at both ends.
// The second derivatives of each column are built once when the table is loaded.
#include <array>
#include <string>

namespace lumerad {

class Tabulated {
public:
    static constexpr int kCapacity = 350;

    // Reads the file. On failure the table is left empty (rows() == 0) and the returned
    // text says why; on success the text is empty.
    std::string loadFile(const std::string& path);
    // Replaces the table by the given rows (tests, generator). Same checks as loadFile.
    std::string setRows(int n, const double* x, const double* const f[4]);
    void clear();

    int rows() const { return rows_; }
    double x(int i) const { return x_[i]; }            // 1-based like the file rows
    double f(int c, int i) const { return f_[c][i]; }  // c = 1..4

    // Spline value of column c (1..4) at x. Fewer than two rows throws FloatError.
    // Another c interpolates the column of the previous lookup (0 before any lookup).
    // The search for x starts from the interval of the previous lookup (a scan moves a
    // little at a time); it finds the interval a bisection of the whole table finds, so
    // the value does not depend on what was looked up before.
    double splint(int c, double x) const;
    // splint at n arguments: out[i] is splint(c, x[i]) to the bit (out may be x). Arguments
    // in increasing order cost a comparison or two each besides the arithmetic, which runs
    // on the processor's vector instructions.
    void splintMany(int c, const double* x, double* out, long n) const;

private:
    int rows_ = 0;
    std::array<double, kCapacity + 1> x_{};
    std::array<std::array<double, kCapacity + 1>, 5> f_{};
    std::array<std::array<double, kCapacity + 1>, 5> y2_{};
    mutable int lastColumn_ = 0;
    mutable int lastInterval_ = 1;  // lower row of the previous lookup's interval, 1..rows-1
    int interval(double x) const;
    int column(int c) const;
    void buildSplines();
};

}  // namespace lumerad
