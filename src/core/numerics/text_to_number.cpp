#include "core/numerics/text_to_number.h"

#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <limits>
#include <system_error>

#include "core/numerics/errors.h"

namespace lumerad {

namespace {

bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The text without surrounding white space.
std::string trimmed(const std::string& text) {
    std::size_t b = 0, e = text.size();
    while (b < e && isSpace(text[b])) ++b;
    while (e > b && isSpace(text[e - 1])) --e;
    return text.substr(b, e - b);
}

[[noreturn]] void notReal(const std::string& text) {
    throw InputError("'" + text + "' is not a valid floating point value");
}

[[noreturn]] void notInteger(const std::string& text) {
    throw InputError("'" + text + "' is not a valid integer value");
}

}  // namespace

bool readNearLargest(const char* first, const char* last, double& value) {
    long double wide = 0;
    const auto [ptr, ec] = std::from_chars(first, last, wide, std::chars_format::general);
    if (ec != std::errc() || ptr != last) return false;
    // Half a unit of the 15th significant digit: 5e-15 relative.
    constexpr long double kLargest = std::numeric_limits<double>::max();
    if (!(wide >= kLargest) || wide > kLargest * (1.0L + 5e-15L)) return false;
    value = std::numeric_limits<double>::max();
    return true;
}

double parseReal(const std::string& text, const std::string& field) {
    try {
        return parseReal(text);
    } catch (const InputError& e) {
        throw InputError(e.what(), field);
    }
}

int parseInteger(const std::string& text, const std::string& field) {
    try {
        return parseInteger(text);
    } catch (const InputError& e) {
        throw InputError(e.what(), field);
    }
}

double parseReal(const std::string& text) {
    const std::string s = trimmed(text);
    // Grammar: [+-] digits [. digits] | [+-] . digits, then optionally E|e [+-] digits.
    std::size_t i = 0;
    const std::size_t n = s.size();
    bool negative = false;
    if (i < n && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    const std::size_t mantissaStart = i;
    int intDigits = 0, fracDigits = 0;
    bool seenNonZero = false;
    int firstNonZeroPos = 0;  // decimal position of the first significant digit
    while (i < n && isDigit(s[i])) {
        if (!seenNonZero && s[i] != '0') {
            seenNonZero = true;
            firstNonZeroPos = intDigits;
        }
        ++intDigits;
        ++i;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && isDigit(s[i])) {
            if (!seenNonZero && s[i] != '0') {
                seenNonZero = true;
                firstNonZeroPos = intDigits + fracDigits;
            }
            ++fracDigits;
            ++i;
        }
    }
    if (intDigits + fracDigits == 0) notReal(text);
    long long exp10 = 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        bool expNegative = false;
        if (i < n && (s[i] == '+' || s[i] == '-')) expNegative = s[i++] == '-';
        const std::size_t expStart = i;
        while (i < n && isDigit(s[i])) {
            if (exp10 < 100000) exp10 = exp10 * 10 + (s[i] - '0');
            ++i;
        }
        if (i == expStart) notReal(text);
        if (expNegative) exp10 = -exp10;
    }
    if (i != n) notReal(text);
    if (!seenNonZero) return negative ? -0.0 : 0.0;

    // from_chars does not take a leading '+'; it reads the rest (locale-independent).
    double value = 0.0;
    const char* first = s.data() + mantissaStart;
    const char* last = s.data() + n;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Decimal exponent of the first significant digit decides overflow or underflow.
        const long long magnitude = exp10 + (intDigits - firstNonZeroPos) - 1;
        if (magnitude > 0) {
            // beyond the largest double, unless only by the rounding of its own text
            if (!readNearLargest(first, last, value)) notReal(text);
        } else {
            value = 0.0;  // below the smallest: underflow gives 0
        }
    } else if (ec != std::errc() || ptr != last) {
        notReal(text);
    }
    return negative ? -value : value;
}

int parseInteger(const std::string& text) {
    const std::string s = trimmed(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i == s.size()) notInteger(text);
    for (std::size_t j = i; j < s.size(); ++j)
        if (!isDigit(s[j])) notInteger(text);
    long long value = 0;
    for (std::size_t j = i; j < s.size(); ++j) {
        value = value * 10 + (s[j] - '0');
        if (value > static_cast<long long>(INT_MAX) + 1) notInteger(text);
    }
    if (negative) value = -value;
    if (value < INT_MIN || value > INT_MAX) notInteger(text);
    return static_cast<int>(value);
}

}  // namespace lumerad
