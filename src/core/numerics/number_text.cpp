#include "core/numerics/number_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace lumerad {

namespace {

// A finite value as decimal digits: value = (negative ? -1 : 1) * 0.d1d2d3... * 10^exp.
// `digits` holds no leading zero; an empty `digits` is the value zero.
struct Decimal {
    bool negative = false;
    std::string digits;
    int exp = 0;
};

void roundTo(Decimal& d, int k);

// True when the exact decimal value of a > 0 has at most 38 significant digits: about
// log10(a) + 1 of them, plus one for every binary digit after the point.
bool shortExpansion(double a) {
    int e2 = 0;
    const double f = std::frexp(a, &e2);  // a = f * 2^e2, f in [0.5, 1)
    const auto m = static_cast<std::uint64_t>(std::ldexp(f, 53));
    const int fractionBits = std::max(0, 53 - e2 - std::countr_zero(m));
    return std::floor(std::log10(a)) + 1 + fractionBits <= 38;
}

// The first 19 significant digits of the exact decimal value of a finite a > 0, truncated:
// a = n * 10^(e10 - 18) + rest with 10^18 <= n < 10^19 and 0 <= rest < 10^(e10 - 18). Worked
// out in integers of 256 bits from a = m * 2^e2 (m below 2^53), for decimal exponents e10
// from -43 to 61, where m * 10^(18 - e10) or m * 2^e2 fit; false outside that range.
class Wide {
public:
    explicit Wide(std::uint64_t v) : w_{v, 0, 0, 0} {}
    void times(std::uint64_t f) {
        unsigned __int128 carry = 0;
        for (auto& limb : w_) {
            carry += static_cast<unsigned __int128>(limb) * f;
            limb = static_cast<std::uint64_t>(carry);
            carry >>= 64;
        }
    }
    void over(std::uint64_t d) {
        unsigned __int128 rest = 0;
        for (int i = 3; i >= 0; --i) {
            rest = (rest << 64) | w_[i];
            w_[i] = static_cast<std::uint64_t>(rest / d);
            rest %= d;
        }
    }
    void shift(int bits) {  // left for bits > 0, right (dropping what falls out) for bits < 0
        std::array<std::uint64_t, 4> r{};
        for (int i = 0; i < 256; i += 64) {
            const int from = i - bits;  // bit `from` of w_ lands on bit i of r, 64 at a time
            r[i / 64] = bitsAt(from);
        }
        w_ = r;
    }
    // The value when it is below 2^128, else the largest 128-bit value.
    unsigned __int128 low128() const {
        if (w_[2] || w_[3]) return ~static_cast<unsigned __int128>(0);
        return (static_cast<unsigned __int128>(w_[1]) << 64) | w_[0];
    }

private:
    std::array<std::uint64_t, 4> w_;
    std::uint64_t limbAt(int i) const { return i >= 0 && i < 4 ? w_[i] : 0; }
    std::uint64_t bitsAt(int from) const {  // 64 bits starting at bit `from` (may be negative)
        const int q = from >= 0 ? from / 64 : -((-from + 63) / 64), r = from - q * 64;
        if (r == 0) return limbAt(q);
        return (limbAt(q) >> r) | (limbAt(q + 1) << (64 - r));
    }
};

constexpr std::uint64_t kTen19 = 10000000000000000000ull;

std::uint64_t tenTo(int k) {  // k in 0..19
    std::uint64_t p = 1;
    while (k-- > 0) p *= 10;
    return p;
}

// a * 10^k floored, for the range above.
unsigned __int128 scaledFloor(std::uint64_t m, int e2, int k) {
    Wide w(m);
    if (k >= 0) {
        for (; k >= 19; k -= 19) w.times(kTen19);
        w.times(tenTo(k));
        w.shift(e2);
    } else {
        w.shift(e2);
        for (k = -k; k >= 19; k -= 19) w.over(kTen19);
        w.over(tenTo(k));
    }
    return w.low128();
}

bool firstDigits19(double a, std::uint64_t& n, int& e10) {
    int e2 = 0;
    const double f = std::frexp(a, &e2);  // a = f * 2^e2, f in [0.5, 1)
    const auto m = static_cast<std::uint64_t>(std::ldexp(f, 53));
    e2 -= 53;
    e10 = static_cast<int>(std::floor(std::log10(a)));
    const unsigned __int128 lo = static_cast<unsigned __int128>(kTen19 / 10), hi = kTen19;
    for (int tries = 0; tries < 3; ++tries) {
        if (e10 < -43 || e10 > 61) return false;
        const unsigned __int128 v = scaledFloor(m, e2, 18 - e10);
        if (v < lo) {
            --e10;
        } else if (v >= hi) {
            ++e10;
        } else {
            n = static_cast<std::uint64_t>(v);
            return true;
        }
    }
    return false;
}

// The decimal expansion to 18 significant digits, the starting point of every rounding,
// itself rounded with halves away from zero: the first 19 digits of the exact value are
// taken truncated, and the 19th decides. Within the range of firstDigits19 they are worked
// out in integers. Elsewhere to_chars (which rounds to nearest at the precision asked and,
// unlike printf, never follows the locale) is asked for 41 digits and cut. When the 22 digits
// after the first 19 read all 0, that rounding may have carried up into them; unless the
// exact value is that short, it is then written out whole (a double has at most 767
// significant digits).
Decimal expand18(double v) {
    Decimal d;
    d.negative = std::signbit(v);
    const double a = std::fabs(v);
    if (a == 0.0) return d;
    std::uint64_t n = 0;
    int e10 = 0;
    if (firstDigits19(a, n, e10)) {
        char digits[20];
        std::to_chars(digits, digits + sizeof digits, n);
        d.digits.assign(digits, 19);
        d.exp = e10 + 1;
        roundTo(d, 18);
        return d;
    }
    char buf[800];  // d.ddd...de-XXX
    auto written = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 40);
    if (std::all_of(buf + 20, buf + 42, [](char c) { return c == '0'; }) && !shortExpansion(a))
        written = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 770);
    d.digits.reserve(19);
    d.digits.push_back(buf[0]);
    d.digits.append(buf + 2, 18);
    const char* e = std::find(buf, written.ptr, 'e') + 1;
    if (*e == '+') ++e;
    int exp10 = 0;
    std::from_chars(e, written.ptr, exp10);
    d.exp = exp10 + 1;
    roundTo(d, 18);
    return d;
}

