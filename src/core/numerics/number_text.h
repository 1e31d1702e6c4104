#pragma once
// The only code that turns numbers into user-visible text.
//
// fixed(v, p, d), general(v, p, d), exponent(v, p, d): the three conventions, all on the
// value rounded to p significant digits (p held to 2..18), halves away from zero.
// pattern("%8.3f", v) and friends: the printf-like patterns, padded on the left, never cut.
// picture("0.###", v): the display pictures of the catalogue grids and chart axes.
// dataField(v): the 23-character real field of the data files.
#include <string>

namespace lumerad {

std::string general(double v, int p, int d = 0);
std::string exponent(double v, int p, int d);
std::string fixed(double v, int p, int d);

// "%w.pf", "%w.pg", "%wd" (an f pattern is fixed(18, p), a g pattern general(max(p,2), 3)).
std::string pattern(const std::string& fmt, double v);
std::string patternInt(const std::string& fmt, long long n);

// Display pictures: "0.###", "0.00", "0.##", "###,###.0", "#,##0.###", "#,###", "0.#E+00".
std::string picture(const std::string& pic, double v);

// 23 characters: a space or "-", one digit, ".", 14 digits, "E", exponent sign, 4 digits.
std::string dataField(double v);
// The same 23 characters written at out, for the lines of a file; returns out + 23.
char* dataFieldTo(char* out, double v);

// The shared fixed-width routines.
std::string FormatInt5(int n);         // "%5d"
std::string FormatFixed3(double x);    // "%8.3f"
std::string FormatGeneral4(double x);  // "%8.4g"
std::string FormatFixed5(double x);    // "%10.5f"

// Scales |value| down by powers of 1000 (strict comparisons) and gives the prefix
// "T", "G", "M", "k" or "".
void ScaleToPrefix(double value, double& scaled, std::string& prefix);

}  // namespace lumerad
