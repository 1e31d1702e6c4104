#pragma once
// The two failures that stop a user action: a field that is not a number, and a
// floating-point fault. The action runner catches both and shows their text.
#include <stdexcept>
#include <string>

// The fault checks and the NaN/infinity tests need IEEE arithmetic: with -ffast-math or
// -ffinite-math-only the compiler may assume no NaN or infinity ever occurs and drop them.
#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "Build without -ffast-math / -ffinite-math-only: floating-point faults must stay visible"
#endif

namespace lumerad {

class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class FloatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kDivByZeroText = "Floating point division by zero";
inline constexpr const char* kInvalidOpText = "Invalid floating point operation";
inline constexpr const char* kOverflowText = "Floating point overflow";

// Floating-point fault detection through the <cfenv> flags. An action clears the flags
// when it starts (clearFloatFaults) and tests them at each step boundary
// (checkFloatFaults), which throws FloatError for division by zero, invalid operation
// or overflow. Underflow is ignored: it gives 0 (or a denormal) without notice.
//
// The compiler does not know that fetestexcept reads the flags: an operation whose result
// lives only in a local variable may be scheduled after the check (g++ -O2 does so). A step
// boundary therefore checks values it has computed through checkedValue, which needs the
// value before it can test, or checks after the results were stored where the rest of the
// program can see them (state structs, fields). g++ keeps a faulting operation even on
// constants as long as trapping math is on (the default; -ffast-math turns it off).
void clearFloatFaults();
void checkFloatFaults();

// Checks the flags and then the value itself (a NaN or infinity that came in from
// elsewhere is refused too); returns the value so it can wrap an expression.
double checkedValue(double v);

} // namespace lumerad