// Keeps the first k significant digits (k may be zero or negative: then the value is
// rounded at a position before its first digit), halves away from zero.
void roundTo(Decimal& d, int k) {
    if (d.digits.empty()) return;
    const int n = static_cast<int>(d.digits.size());
    if (k >= n) return;
    if (k < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[k] >= '5';
    d.digits.resize(k);
    if (up) {
        int i = k - 1;
        while (i >= 0 && d.digits[i] == '9') {
            d.digits[i] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[i];
        } else {
            d.digits.insert(d.digits.begin(), '1');
            d.exp += 1;
        }
    }
}

void stripTrailingZeros(Decimal& d) {
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
}

char digitAt(const Decimal& d, int i) {
    return i >= 0 && i < static_cast<int>(d.digits.size()) ? d.digits[i] : '0';
}

// Plain decimal notation of d with at least minDecimals and at most (digits beyond the
// point) decimals: the integer part (at least "0") and the fraction.
std::string plain(const Decimal& d, int decimals) {
    std::string s;
    if (d.exp <= 0) {
        s = "0";
    } else {
        for (int i = 0; i < d.exp; ++i) s.push_back(digitAt(d, i));
    }
    if (decimals > 0) {
        s.push_back('.');
        for (int i = 0; i < decimals; ++i) s.push_back(digitAt(d, d.exp + i));
    }
    return s;
}

std::string nonFinite(double v) {
    if (std::isnan(v)) return "NAN";
    return v < 0 ? "-INF" : "INF";
}

int clampPrecision(int p) { return std::clamp(p, 2, 18); }

std::string sign(const Decimal& d) { return d.negative && !d.digits.empty() ? "-" : ""; }

std::string padLeft(const std::string& s, int width) {
    if (static_cast<int>(s.size()) >= width) return s;
    return std::string(width - s.size(), ' ') + s;
}

std::string exponentDigits(int e, int minDigits) {
    std::string s = std::to_string(std::abs(e));
    if (static_cast<int>(s.size()) < minDigits) s.insert(0, minDigits - s.size(), '0');
    return s;
}

}  // namespace

std::string general(double v, int p, int /*d*/) {
    if (!std::isfinite(v)) return nonFinite(v);
    p = clampPrecision(p);
    Decimal d = expand18(v);
    roundTo(d, p);
    stripTrailingZeros(d);
    if (d.digits.empty()) return "0";
    const int n = static_cast<int>(d.digits.size());
    if (d.exp >= -3 && d.exp <= p) {
        return sign(d) + plain(d, std::max(0, n - d.exp));
    }
    std::string s = sign(d);
    s.push_back(d.digits[0]);
    if (n > 1) {
        s.push_back('.');
        s.append(d.digits, 1, std::string::npos);
    }
    s.push_back('E');
    if (d.exp - 1 < 0) s.push_back('-');
    s += std::to_string(std::abs(d.exp - 1));
    return s;
}

