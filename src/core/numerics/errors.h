#pragma once
// The two failures that stop a user action: a field that is not a number, and a
// floating-point fault. The action runner catches both and shows their text.
#include <cfenv>
#include <cmath>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

// The fault checks and the NaN/infinity tests need IEEE arithmetic: with -ffast-math or
// -ffinite-math-only the compiler may assume no NaN or infinity ever occurs and drop them.
#if defined(__FAST_MATH__) || (defined(__FINITE_MATH_ONLY__) && __FINITE_MATH_ONLY__)
#error "Build without -ffast-math / -ffinite-math-only: floating-point faults must stay visible"
#endif

namespace lumerad {

// A text that is not a number. field() names the control it came from (its objectName)
// when the code that read it knows it; the action runner then focuses and selects that
// control after showing the message, so the user sees which one was refused.
class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& text, std::string field = {})
        : std::runtime_error(text), field_(std::move(field)) {}
    const std::string& field() const { return field_; }

private:
    std::string field_;
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

// A value inside a scan, whose step tests the flags once at its end rather than at every
// point: a finite value passes untested, a NaN or infinity is refused as checkedValue
// refuses it (the flags raised so far name the fault).
inline double checkedScanValue(double v) { return std::isfinite(v) ? v : checkedValue(v); }

// Keeps the floating-point status flags across a stretch of code that is not ours (a
// message box, a file or print dialog, drawing, fonts): whatever that code raises is
// dropped on leaving, whatever was raised before stays raised. Never throws.
class FloatFlagsKept {
public:
    FloatFlagsKept() { std::fegetexceptflag(&saved_, FE_ALL_EXCEPT); }
    ~FloatFlagsKept() { std::fesetexceptflag(&saved_, FE_ALL_EXCEPT); }
    FloatFlagsKept(const FloatFlagsKept&) = delete;
    FloatFlagsKept& operator=(const FloatFlagsKept&) = delete;

private:
    std::fexcept_t saved_{};
};

// One calculation with fault detection of its own: the flags are cleared on entry (what
// the toolkit raised before never counts), the calculation runs, and its division by
// zero, invalid operation or overflow throws FloatError at the end. The action runner
// tests no flags of its own, so a window's calculation either runs inside calculated()
// or is a core routine that tests its steps itself.
template <class F>
decltype(auto) calculated(F&& f) {
    clearFloatFaults();
    if constexpr (std::is_void_v<decltype(f())>) {
        std::forward<F>(f)();
        checkFloatFaults();
    } else {
        decltype(auto) v = std::forward<F>(f)();
        checkFloatFaults();
        return v;
    }
}

}  // namespace lumerad