std::string exponent(double v, int p, int dd) {
    if (!std::isfinite(v)) return nonFinite(v);
    p = clampPrecision(p);
    Decimal d = expand18(v);
    roundTo(d, p);
    const bool zero = d.digits.empty();
    const int e = zero ? 0 : d.exp - 1;
    std::string s = sign(d);
    s.push_back(digitAt(d, 0));
    s.push_back('.');
    for (int i = 1; i < p; ++i) s.push_back(digitAt(d, i));
    s.push_back('E');
    s.push_back(e < 0 ? '-' : '+');
    s += exponentDigits(e, dd >= 0 && dd <= 3 ? dd : 0);
    return s;
}

std::string fixed(double v, int p, int dd) {
    if (!std::isfinite(v)) return nonFinite(v);
    p = clampPrecision(p);
    dd = std::max(0, dd);
    Decimal d = expand18(v);
    Decimal byPrecision = d;
    roundTo(byPrecision, p);
    if (!byPrecision.digits.empty() && byPrecision.exp > p) return general(v, p, dd);
    roundTo(d, std::min(p, d.exp + dd));
    return sign(d) + plain(d, dd);
}

namespace {

struct PatternParts {
    std::string before, after;
    int width = 0;
    int precision = -1;
    char conv = 0;
};

// Parses "<text>%[width][.precision]f|g|d<text>"; conv stays 0 when there is no conversion.
PatternParts parsePattern(const std::string& fmt) {
    PatternParts parts;
    const auto pct = fmt.find('%');
    if (pct == std::string::npos) {
        parts.before = fmt;
        return parts;
    }
    parts.before = fmt.substr(0, pct);
    std::size_t i = pct + 1;
    while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i])))
        parts.width = parts.width * 10 + (fmt[i++] - '0');
    if (i < fmt.size() && fmt[i] == '.') {
        ++i;
        parts.precision = 0;
        while (i < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[i])))
            parts.precision = parts.precision * 10 + (fmt[i++] - '0');
    }
    if (i < fmt.size()) parts.conv = static_cast<char>(std::tolower(fmt[i++]));
    parts.after = fmt.substr(i);
    return parts;
}

}  // namespace

std::string pattern(const std::string& fmt, double v) {
    const PatternParts s = parsePattern(fmt);
    std::string body;
    switch (s.conv) {
        case 'f':
            body = fixed(v, 18, s.precision < 0 ? 6 : s.precision);
            break;
        case 'e':
            body = exponent(v, s.precision < 0 ? 7 : s.precision + 1, 3);
            break;
        case 'g':
            body = general(v, std::max(s.precision < 0 ? 6 : s.precision, 2), 3);
            break;
        case 'd':
            body = std::isfinite(v) ? std::to_string(std::llround(v)) : nonFinite(v);
            break;
        default:
            return fmt;
    }
    return s.before + padLeft(body, s.width) + s.after;
}

std::string patternInt(const std::string& fmt, long long n) {
    const PatternParts s = parsePattern(fmt);
    if (s.conv == 'd') return s.before + padLeft(std::to_string(n), s.width) + s.after;
    return pattern(fmt, static_cast<double>(n));
}

// Display pictures. '0' is a digit that is always shown, '#' a digit shown only when
// it is significant, ',' in the integer part asks for thousands separators, '.' is the
// decimal point, and "E+00"/"E-00" asks for scientific notation with a signed exponent
// ("E+": sign always, "E-": minus only) of at least as many digits as zeros follow.
std::string picture(const std::string& pic, double v) {
    if (!std::isfinite(v)) return nonFinite(v);
    std::string mant = pic;
    std::string expPart;
    const auto epos = pic.find_first_of("Ee");
    if (epos != std::string::npos && epos + 1 < pic.size() &&
        (pic[epos + 1] == '+' || pic[epos + 1] == '-')) {
        mant = pic.substr(0, epos);
        expPart = pic.substr(epos);
    }
    const auto dot = mant.find('.');
    const std::string intPic = mant.substr(0, dot);
    const std::string fracPic = dot == std::string::npos ? "" : mant.substr(dot + 1);
    const bool thousands = intPic.find(',') != std::string::npos;
    const int intZeros = static_cast<int>(std::count(intPic.begin(), intPic.end(), '0'));
    const int intPlaces = intZeros + static_cast<int>(std::count(intPic.begin(), intPic.end(), '#'));
    const int fracZeros = static_cast<int>(std::count(fracPic.begin(), fracPic.end(), '0'));
    const int fracPlaces = fracZeros + static_cast<int>(std::count(fracPic.begin(), fracPic.end(), '#'));

    Decimal d = expand18(v);
    int e10 = 0;
    if (!expPart.empty()) {
        // Scientific: as many significant digits as there are digit places; the mantissa
        // keeps max(1, integer places) digits before the point.
        const int lead = std::max(1, intPlaces);
        roundTo(d, lead + fracPlaces);
        if (!d.digits.empty()) {
            e10 = d.exp - lead;
            d.exp = lead;
        }
    } else {
        roundTo(d, d.exp + fracPlaces);
    }

    // Integer digits, with at least intZeros of them.
    std::string intDigits;
    for (int i = 0; i < d.exp; ++i) intDigits.push_back(digitAt(d, i));
    if (static_cast<int>(intDigits.size()) < intZeros) intDigits.insert(0, intZeros - intDigits.size(), '0');
    if (thousands && intDigits.size() > 3) {
        std::string grouped;
        const int n = static_cast<int>(intDigits.size());
        for (int i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0) grouped.push_back(',');
            grouped.push_back(intDigits[i]);
        }
        intDigits = grouped;
    }
    // Fraction: all places, then optional trailing zeros dropped.
    std::string frac;
    for (int i = 0; i < fracPlaces; ++i) frac.push_back(digitAt(d, d.exp + i));
    while (static_cast<int>(frac.size()) > fracZeros && frac.back() == '0') frac.pop_back();

    std::string s = intDigits;
    if (!frac.empty()) s += "." + frac;
    if (s.empty()) s = "0";  // a value that rounds to nothing is still shown as 0
    s = sign(d) + s;
    if (!expPart.empty()) {
        const bool alwaysSign = expPart[1] == '+';
        const int expZeros = static_cast<int>(std::count(expPart.begin() + 2, expPart.end(), '0'));
        s.push_back(expPart[0]);
        if (e10 < 0)
            s.push_back('-');
        else if (alwaysSign)
            s.push_back('+');
        s += exponentDigits(e10, expZeros);
    }
    return s;
}

namespace {

// The field through the general decimal expansion: non-finite values and those beyond the
// integer expansion's range.
std::string dataFieldByDecimal(double v) {
    if (!std::isfinite(v)) return padLeft(nonFinite(v), 23);
    Decimal d = expand18(v);
    roundTo(d, 15);
    const int e = d.digits.empty() ? 0 : d.exp - 1;
    std::string s = d.negative && !d.digits.empty() ? "-" : " ";
    s.push_back(digitAt(d, 0));
    s.push_back('.');
    for (int i = 1; i < 15; ++i) s.push_back(digitAt(d, i));
    s.push_back('E');
    s.push_back(e < 0 ? '-' : '+');
    s += exponentDigits(e, 4);
    return s;
}

}  // namespace

char* dataFieldTo(char* out, double v) {
    const double a = std::fabs(v);
    std::uint64_t n = 0;
    int e10 = 0;
    if (!std::isfinite(v) || (a != 0.0 && !firstDigits19(a, n, e10))) {
        const std::string s = dataFieldByDecimal(v);
        return std::copy(s.begin(), s.end(), out);
    }
    // As dataField: first to 18 digits, then to 15, each time halves away from zero.
    std::uint64_t n15 = 0;
    if (a != 0.0) {
        std::uint64_t n18 = (n + 5) / 10;
        if (n18 == kTen19 / 10) {
            n18 /= 10;
            ++e10;
        }
        n15 = (n18 + 500) / 1000;
        if (n15 == kTen19 / 10000) {
            n15 /= 10;
            ++e10;
        }
    }
    char digits[16] = "000000000000000";
    if (n15 != 0) std::to_chars(digits, digits + 15, n15);
    out[0] = n15 != 0 && v < 0 ? '-' : ' ';
    out[1] = digits[0];
    out[2] = '.';
    std::copy(digits + 1, digits + 15, out + 3);
    out[17] = 'E';
    out[18] = e10 < 0 ? '-' : '+';
    int e = std::abs(e10);
    for (int i = 22; i >= 19; --i, e /= 10) out[i] = static_cast<char>('0' + e % 10);
    return out + 23;
}

std::string dataField(double v) {
    char field[23];
    dataFieldTo(field, v);
    return std::string(field, sizeof field);
}

std::string FormatInt5(int n) { return padLeft(std::to_string(n), 5); }
std::string FormatFixed3(double x) { return padLeft(fixed(x, 18, 3), 8); }
std::string FormatGeneral4(double x) { return padLeft(general(x, 4, 3), 8); }
std::string FormatFixed5(double x) { return padLeft(fixed(x, 18, 5), 10); }

void ScaleToPrefix(double value, double& scaled, std::string& prefix) {
    double m = std::fabs(value);
    prefix.clear();
    if (m > 1e12) {
        m /= 1e12;
        prefix = "T";
    } else if (m > 1e9) {
        m /= 1e9;
        prefix = "G";
    } else if (m > 1e6) {
        m /= 1e6;
        prefix = "M";
    } else if (m > 1e3) {
        m /= 1e3;
        prefix = "k";
    }
    scaled = value < 0 ? -m : m;
}

}  // namespace lumerad
